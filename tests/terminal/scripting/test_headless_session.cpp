// The headless session on a recording serial control: each command line runs the dashboard
// control's operation (same bytes, same pending flags), and everything it has to say comes
// out as one JSON line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "FakeClock.h"
#include "FakeSerialControl.h"
#include "terminal/recording/DashboardExport.h"
#include "terminal/scripting/HeadlessSession.h"

namespace {

using terminal::headless::HeadlessSession;

constexpr int linkTimer = 2;
// Serial number 305419896, version byte 0x01 (firmware 0.2 with the revision letter).
constexpr const char* identification = "ACK ID008765432110F1\r\n";
// Level 50; mode flags 0x05: Quiet off, Warnings on.
constexpr const char* level50WarningsOn = "BRC %S23507C\r\n";
// Level 50; mode flags 0x01: Quiet off, Warnings off.
constexpr const char* level50WarningsOff = "BRC %S2310BC\r\n";

class RecordingHost : public terminal::headless::HeadlessHost {
public:
    std::vector<std::string> lines;
    bool ended = false;
    bool timerRunning = false;

    void startTimer(int, int) override { timerRunning = true; }
    void stopTimer(int) override { timerRunning = false; }
    void endSession() override { ended = true; }
    void emitLine(const std::string& line) override { lines.push_back(line); }

    bool saw(const std::string& text) const {
        for (const std::string& line : lines) {
            if (line.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }
    std::string all() const {
        std::string text;
        for (const std::string& line : lines) {
            text += line + "\n";
        }
        return text;
    }
};

class HeadlessSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device seed;
        folder_ = std::filesystem::temp_directory_path() /
                  ("tessaly-headless-" + std::to_string(seed()) + std::to_string(seed()));
        std::filesystem::create_directories(folder_);
        session_ = std::make_unique<HeadlessSession>(host, serial, clock, folder_ / "vive1939.ini");
        serial.setOnComm([this] { session_->onReceive(); });
    }
    void TearDown() override {
        session_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    // Start, the first tick connects, the simulator answers as firmware 0.2D at 250K.
    void startIdentified() {
        session_->start("COM21");
        session_->onTimer(linkTimer);
        serial.receive("ACK REVD\r\n");
        serial.receive("ACK CBRS=00\r\n");
        serial.receive(identification);
    }

    void input(const std::string& line) {
        serial.written.clear();
        session_->onInputLine(line);
    }

    std::filesystem::path folder_;
    RecordingHost host;
    testing_support::FakeSerialControl serial;
    testing_support::FakeClock clock;
    std::unique_ptr<HeadlessSession> session_;
};

TEST_F(HeadlessSessionTest, ConnectingAndIdentifyingAreReportedOnce) {
    startIdentified();
    session_->onTimer(linkTimer);  // a tick with traffic: nothing changes
    serial.receive(level50WarningsOn);
    session_->onTimer(linkTimer);
    EXPECT_EQ(
        host.lines,
        (std::vector<std::string>{
            R"({"event":"link","state":"disconnected","port":"COM21","device":""})",
            R"({"event":"link","state":"connecting","port":"COM21","device":""})",
            R"({"event":"link","state":"identified","port":"COM21","device":""})",
            R"({"event":"identified","serial":305419896,"firmware":"0.2D","can_rate":"250K bps",)"
            R"("accepted":true})",
        }));
    EXPECT_EQ(serial.port, 21);
    // A second without a line: silent, then at once a new attempt.
    session_->onTimer(linkTimer);
    EXPECT_EQ(host.lines.at(4), R"({"event":"link","state":"silent","port":"COM21","device":""})");
    EXPECT_EQ(host.lines.at(5),
              R"({"event":"link","state":"connecting","port":"COM21","device":""})");
    // The device disappears: lost, and the quiet retries that follow say nothing more.
    serial.open = false;
    serial.event = platform::comEvPortLost;
    serial.receive("");
    serial.openError = "Cannot open COM21: no device";
    session_->onTimer(linkTimer);
    session_->onTimer(linkTimer);
    EXPECT_EQ(host.lines.size(), 7u) << host.all();
    EXPECT_EQ(host.lines.back(), R"({"event":"link","state":"lost","port":"COM21","device":""})");
}

TEST_F(HeadlessSessionTest, TheFirstLinkEventNamesThePortInForce) {
    const struct {
        const char* settings;  // the settings file's content, or none
        const char* port;      // --port
        const char* named;
    } cases[] = {
        {"COM=7;\r\n", "", "COM7"},
        {"COM=7;\r\n", "COM21", "COM21"},
        {nullptr, "/dev/ttyUSB3", "/dev/ttyUSB3"},
        {nullptr, "", "COM1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.named);
        std::filesystem::remove(folder_ / "vive1939.ini");
        if (c.settings != nullptr) {
            std::ofstream(folder_ / "vive1939.ini", std::ios::binary) << c.settings;
        }
        RecordingHost host;
        HeadlessSession session(host, serial, clock, folder_ / "vive1939.ini");
        session.start(c.port);
        ASSERT_FALSE(host.lines.empty());
        EXPECT_EQ(host.lines.front(),
                  std::string(R"({"event":"link","state":"disconnected","port":")") + c.named +
                      R"(","device":""})");
    }
}

// Status events carry readings only: an identified simulator and a status line since.
TEST_F(HeadlessSessionTest, NoStatusWithoutReadingsAndSnapshotSaysWhy) {
    session_->start("COM21");
    session_->emitStatus();
    input("snapshot");
    EXPECT_EQ(host.lines.back(),
              R"({"event":"error","message":"snapshot: no readings: the link is disconnected"})");
    session_->onTimer(linkTimer);
    serial.receive("ACK REVD\r\n");
    serial.receive(identification);
    session_->emitStatus();
    input("snapshot");
    EXPECT_EQ(host.lines.back(), R"({"event":"error","message":"snapshot: no readings: the link )"
                                 R"(is identified, but no status line has come since"})");
    // The first line's modes reach the codes with the next line.
    serial.receive(level50WarningsOn);
    serial.receive(level50WarningsOn);
    session_->emitStatus();
    EXPECT_NE(host.lines.back().find(R"("trouble_codes":{"Engine DM1":[{"spn":110,"fmi":0,"oc":1,)"
                                     R"("cm":0}],"ABS DM1":[],"Transmission DM1":[],"Engine DM2":)"
                                     R"([{"spn":110,"fmi":0,"oc":1,"cm":0}]}})"),
              std::string::npos)
        << host.lines.back();

