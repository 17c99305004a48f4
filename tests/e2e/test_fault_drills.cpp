// Fault drills on the whole terminal: the stand-in killed and restarted again and again while
// Tessaly runs offscreen. Each time Tessaly must find it again and ask for its identification,
// without growing.

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "J1939SimProcess.h"

// Only where Tessaly is built.
#ifdef TESSALY_PATH
namespace {

using testing_support::J1939SimProcess;
using testing_support::waitUntil;

// Resident memory of a process in KiB, 0 when it cannot be read.
long residentKib(qint64 pid) {
    QFile status(QString("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return 0;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif
#else
constexpr bool sanitized = false;
#endif

TEST(FaultDrill, TessalyFindsAStandInKilledAndRestartedTwentyTimes) {
    QTemporaryDir dir;
    const QString ports = dir.path() + "/comports";
    const QString settings = dir.path() + "/vive1939.ini";
    {
        QFile file(settings);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("COM=3;\r\n");
    }
    J1939SimProcess sim(ports, 3);
    ASSERT_TRUE(sim.start());

    QProcess tessaly;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("COMPORTS_DIR", ports);
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    tessaly.setProcessEnvironment(environment);
    tessaly.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tessaly.setStandardOutputFile(QProcess::nullDevice());
    tessaly.start(TESSALY_PATH, {"--settings", settings});
    ASSERT_TRUE(tessaly.waitForStarted(5000));

    long settledKib = 0;
    for (int restart = 0; restart <= 20; ++restart) {
        ASSERT_TRUE(sim.waitForLog("RX \"AT ID?", 10000))
            << "no identification request after restart " << restart;
        ASSERT_EQ(QProcess::Running, tessaly.state()) << "after restart " << restart;
        if (restart == 5) {
            settledKib = residentKib(tessaly.processId());
        }
        if (restart < 20) {
            sim.kill();
            ASSERT_TRUE(sim.start()) << "restart " << restart + 1;
        }
    }
    const long finalKib = residentKib(tessaly.processId());
    tessaly.kill();
    tessaly.waitForFinished(3000);
    if (!sanitized) {
        // Fifteen reconnects after the first five: no more than a little allocator slack.
        EXPECT_LT(finalKib - settledKib, 4096) << settledKib << " KiB -> " << finalKib << " KiB";
    }
}

}  // namespace
#endif
