// `Tessaly --headless` as a script runs it: no display, events read from standard output,
// commands written to standard input, against the j1939-sim stand-in on a pseudo-terminal.
#include <csignal>

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include <gtest/gtest.h>

#include "J1939SimProcess.h"

namespace {

using testing_support::J1939SimProcess;
using testing_support::waitUntil;

// The program with no display of any kind, reaching the stand-in through its port map.
class HeadlessProcess {
public:
    explicit HeadlessProcess(const QString& portMap) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            environment.remove(name);
        }
        environment.insert("COMPORTS_DIR", portMap);
        process_.setProcessEnvironment(environment);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    ~HeadlessProcess() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(3000);
        }
    }

    bool start(const QStringList& arguments) {
        process_.start(TESSALY_PATH, QStringList{"--headless"} + arguments);
        return process_.waitForStarted(5000);
    }

    void send(const QString& line) {
        process_.write((line + "\n").toLatin1());
        process_.waitForBytesWritten(1000);
    }

    // Every event line so far.
    QStringList events() {
        output_ += QString::fromUtf8(process_.readAllStandardOutput());
        return output_.split('\n', Qt::SkipEmptyParts);
    }

    // The first event line from `from` on that contains every one of `parts`; -1 if none
    // came within the time.
    int waitForEvent(const QStringList& parts, int timeoutMs, int from = 0) {
        int found = -1;
        waitUntil(
            [&] {
                const QStringList lines = events();
                for (int i = from; i < lines.size(); ++i) {
                    bool all = true;
                    for (const QString& part : parts) {
                        all = all && lines[i].contains(part);
                    }
                    if (all) {
                        found = i;
                        return true;
                    }
                }
                return false;
            },
            timeoutMs);
        return found;
    }

    bool waitForExit(int timeoutMs) {
        return waitUntil([this] { return process_.state() == QProcess::NotRunning; }, timeoutMs);
    }

    QProcess& process() { return process_; }
    std::string transcript() { return events().join('\n').toStdString(); }

private:
    QProcess process_;
    QString output_;
};

class HeadlessAgainstSimulator : public ::testing::Test {
protected:
    // `byPath`: the stand-in's link named as a device path (for COM numbers past COM40).
    void startBoth(int comNumber, const QStringList& simArguments = {}, bool byPath = false) {
        ASSERT_TRUE(folder_.isValid());
        portMap_ = folder_.path() + "/comports";
        sim_ = std::make_unique<J1939SimProcess>(portMap_, comNumber);
        ASSERT_TRUE(sim_->start(simArguments)) << sim_->log().toStdString();
        tessaly_ = std::make_unique<HeadlessProcess>(portMap_);
        const QString port = byPath ? sim_->linkPath() : "COM" + QString::number(comNumber);
        ASSERT_TRUE(tessaly_->start({"--port", port, "--settings", folder_.path() + "/vive1939.ini",
                                     "--status-rate", "10"}));
    }

    std::string describe() {
        return "events:\n" + tessaly_->transcript() + "\nsimulator log:\n" +
               sim_->log().toStdString();
    }

    QTemporaryDir folder_;
    QString portMap_;
    std::unique_ptr<J1939SimProcess> sim_;
    std::unique_ptr<HeadlessProcess> tessaly_;
};

TEST_F(HeadlessAgainstSimulator, AScriptSteersTheSimulatorAndReadsItBack) {
    startBoth(34, {"--no-dynamic", "--serial", "305419896", "--can-rate", "500K"});
    ASSERT_GE(tessaly_->waitForEvent({R"("event":"identified","serial":305419896,)",
                                      R"("firmware":"0.2D","can_rate":"500K bps")"},
                                     8000),
              0)
        << describe();

    // The slider's command, with its checksum, and the values of level 50 read back.
    tessaly_->send("level 50");
    const int ack = tessaly_->waitForEvent({R"({"event":"ack","command":"level"})"}, 3000);
    ASSERT_GE(ack, 0) << describe();
    EXPECT_TRUE(sim_->log().contains(R"(RX "AT %231C" level 50 checksum ok)")) << describe();
    EXPECT_GE(tessaly_->waitForEvent(
                  {R"("event":"status")", R"("level":50,)", R"("Engine RPM [RPM]":4015.875,)"},
                  3000, ack),
              0)
        << describe();

    // Warnings is on in the simulator: the first "warnings off" sends the key, the second
    // finds the box unchecked already and sends nothing.
    const int warningsOff = tessaly_->waitForEvent({R"("warnings":true)"}, 3000);
    ASSERT_GE(warningsOff, 0) << describe();
    tessaly_->send("warnings off");
    const int keyAck = tessaly_->waitForEvent({R"({"event":"ack","command":"warnings"})"}, 3000);
    ASSERT_GE(keyAck, 0) << describe();
    ASSERT_GE(tessaly_->waitForEvent({R"("warnings":false)"}, 3000, keyAck), 0) << describe();
    tessaly_->send("warnings off");
    EXPECT_GE(
        tessaly_->waitForEvent({R"({"event":"unchanged","command":"warnings","on":false})"}, 3000),
        0)
        << describe();

    // Unknown text: an error event, and the session goes on.
    tessaly_->send("jump 3");
    EXPECT_GE(
        tessaly_->waitForEvent({R"({"event":"error","message":"unknown command: jump"})"}, 3000), 0)
        << describe();
    tessaly_->send("snapshot");
    const int before = static_cast<int>(tessaly_->events().size());
    EXPECT_GE(tessaly_->waitForEvent({R"("event":"status")"}, 3000, before), 0) << describe();

    // The end of input is quit: the port is closed and the program ends well.
    tessaly_->process().closeWriteChannel();
    ASSERT_TRUE(tessaly_->waitForExit(5000)) << describe();
    EXPECT_EQ(tessaly_->process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tessaly_->process().exitCode(), 0);
    EXPECT_TRUE(tessaly_->events().last().contains(R"("state":"disconnected")")) << describe();
    EXPECT_TRUE(sim_->waitForLog("port closed", 3000)) << describe();
    EXPECT_EQ(sim_->log().count(R"(RX "AT KI0165")"), 1) << describe();
}