    // The device goes: nothing more until it is back, identified and has sent a status line.
    serial.open = false;
    serial.event = platform::comEvPortLost;
    serial.receive("");
    serial.openError = "Cannot open COM21: no device";
    session_->onTimer(linkTimer);
    session_->emitStatus();
    input("snapshot");
    serial.openError.clear();
    serial.event = platform::comEvReceive;
    session_->onTimer(linkTimer);
    serial.receive("ACK REVD\r\n");
    serial.receive(identification);
    session_->emitStatus();
    serial.receive(level50WarningsOff);
    session_->emitStatus();

    std::vector<std::string> kinds;
    for (const std::string& line : host.lines) {
        const std::size_t state = line.find(R"("state":")");
        kinds.push_back(
            line.substr(10, line.find('"', 10) - 10) +
            (state == std::string::npos
                 ? ""
                 : " " + line.substr(state + 9, line.find('"', state + 9) - state - 9)));
    }
    EXPECT_EQ(kinds, (std::vector<std::string>{"link disconnected", "error", "link connecting",
                                               "link identified", "identified", "error", "status",
                                               "link lost", "error", "link connecting",
                                               "link identified", "identified", "status"}))
        << host.all();
}

// Each periodic status event carries a status line no event has carried yet, with the time
// that line arrived; from the moment the rhythm's second has passed without a line the link
// is silent, before the tick that resets it, unless a line comes first.
TEST_F(HeadlessSessionTest, NoStatusOutlivesTheLastLineAndSilenceIsToldAtItsSecond) {
    constexpr int silenceWatch = 3;
    struct Step {
        std::uint32_t atMs;
        const char* action;  // "line", "status" (the periodic event), "watch", "snapshot", "tick"
        const char* event;   // the event it sends, its start; "" for none
        std::size_t events = 1;  // with the ones that follow it
    };
    const Step steps[] = {
        {1500, "line", ""},
        {1620, "status", R"({"event":"status","time":1.5,"level":50,)"},
        {1700, "status", ""},
        {1850, "snapshot", R"({"event":"status","time":1.5,"level":50,)"},
        {1900, "status", ""},
        {2000, "line", ""},
        {2100, "status", R"({"event":"status","time":2,"level":50,)"},
        {2990, "watch", ""},
        {2999, "snapshot", R"({"event":"status","time":2,"level":50,)"},
        {3000, "watch", R"({"event":"link","state":"silent","port":"COM21","device":""})"},
        {3050, "snapshot",
         R"({"event":"error","message":"snapshot: no readings: the link is )"
         R"(silent"})"},
        // A line before the tick: identified again, readings from the next status line on,
        // and the tick finds a record.
        {3100, "line", R"({"event":"link","state":"identified","port":"COM21","device":""})", 2},
        {3150, "status", ""},
        {3200, "line", ""},
        {3250, "status", R"({"event":"status","time":3.2,"level":50,)"},
        {3300, "tick", ""},
        // Silent again, and nothing until the tick: it resets and reconnects.
        {4250, "watch", R"({"event":"link","state":"silent","port":"COM21","device":""})"},
        {4300, "tick", R"({"event":"link","state":"connecting","port":"COM21","device":""})"},
    };
    session_->start("COM21");
    EXPECT_TRUE(host.timerRunning);
    session_->onTimer(linkTimer);
    serial.receive("ACK REVD\r\n");
    serial.receive(identification);
    for (const Step& step : steps) {
        const std::string action = step.action;
        SCOPED_TRACE(std::to_string(step.atMs) + " " + action);
        clock.now = step.atMs;
        const std::size_t before = host.lines.size();
        if (action == "line") {
            serial.receive(level50WarningsOn);
        } else if (action == "status") {
            session_->emitNewStatus();
        } else if (action == "watch") {
            session_->onTimer(silenceWatch);
        } else if (action == "snapshot") {
            input("snapshot");
        } else {
            session_->onTimer(linkTimer);
        }
        if (*step.event == '\0') {
            EXPECT_EQ(host.lines.size(), before) << host.all();
        } else {
            ASSERT_EQ(host.lines.size(), before + step.events) << host.all();
            EXPECT_EQ(host.lines.at(before).rfind(step.event, 0), 0u) << host.lines.at(before);
        }
    }
}

