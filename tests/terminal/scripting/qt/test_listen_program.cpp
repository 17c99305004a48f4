// `Tessaly --listen` as a bench runs it: the socket private, one Tessaly per socket, a dead
// one's socket taken over, nothing but a socket ever replaced, and the socket gone however the
// program ends.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <cstring>
#include <memory>

#include <gtest/gtest.h>

#include "J1939SimProcess.h"
#include "ScriptClient.h"

namespace {

using testing_support::J1939SimProcess;
using testing_support::ScriptClient;
using testing_support::waitUntil;

constexpr int simCom = 36;  // no other test uses it

mode_t modeOf(const QString& path) {
    struct stat info {};
    return ::lstat(path.toLocal8Bit().constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

class ListeningProgram : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        sim = std::make_unique<J1939SimProcess>(folder.path(), simCom);
        ASSERT_TRUE(sim->start());
        QFile settings(folder.filePath("vive1939.ini"));
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write("COM=36;\r\n");
    }

    // A Tessaly, the window on the offscreen platform or --headless, listening for scripts.
    std::unique_ptr<QProcess> start(const QStringList& arguments) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("COMPORTS_DIR", folder.path());
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_RUNTIME_DIR", folder.filePath("runtime"));
        process->setProcessEnvironment(environment);
        process->start(TESSALY_PATH,
                       QStringList{"--settings", folder.filePath("vive1939.ini")} + arguments);
        EXPECT_TRUE(process->waitForStarted(5000));
        return process;
    }
    static bool ended(QProcess& process, int timeoutMs) {
        return waitUntil([&] { return process.state() == QProcess::NotRunning; }, timeoutMs);
    }
    static std::string errorsOf(QProcess& process) {
        return process.readAllStandardError().toStdString();
    }

    QTemporaryDir folder;
    std::unique_ptr<J1939SimProcess> sim;
};

TEST_F(ListeningProgram, TheWindowsSocketIsPrivateAloneAndGoneAfterASignal) {
    // By default in the runtime folder, named for the remembered port.
    ASSERT_EQ(::mkdir(folder.filePath("runtime").toLocal8Bit().constData(), 0700), 0);
    const QString path = folder.filePath("runtime/tessaly/COM36.sock");
    auto window = start({"--listen"});
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(path); }, 8000)) << errorsOf(*window);
    EXPECT_EQ(modeOf(path), 0600U);
    EXPECT_EQ(modeOf(folder.filePath("runtime/tessaly")), 0700U);
    ScriptClient script(path.toStdString());
    ASSERT_TRUE(script.connected());
    EXPECT_GE(script.waitFor(R"({"event":"identified","serial":)", 8000), 0) << script.transcript();

    // A second Tessaly finds it live and leaves it alone.
    auto second = start({"--headless", "--port", "COM36", "--listen", path});
    ASSERT_TRUE(ended(*second, 8000));
    EXPECT_EQ(second->exitCode(), 2);
    EXPECT_EQ(errorsOf(*second),
              "Tessaly: --listen: " + path.toStdString() + ": another Tessaly listens there\n");
    EXPECT_TRUE(QFile::exists(path));

    ::kill(static_cast<pid_t>(window->processId()), SIGTERM);
    ASSERT_TRUE(ended(*window, 8000));
    EXPECT_EQ(window->exitCode(), 128 + SIGTERM);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(waitUntil(
        [&] {
            script.lines();
            return script.ended();
        },
        3000));
}

TEST_F(ListeningProgram, ADeadOnesSocketIsTakenOverAndNothingElseIsReplaced) {
    const QString path = folder.filePath("COM36.sock");
    // Left by a process that was killed: bound, never removed, nobody accepting.
    const int dead = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path.toLocal8Bit().constData());
    ASSERT_EQ(::bind(dead, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(dead);

    for (const char* ending : {"quit", "SIGHUP", "SIGINT"}) {
        SCOPED_TRACE(ending);
        auto headless = start({"--headless", "--port", "COM36", "--listen", path});
        // Connected once the stale socket has been replaced by the live one.
        std::unique_ptr<ScriptClient> script;
        ASSERT_TRUE(waitUntil(
            [&] {
                script = std::make_unique<ScriptClient>(path.toStdString());
                return script->connected();
            },
            8000))
            << errorsOf(*headless);
        ASSERT_GE(script->waitFor(R"({"event":"link",)", 8000), 0) << errorsOf(*headless);
        if (std::strcmp(ending, "quit") == 0) {
            script->send("quit\n");
        } else {
            ::kill(static_cast<pid_t>(headless->processId()),
                   std::strcmp(ending, "SIGHUP") == 0 ? SIGHUP : SIGINT);
        }
        ASSERT_TRUE(ended(*headless, 8000));
        EXPECT_FALSE(QFile::exists(path));
    }

    QFile notes(path);
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("keep me\n");
    notes.close();
    auto refused = start({"--headless", "--port", "COM36", "--listen", path});
    ASSERT_TRUE(ended(*refused, 8000));
    EXPECT_EQ(refused->exitCode(), 2);
    EXPECT_EQ(errorsOf(*refused), "Tessaly: --listen: " + path.toStdString() +
                                      " exists and is not a socket: not replaced\n");
    ASSERT_TRUE(notes.open(QIODevice::ReadOnly));
    EXPECT_EQ(notes.readAll(), "keep me\n");
}

}  // namespace