TEST_F(HeadlessAgainstSimulator, SigtermEndsItAsQuitDoes) {
    startBoth(35);
    ASSERT_GE(tessaly_->waitForEvent({R"("event":"identified")"}, 8000), 0) << describe();
    ::kill(static_cast<pid_t>(tessaly_->process().processId()), SIGTERM);
    ASSERT_TRUE(tessaly_->waitForExit(5000)) << describe();
    EXPECT_EQ(tessaly_->process().exitCode(), 128 + SIGTERM);
    EXPECT_TRUE(tessaly_->events().last().contains(R"("state":"disconnected")")) << describe();
    EXPECT_TRUE(sim_->waitForLog("port closed", 3000)) << describe();
}

// A script never gets the waiting look's values: no status event from the loss until the
// device is back, identified and has sent a status line; snapshot says why instead.
TEST_F(HeadlessAgainstSimulator, NoStatusEventsWhileTheDeviceIsGone) {
    startBoth(23, {"--no-dynamic", "--level", "42"});
    ASSERT_GE(tessaly_->waitForEvent(
                  {R"("event":"status")", R"("level":42,)",
                   R"("trouble_codes":{"Engine DM1":[{"spn":110,"fmi":0,"oc":1,"cm":0}],)"
                   R"("ABS DM1":[],"Transmission DM1":[],"Engine DM2":[{"spn":110,)"},
                  8000),
              0)
        << describe();
    sim_->unplug();
    const int lost = tessaly_->waitForEvent({R"("state":"lost")"}, 5000);
    ASSERT_GE(lost, 0) << describe();
    tessaly_->send("snapshot");
    ASSERT_GE(tessaly_->waitForEvent(
                  {R"({"event":"error","message":"snapshot: no readings: the link is lost"})"},
                  3000, lost),
              0)
        << describe();
    ASSERT_TRUE(sim_->start({"--no-dynamic", "--level", "42"})) << describe();
    const int back = tessaly_->waitForEvent({R"("event":"identified")"}, 8000, lost);
    ASSERT_GE(back, 0) << describe();
    EXPECT_TRUE(tessaly_->events()[back].endsWith(R"("accepted":true})")) << describe();
    const int again = tessaly_->waitForEvent({R"("event":"status")"}, 5000, back);
    ASSERT_GE(again, 0) << describe();

    const QStringList events = tessaly_->events();
    for (int i = lost; i < back; ++i) {
        EXPECT_FALSE(events[i].contains(R"("event":"status")")) << describe();
    }
    EXPECT_TRUE(events[again].contains(R"("level":42,)")) << describe();
}

// The simulator falls silent (SIGUSR1): the status events end with its last line, each
// having carried a line of its own, and `silent` follows within the rhythm's second.
TEST_F(HeadlessAgainstSimulator, TheStatusEventsEndWithTheLastLineAndSilentFollows) {
    startBoth(45, {}, true);  // Dynamic on: every status line has a level of its own
    const int identified = tessaly_->waitForEvent({R"("event":"identified")"}, 8000);
    ASSERT_GE(identified, 0) << describe();
    int status = identified;
    for (int count = 0; count < 3; ++count) {
        status = tessaly_->waitForEvent({R"("event":"status")"}, 5000, status + 1);
        ASSERT_GE(status, 0) << describe();
    }
    ::kill(static_cast<pid_t>(sim_->pid()), SIGUSR1);
    ASSERT_TRUE(sim_->waitForLog("silent now (SIGUSR1)", 3000)) << describe();
    const int silentFrom = static_cast<int>(tessaly_->events().size());

    // When each event was read, from here on.
    QElapsedTimer clock;
    clock.start();
    QList<qint64> readAt;
    const bool silent = waitUntil(
        [&] {
            const QStringList lines = tessaly_->events();
            while (silentFrom + readAt.size() < lines.size()) {
                readAt.append(clock.elapsed());
            }
            return lines.join('\n').indexOf(R"("state":"silent")") >= 0;
        },
        5000);
    ASSERT_TRUE(silent) << describe();

    const QStringList events = tessaly_->events();
    int silentAt = -1;
    int lastStatus = -1;
    QSet<QString> readings;
    static const QRegularExpression time(R"("time":[0-9.]+,)");
    for (int i = identified; i < events.size(); ++i) {
        if (events[i].contains(R"("state":"silent")")) {
            silentAt = i;
            break;
        }
        if (events[i].startsWith(R"({"event":"status",)")) {
            lastStatus = i;
            QString reading = events[i];
            reading.remove(time);
            EXPECT_FALSE(readings.contains(reading)) << "a reading repeated: " << describe();
            readings.insert(reading);
        }
    }
    ASSERT_GT(lastStatus, identified) << describe();
    EXPECT_EQ(silentAt, lastStatus + 1) << describe();
    // A line in flight as the stand-in fell silent may still come; none after it.
    EXPECT_LE(lastStatus + 1 - silentFrom, 1) << describe();
    const qint64 lastStatusRead = lastStatus >= silentFrom ? readAt[lastStatus - silentFrom] : 0;
    EXPECT_LE(readAt[silentAt - silentFrom] - lastStatusRead, 1500) << describe();
}