TEST_F(HeadlessSessionTest, EveryIdentificationAnswerSaysWhetherItWasAccepted) {
    session_->start("COM21");
    session_->onTimer(linkTimer);
    serial.receive("ACK REVC\r\n");  // revision C: the firmware gate stays closed
    serial.receive(identification);
    EXPECT_EQ(host.lines.at(2), R"({"event":"link","state":"refused","port":"COM21","device":""})");
    EXPECT_EQ(host.lines.at(3),
              R"({"event":"identified","serial":305419896,"firmware":"0.2C","can_rate":)"
              R"("Not Found Yet!","accepted":false})");
    serial.receive(level50WarningsOn);  // keeps the link alive but is never shown
    session_->emitStatus();
    EXPECT_EQ(host.lines.size(), 5u) << host.all();
    EXPECT_EQ(host.lines.back().rfind(R"({"event":"error","message":"This release)", 0), 0u);
}

TEST_F(HeadlessSessionTest, LevelSendsTheSlidersCommandAndTheValuesFollowTheSimulator) {
    startIdentified();
    input("level 50");
    EXPECT_EQ(serial.writtenText(), "AT %231C\r\n");
    EXPECT_TRUE(session_->core().session().levelPending);
    EXPECT_EQ(clock.pauses, std::vector<std::uint32_t>(18, 2)) << "identification and level";

    serial.receive("ACK %\r\n");
    EXPECT_EQ(host.lines.back(), R"({"event":"ack","command":"level"})");
    EXPECT_FALSE(session_->core().session().levelPending);
    serial.receive(level50WarningsOn);
    input("snapshot");
    const std::string status = host.lines.back();
    EXPECT_NE(status.find(R"("level":50,)"), std::string::npos) << status;
    EXPECT_NE(status.find(R"("Engine RPM [RPM]":4015.875,)"), std::string::npos) << status;
    EXPECT_NE(status.find(R"("Engine Coolant Temp (F) [F]":185,)"), std::string::npos) << status;
    EXPECT_NE(
        status.find(R"("modes":{"dynamic":false,"quiet":false,"warnings":true,"reset_dm2":false})"),
        std::string::npos)
        << status;
    EXPECT_NE(status.find(R"("Cruise":true,)"), std::string::npos) << status;
}

// The window shows a line's codes with the modes its boxes held before the line; every
// export of the same moment carries the codes and lamps of the modes the line reported.
TEST_F(HeadlessSessionTest, EveryExportCarriesTheCodesAndLampsOfTheModesItCarries) {
    struct Case {
        const char* line;
        const char* screenDm1;  // the box, a line behind
        const char* modes;
        const char* codes;
        const char* lamps;
        const char* csv;   // the Engine Amber and Red Stop cells, then the engine DM1 cell
        bool copiedAmber;  // "Engine Amber<TAB>lit" among Copy all values
    };
    const Case cases[] = {
        // The first line after the identification: the boxes were reset to Warnings off.
        {level50WarningsOn, "   0     0      0     0\r\n", R"("warnings":true,)",
         R"("Engine DM1":[{"spn":110,"fmi":0,"oc":1,"cm":0}],)",
         R"("Engine Amber":true,"Engine Red Stop":true,)", "1|1|110:0:1:0", true},
        {level50WarningsOn, "110     0      1     0\r\n", R"("warnings":true,)",
         R"("Engine DM1":[{"spn":110,"fmi":0,"oc":1,"cm":0}],)",
         R"("Engine Amber":true,"Engine Red Stop":true,)", "1|1|110:0:1:0", true},
        // Warnings switched off on the device: the box still shows the code.
        {level50WarningsOff, "110     0      1     0\r\n", R"("warnings":false,)",
         R"("Engine DM1":[],)", R"("Engine Amber":false,"Engine Red Stop":false,)", "0|0|", false},
    };
    startIdentified();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line + std::string(" then ") + c.screenDm1);
        serial.receive(c.line);
        EXPECT_EQ(session_->core().dashboard().engineDm1Text, c.screenDm1);
        input("snapshot");
        const std::string status = host.lines.back();
        for (const char* part : {c.modes, c.codes, c.lamps, R"("level":50,)"}) {
            EXPECT_NE(status.find(part), std::string::npos) << part << "\n" << status;
        }
        const terminal::VehicleSnapshot& shown = session_->core().shown();
        const std::vector<std::string> row = terminal::dashboardCsvRow("t", shown);
        ASSERT_EQ(row.size(), 61u);
        EXPECT_EQ(row[51] + "|" + row[52] + "|" + row[57], c.csv);
        const std::string copied = terminal::allValuesText(shown);
        EXPECT_EQ(copied.find("\nEngine Amber\tlit\n") != std::string::npos, c.copiedAmber)
            << copied;
    }
}

