// Scripts driving the visible dashboard through its socket while the operator watches, against
// the j1939-sim stand-in: the same events to every script, a command moving the window's own
// control and answered to its sender alone, and no script able to stall the window.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "J1939SimProcess.h"
#include "MessageBoxCatcher.h"
#include "ScriptClient.h"
#include "platform/instruments/qt/CiSliderX.h"
#include "terminal/dashboard/ControlIds.h"
#include "terminal/dashboard/qt/DashboardWindow.h"
#include "terminal/link/qt/LinkStatusBar.h"
#include "terminal/scripting/qt/ScriptedDashboard.h"

namespace ids = terminal::ids;
using testing_support::J1939SimProcess;
using testing_support::ScriptClient;
using testing_support::waitUntil;

namespace {

constexpr int simCom = 35;  // no other test uses it

class ScriptedWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        qputenv("COMPORTS_DIR", folder.path().toUtf8());
        sim = std::make_unique<J1939SimProcess>(folder.path(), simCom);
        ASSERT_TRUE(sim->start(QStringList{"--no-dynamic"} + simArguments()));
        const QString settings = folder.filePath("vive1939.ini");
        QFile file(settings);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("COM=35;\r\n");
        file.close();
        window = std::make_unique<terminal::ui::DashboardWindow>(settings.toStdString());
        boxes = std::make_unique<uitest::MessageBoxCatcher>(window.get(), true);
        scripts = std::make_unique<terminal::ui::ScriptedDashboard>(*window, statusRate());
        path = folder.filePath("run/COM35.sock").toStdString();
        ASSERT_EQ(scripts->listen(path), "");
        window->show();
        window->startSession();
        ASSERT_TRUE(waitUntil([this] { return window->isControlEnabled(ids::levelSlider); }, 8000));
    }
    void TearDown() override {
        scripts.reset();
        EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
        EXPECT_TRUE(boxes->texts.empty()) << boxes->texts.join(" | ").toStdString();
    }

    virtual double statusRate() const { return 20; }
    virtual QStringList simArguments() const { return {}; }

    QString scriptsShown() const {
        QLabel* field = window->linkStatusBar().scriptsField();
        return field->isVisibleTo(window.get()) ? field->text() : QString();
    }

    QTemporaryDir folder;
    std::unique_ptr<J1939SimProcess> sim;
    std::unique_ptr<terminal::ui::DashboardWindow> window;
    std::unique_ptr<uitest::MessageBoxCatcher> boxes;
    std::unique_ptr<terminal::ui::ScriptedDashboard> scripts;
    std::string path;
};

TEST_F(ScriptedWindow, TwoScriptsSeeTheSameEventsAndALevelMovesTheSliderForItsSenderAlone) {
    ScriptClient first(path);
    ScriptClient second(path);
    ASSERT_TRUE(first.connected() && second.connected());
    // Each joins in the state the session is in, and the window counts them.
    for (ScriptClient* script : {&first, &second}) {
        EXPECT_EQ(script->waitFor(R"({"event":"link","state":"identified","port":"COM35",)", 3000),
                  0)
            << script->transcript();
        EXPECT_EQ(script->waitFor(R"({"event":"identified","serial":)", 3000), 1);
    }
    EXPECT_TRUE(waitUntil([this] { return scriptsShown() == "2 scripts"; }, 3000))
        << scriptsShown().toStdString();

    ASSERT_TRUE(first.send("level 37\n"));
    const int ack = first.waitFor(R"({"event":"ack","command":"level"})", 3000);
    ASSERT_GE(ack, 0) << first.transcript();
    EXPECT_DOUBLE_EQ(window->controls().get<platform::CiSliderX>(ids::levelSlider)->getPosition(),
                     37);
    EXPECT_TRUE(sim->waitForLog("level 37", 3000));
    // The same status events reach both; the ack only its sender.
    EXPECT_GE(first.waitFor(R"("level":37,)", 3000, ack), 0);
    EXPECT_GE(second.waitFor(R"("level":37,)", 3000), 0) << second.transcript();
    EXPECT_EQ(second.count(R"("event":"ack")"), 0);

    // A refusal too goes to its sender only.
    ASSERT_TRUE(second.send("warnings maybe\n"));
    EXPECT_GE(second.waitFor(R"({"event":"error","message":)", 3000), 0);
    EXPECT_EQ(first.count(R"("event":"error")"), 0);
    // What the operator is told in a message box, every script is told too.
    window->showMessage("The port went away.", terminal::MessageIcon::none);
    EXPECT_EQ(boxes->texts, QStringList{"The port went away."});
    boxes->texts.clear();
    for (ScriptClient* script : {&first, &second}) {
        EXPECT_GE(script->waitFor(R"({"event":"error","message":"The port went away."})", 3000), 0);
    }

    second.close();
    EXPECT_TRUE(waitUntil([this] { return scriptsShown() == "1 script"; }, 3000));
    first.close();
    EXPECT_TRUE(waitUntil([this] { return scriptsShown().isEmpty(); }, 3000));
}