// The simulator has had Warnings on from the start; the boxes were reset to off at the
// identification. The very first status already reports the code and lamps of Warnings on.
TEST_F(HeadlessAgainstSimulator, TheFirstStatusAfterIdentificationCarriesItsOwnModesCodes) {
    startBoth(24, {"--no-dynamic", "--level", "50"});
    const int identified = tessaly_->waitForEvent({R"("event":"identified")"}, 8000);
    ASSERT_GE(identified, 0) << describe();
    const int first = tessaly_->waitForEvent({R"("event":"status")"}, 5000, identified);
    ASSERT_GE(first, 0) << describe();
    const QString status = tessaly_->events()[first];
    for (const char* part :
         {R"("level":50,)", R"("warnings":true,)",
          R"("trouble_codes":{"Engine DM1":[{"spn":110,"fmi":0,"oc":1,"cm":0}],)",
          R"("Engine Amber":true,"Engine Red Stop":true,)", R"("ABS Amber":false,)",
          R"("coolant_temp_f":185,)"}) {
        EXPECT_TRUE(status.contains(part)) << part << "\n" << describe();
    }
}

TEST_F(HeadlessAgainstSimulator, RefusedFirmwareIsAnIdentificationNotAcceptedAndNoStatus) {
    startBoth(24, {"--old-firmware"});
    const int identified = tessaly_->waitForEvent({R"("event":"identified")"}, 8000);
    ASSERT_GE(identified, 0) << describe();
    EXPECT_TRUE(tessaly_->events()[identified].contains(R"("firmware":"0.1C",)")) << describe();
    EXPECT_TRUE(tessaly_->events()[identified].endsWith(R"("accepted":false})")) << describe();
    // Its status lines (five rounds a second) keep the link alive and are never shown.
    waitUntil([] { return false; }, 1000);
    tessaly_->send("snapshot");
    ASSERT_GE(tessaly_->waitForEvent(
                  {R"({"event":"error","message":"snapshot: no readings: the link is refused"})"},
                  3000, identified),
              0)
        << describe();
    EXPECT_FALSE(tessaly_->transcript().find(R"("event":"status")") != std::string::npos)
        << describe();
}

TEST(HeadlessExample, LevelSweepRunsToTheEnd) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString portMap = folder.path() + "/comports";
    J1939SimProcess sim(portMap, 36);
    ASSERT_TRUE(sim.start()) << sim.log().toStdString();
    QProcess script;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    environment.insert("COMPORTS_DIR", portMap);
    // The example runs on the client in the source tree.
    environment.insert("PYTHONPATH", TESTS_SOURCE_DIR "/../python");
    script.setProcessEnvironment(environment);
    script.start("python3", {TESTS_SOURCE_DIR "/../examples/level_sweep.py", "--tessaly",
                             TESSALY_PATH, "--port", "COM36", "--settings",
                             folder.path() + "/vive1939.ini", "--step", "25"});
    ASSERT_TRUE(script.waitForStarted(5000));
    ASSERT_TRUE(waitUntil([&] { return script.state() == QProcess::NotRunning; }, 60000));
    const QString output = QString::fromUtf8(script.readAllStandardOutput());
    const QString errors = QString::fromUtf8(script.readAllStandardError());
    const std::string context = (output + errors + sim.log()).toStdString();
    EXPECT_EQ(script.exitCode(), 0) << context;
    // One row per level: level, engine speed, coolant temperature, the engine DM1 row.
    EXPECT_TRUE(output.contains(QRegularExpression(R"(\n\s+0\s+0\s+-40\s)"))) << context;
    EXPECT_TRUE(output.contains(QRegularExpression(R"(\n\s+50\s+4015\.875\s+185\s)"))) << context;
    EXPECT_TRUE(output.contains(QRegularExpression(R"(\n\s+100\s+8031\.875\s+410\s)"))) << context;
}

}  // namespace