TEST_F(HeadlessSessionTest, ValuesGoByTheirShortKeysBesideTheCaptions) {
    startIdentified();
    serial.receive(level50WarningsOn);
    input("snapshot");
    const std::string status = host.lines.back();
    for (const char* part : {R"("Engine RPM [RPM]":4015.875,)", R"("engine_rpm":4015.875,)",
                             R"("Engine Coolant Temp (F) [F]":185,)", R"("coolant_temp_f":185,)"}) {
        EXPECT_NE(status.find(part), std::string::npos) << part << "\n" << status;
    }
    // Captions first, then the keys, in the dashboard's order.
    EXPECT_LT(status.find(R"("Engine Air Inlet Pressure [PSI]")"), status.find(R"("engine_rpm")"));
    EXPECT_NE(status.find(R"("air_inlet_pressure_psi":)"), std::string::npos) << status;
}

TEST_F(HeadlessSessionTest, ModesSendTheirKeyOnlyWhenTheStateChanges) {
    struct Case {
        const char* flagsLine;
        const char* command;
        const char* sent;
        const char* event;
    };
    const Case cases[] = {
        {level50WarningsOn, "warnings off", "AT KI0165\r\n",
         R"({"event":"ack","command":"warnings"})"},
        {level50WarningsOff, "warnings off", "",
         R"({"event":"unchanged","command":"warnings","on":false})"},
        {level50WarningsOff, "warnings on", "AT KI0165\r\n",
         R"({"event":"ack","command":"warnings"})"},
        {level50WarningsOn, "quiet on", "AT KI3405\r\n", R"({"event":"ack","command":"quiet"})"},
        {level50WarningsOn, "quiet off", "",
         R"({"event":"unchanged","command":"quiet","on":false})"},
        {level50WarningsOn, "key menu", "AT KI0165\r\n", R"({"event":"ack","command":"key"})"},
    };
    startIdentified();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        serial.receive(c.flagsLine);
        input(c.command);
        EXPECT_EQ(serial.writtenText(), c.sent);
        if (*c.sent != '\0') {
            serial.receive("ACK KI\r\n");
        }
        EXPECT_EQ(host.lines.back(), c.event);
    }
}

