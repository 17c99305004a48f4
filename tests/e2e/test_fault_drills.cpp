// Fault drills on the whole terminal, Tessaly running offscreen against the stand-in: the
// stand-in unplugged and restarted again and again (each time Tessaly must find it again and
// ask for its identification, without growing); a saturated line while the firmware message
// box stays open (memory must stay put); the stop signals (the port closed on the way out).

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <signal.h>

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

// The lock file the serial layer keeps for an open device ("/dev/pts/4" -> ".../LCK..pts_4"),
// in the first lock folder it could write; empty when there is none.
QString lockFileOf(const QString& device) {
    QString name = device;
    name.remove(0, QString("/dev/").size()).replace('/', '_');
    for (const char* folder : {"/var/lock", "/run/lock", "/etc/locks", "/var/spool/locks",
                               "/var/spool/uucp", "/tmp", "/var/tmp"}) {
        const QString path = QString(folder) + "/LCK.." + name;
        if (QFile::exists(path)) {
            return path;
        }
    }
    return {};
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

// A port-map folder and settings file of the drill's own, remembering COM `comNumber`, and
// Tessaly started on them.
class TessalyRun {
public:
    explicit TessalyRun(int comNumber)
        : ports_(dir_.path() + "/comports"), settings_(dir_.path() + "/vive1939.ini") {
        QFile file(settings_);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(QString("COM=%1;\r\n").arg(comNumber).toLatin1());
        }
    }
    ~TessalyRun() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(3000);
        }
    }

    const QString& ports() const { return ports_; }

    bool start() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("COMPORTS_DIR", ports_);
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.setStandardOutputFile(QProcess::nullDevice());
        // A window reads no standard input: left behind by a crashed test, it would go on
        // reconnecting for ever.
        dieWithTest(process);
        process.start(TESSALY_PATH, {"--settings", settings_});
        return process.waitForStarted(5000);
    }

    QProcess process;

private:
    QTemporaryDir dir_;
    QString ports_;
    QString settings_;
};

TEST(FaultDrill, TessalyFindsAStandInUnpluggedAndRestartedTwentyTimes) {
    TessalyRun run(25);
    J1939SimProcess sim(run.ports(), 25);
    ASSERT_TRUE(sim.start());
    QProcess& tessaly = run.process;
    ASSERT_TRUE(run.start());

    long settledKib = 0;
    for (int restart = 0; restart <= 20; ++restart) {
        ASSERT_TRUE(sim.waitForLog("RX \"AT ID?", 10000))
            << "no identification request after restart " << restart;
        ASSERT_EQ(QProcess::Running, tessaly.state()) << "after restart " << restart;
        if (restart == 5) {
            settledKib = residentKib(tessaly.processId());
        }
        if (restart < 20) {
            sim.unplug();
            ASSERT_TRUE(sim.start()) << "restart " << restart + 1;
        }
    }
    const long finalKib = residentKib(tessaly.processId());
    if (!sanitized) {
        // Fifteen reconnects after the first five: no more than a little allocator slack.
        EXPECT_LT(finalKib - settledKib, 4096) << settledKib << " KiB -> " << finalKib << " KiB";
    }
}

// The firmware message box holds the window in its own event loop while the stand-in sends as
// fast as the line allows. What the window cannot read waits in the serial layer's bounded
// buffer and the driver; the rest is lost, as on a real line, instead of piling up in memory.
TEST(FaultDrill, ASaturatedLineWhileTheFirmwareBoxStaysOpenDoesNotGrowTessaly) {
    TessalyRun run(26);
    J1939SimProcess sim(run.ports(), 26);
    ASSERT_TRUE(sim.start({"--old-firmware", "--saturate"}));
    ASSERT_TRUE(run.start());
    ASSERT_TRUE(sim.waitForLog("RX \"AT ID?", 10000));
    // Time for the answer to arrive and the box to open (nobody closes it offscreen).
    waitUntil([] { return false; }, 2000);
    const long openKib = residentKib(run.process.processId());
    waitUntil([] { return false; }, 10000);
    const long laterKib = residentKib(run.process.processId());
    ASSERT_EQ(QProcess::Running, run.process.state());
    // Unbounded, the line's 11.5 KB/s came to several MB a second here.
    EXPECT_EQ(sim.log().count("RX \"AT ID?"), 1) << "the box was not open";
    if (!sanitized) {
        EXPECT_LT(laterKib - openKib, 2048) << openKib << " KiB -> " << laterKib << " KiB";
    }
}

// Ended from a shell or by logout, Tessaly closes its port the normal way: the serial layer's
// lock file for the device is gone afterwards, and the shell sees 128 + the signal.
TEST(FaultDrill, StopSignalsCloseThePortAndEndWith128PlusTheSignal) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        TessalyRun run(27);
        J1939SimProcess sim(run.ports(), 27);
        ASSERT_TRUE(sim.start());
        ASSERT_TRUE(run.start());
        ASSERT_TRUE(sim.waitForLog("RX \"AT ID?", 10000));
        const QString lockFile = lockFileOf(QFile::symLinkTarget(sim.linkPath()));

        ::kill(static_cast<pid_t>(run.process.processId()), signal);
        ASSERT_TRUE(run.process.waitForFinished(5000));
        EXPECT_EQ(QProcess::NormalExit, run.process.exitStatus());
        EXPECT_EQ(128 + signal, run.process.exitCode());
        if (!lockFile.isEmpty()) {  // where the serial layer keeps lock files at all
            EXPECT_FALSE(QFile::exists(lockFile)) << lockFile.toStdString();
        }
    }
}

}  // namespace
#endif