TEST_F(ScriptedWindow, ASeventeenthScriptIsTurnedAway) {
    std::vector<std::unique_ptr<ScriptClient>> admitted;
    for (int i = 0; i < 16; ++i) {
        admitted.push_back(std::make_unique<ScriptClient>(path));
    }
    ASSERT_TRUE(waitUntil([this] { return scriptsShown() == "16 scripts"; }, 5000))
        << scriptsShown().toStdString();
    ScriptClient seventeenth(path);
    ASSERT_TRUE(seventeenth.connected());
    EXPECT_TRUE(waitUntil(
        [&] {
            seventeenth.lines();
            return seventeenth.ended();
        },
        3000));
    EXPECT_EQ(
        seventeenth.lines(),
        QStringList{R"({"event":"error","message":"refused: 16 scripts are connected already"})"});
    EXPECT_EQ(scriptsShown(), "16 scripts");
    EXPECT_GE(admitted.back()->waitFor(R"("event":"status")", 3000), 0);
}

// Status events at the highest rate: a script that does not read falls behind soonest. A
// status event goes only for a new status line, so the stand-in sends as many.
class FloodedWindow : public ScriptedWindow {
protected:
    double statusRate() const override { return 100; }
    QStringList simArguments() const override { return {"--rate", "100"}; }
};

TEST_F(FloodedWindow, NoScriptStallsTheWindow) {
    ScriptClient reader(path);
    ScriptClient idle(path);
    ASSERT_TRUE(reader.connected() && idle.connected());
    ASSERT_GE(reader.waitFor(R"("event":"status")", 3000), 0);

    // An overlong line is an error, and the script's next command works.
    ASSERT_TRUE(reader.send(std::string(70000, 'x') + "\nlevel 21\n"));
    EXPECT_GE(reader.waitFor("line too long: more than 65536 characters, dropped", 3000), 0);
    EXPECT_GE(reader.waitFor(R"({"event":"ack","command":"level"})", 3000), 0)
        << reader.transcript();

    // A script that never reads is cut off once a mebibyte waits for it; the window goes on
    // serving the one that reads.
    EXPECT_TRUE(waitUntil(
        [&] {
            reader.lines();
            return scriptsShown() == "1 script";
        },
        60000))
        << scriptsShown().toStdString();
    const int before = reader.count(R"("event":"status")");
    EXPECT_TRUE(waitUntil([&] { return reader.count(R"("event":"status")") > before + 5; }, 3000));
    EXPECT_TRUE(reader.send("level 63\n"));
    EXPECT_TRUE(sim->waitForLog("level 63", 3000));
    EXPECT_TRUE(waitUntil(
        [&] {
            idle.lines();
            return idle.ended();
        },
        3000));
}

// Only the user who runs the window may connect: another user (here nobody, where the test
// may change users) gets one error line and the door closed.
TEST_F(ScriptedWindow, AnotherUsersProcessIsRefused) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to connect as another user";
    }
    // Opened up for this test alone, so the other user reaches the socket at all.
    ::chmod(folder.path().toLocal8Bit().constData(), 0755);
    ::chmod(folder.filePath("run").toLocal8Bit().constData(), 0755);
    ::chmod(path.c_str(), 0777);
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
            ::_exit(3);
        }
        ScriptClient stranger(path);
        for (int i = 0; i < 300 && !stranger.ended(); ++i) {
            stranger.lines();
            ::usleep(10000);
        }
        const std::string got = stranger.lines().join('\n').toStdString();
        [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], got.data(), got.size());
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    ::fcntl(pipeEnds[0], F_SETFL, O_NONBLOCK);
    std::string got;
    // The window accepts on this thread: the loop turns while the child waits.
    waitUntil(
        [&] {
            char buffer[512];
            const ssize_t count = ::read(pipeEnds[0], buffer, sizeof buffer);
            if (count > 0) {
                got.append(buffer, static_cast<std::size_t>(count));
            }
            return count == 0;
        },
        8000);
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_NE(
        got.find(
            R"({"event":"error","message":"refused: only the user who runs Tessaly may connect"})"),
        std::string::npos)
        << got;
    EXPECT_EQ(got.find("identified"), std::string::npos) << got;
    EXPECT_TRUE(scriptsShown().isEmpty());
}

}  // namespace