TEST_F(HeadlessSessionTest, RefusedAndUnknownCommandsAreErrorsAndTheSessionGoesOn) {
    session_->start("");
    session_->onTimer(linkTimer);
    for (const char* line :
         {"level 20", "warnings on", "key up", "can-rate 500K", "disconnect", "fly away"}) {
        SCOPED_TRACE(line);
        host.lines.clear();
        input(line);
        EXPECT_EQ(serial.writtenText(), "");
        ASSERT_EQ(host.lines.size(), 1u);
        EXPECT_EQ(host.lines[0].rfind(R"({"event":"error","message":")", 0), 0u) << host.lines[0];
    }
    EXPECT_FALSE(host.ended);
    // A port that cannot be opened is an error event too, and nothing is left half open.
    serial.openError = "Cannot open COM1: no device";
    input("connect");
    EXPECT_EQ(host.lines.back(), R"({"event":"error","message":"Cannot open COM1: no device"})");
    EXPECT_FALSE(serial.open);
    EXPECT_FALSE(host.ended);
}

// A device lost closes the port at once, the window's controls go off only at the next tick;
// a remote command in between would go nowhere and never be answered.
TEST_F(HeadlessSessionTest, RemoteCommandsAreRefusedFromTheMomentTheDeviceIsLost) {
    startIdentified();
    serial.open = false;
    serial.event = platform::comEvPortLost;
    serial.receive("");
    const std::string refusal =
        ": refused: no simulator with firmware 0.2D/0.2E/0.2F is identified (the link is lost)";
    for (const std::string word : {"level", "key", "dynamic"}) {
        SCOPED_TRACE(word);
        input(word == "level" ? "level 20" : word == "key" ? "key up" : "dynamic on");
        EXPECT_EQ(serial.writtenText(), "");
        EXPECT_EQ(host.lines.back(),
                  "{\"event\":\"error\",\"message\":\"" + word + refusal + "\"}");
    }
}

TEST_F(HeadlessSessionTest, CanRateRunsTheConfirmedChangeAndQuitClosesThePort) {
    startIdentified();
    clock.pauses.clear();
    input("can-rate 500K");
    // The rate command, then two reconnects 500 ms apart, each asking for identification.
    EXPECT_EQ(serial.writtenText(), "AT CBRS=03\r\nAT ID?\r\nAT ID?\r\n");
    std::vector<std::uint32_t> pauses(12, 2);
    pauses.push_back(500);
    pauses.insert(pauses.end(), 8, 2);
    pauses.push_back(500);
    pauses.insert(pauses.end(), 8, 2);
    EXPECT_EQ(clock.pauses, pauses);

    input("quit");
    EXPECT_TRUE(host.ended);
    EXPECT_FALSE(serial.open);
    EXPECT_EQ(host.lines.back(),
              R"({"event":"link","state":"disconnected","port":"COM21","device":""})");
    host.lines.clear();
    input("level 5");
    EXPECT_TRUE(host.lines.empty()) << "nothing after quit";
}

}  // namespace
