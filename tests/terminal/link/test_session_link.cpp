// The session's life: start-up, the one-second link rhythm, the firmware gate, serial
// errors, a port that disappears, Disconnect and Exit.

#include <gtest/gtest.h>

#include "core_rig.h"
#include "terminal/protocol/WireCodes.h"

using namespace coretest;
using namespace linetest;
namespace ids = terminal::ids;

namespace {
const int remoteControls[] = {ids::levelSlider,
                              ids::downButton,
                              ids::upButton,
                              ids::dynamicCheck,
                              ids::quietCheck,
                              ids::warningsCheck,
                              ids::menuButton,
                              ids::resetEngineDm2Check,
                              ids::engineDm1Edit,
                              ids::engineDm2Edit,
                              ids::absDm1Edit,
                              ids::transmissionDm1Edit,
                              ids::engineConfigurationButton};

void expectDisconnectedLook(CoreRig& rig) {
    EXPECT_TRUE(rig.view.isControlEnabled(ids::connectButton));
    EXPECT_FALSE(rig.view.isControlEnabled(ids::disconnectButton));
    for (int id : remoteControls) {
        EXPECT_FALSE(rig.view.isControlEnabled(id)) << id;
    }
    const auto& panel = rig.view.panel;
    EXPECT_EQ("Not Found Yet!", panel.firmwareVersionText);
    EXPECT_EQ("Not Found Yet!", panel.canBaudText);
    EXPECT_EQ(0u, panel.serialNumber);
    EXPECT_EQ("0:0", panel.engineClockText);
    EXPECT_EQ("Not Available Yet!", panel.vinText);
    EXPECT_EQ("Address Claimed Info not available.", panel.engineClaimText);
    EXPECT_EQ("Address Claimed Info not available.", panel.transmissionClaimText);
    EXPECT_EQ("Address Claimed Info not available.", panel.absClaimText);
    EXPECT_FALSE(panel.quietOn || panel.dynamicOn || panel.warningsOn || panel.resetEngineDm2On);
    EXPECT_EQ(0, rig.view.slider);
    for (int lamp :
         {ids::isTimerEnabledLamp, ids::epsEnabledLamp, ids::waitToStartLamp, ids::parkingLamp}) {
        EXPECT_FALSE(rig.view.lamps.at(lamp)) << lamp;
    }
    EXPECT_EQ(0, rig.core.session().firmwareVersion);
    EXPECT_FALSE(rig.core.session().portOpen);
}
}  // namespace

TEST(SessionLink, StartUpShowsTheDisconnectedDashboardAndWaitsForTheFirstTick) {
    CoreRig rig;
    rig.core.startSession();
    expectDisconnectedLook(rig);
    EXPECT_EQ("COM1", rig.view.panel.portName);
    EXPECT_TRUE(rig.view.timerRunning(ids::linkTimer));
    EXPECT_EQ(1000, rig.view.timers.at(ids::linkTimer));
    EXPECT_FALSE(rig.serial.open);
    EXPECT_TRUE(rig.serial.written.empty());
}

TEST(SessionLink, TheFirstTickOpensTheRememberedPortAndAsksForIdentification) {
    CoreRig rig;
    writeFile(rig.settingsPath, "COM=12;\r\n");
    rig.start();
    EXPECT_EQ("COM12", rig.view.panel.portName);
    EXPECT_TRUE(rig.serial.open);
    EXPECT_EQ(12, rig.serial.port);
    EXPECT_EQ("115200,n,8,1", rig.serial.settings);
    EXPECT_EQ("AT ID?\r\n", rig.serial.writtenText());
    EXPECT_EQ(std::vector<std::uint32_t>(8, 2), rig.clock.pauses);
    EXPECT_TRUE(rig.core.session().portOpen);
    EXPECT_TRUE(rig.core.session().identificationAwaited);
    EXPECT_TRUE(rig.view.timerRunning(ids::linkTimer));
    // The open sequence of the control: settings applied to the open port, input discarded.
    const std::vector<std::string> tail(rig.serial.calls.end() - 6, rig.serial.calls.end());
    EXPECT_EQ((std::vector<std::string>{"PortOpen=1", "Settings=115200,n,8,1", "InputMode=1",
                                        "RThreshold=1", "InputLen=0", "Input"}),
              tail);
}

TEST(SessionLink, AnAcceptedIdentificationWithCurrentFirmwareOpensTheRemoteControls) {
    CoreRig rig;
    rig.startConnected('D');
    for (int id : remoteControls) {
        EXPECT_TRUE(rig.view.isControlEnabled(id)) << id;
    }
    EXPECT_FALSE(rig.view.isControlEnabled(ids::connectButton));
    EXPECT_TRUE(rig.view.isControlEnabled(ids::disconnectButton));
    EXPECT_EQ(" 0.2D", rig.view.panel.firmwareVersionText);
    EXPECT_EQ("500K bps", rig.view.panel.canBaudText);
    EXPECT_EQ(305419896u, rig.view.panel.serialNumber);
    EXPECT_TRUE(rig.core.session().baudChangeAllowed);
    EXPECT_TRUE(rig.view.messages.empty());

    // Ticks with traffic only watch: nothing is reopened or resent.
    const auto written = rig.serial.written.size();
    rig.tick();
    rig.serial.receive(simulationStatus(40, 0x01));
    rig.tick();
    EXPECT_EQ(written, rig.serial.written.size());
    EXPECT_TRUE(rig.core.session().portOpen);
}

TEST(SessionLink, ASilentSecondResetsTheDashboardAndReconnectsAtOnce) {
    CoreRig rig;
    rig.startConnected('E');
    rig.tick();  // the identification counted as traffic
    rig.serial.written.clear();
    rig.serial.calls.clear();
    rig.tick();  // nothing arrived during this second
    EXPECT_EQ("AT ID?\r\n", rig.serial.writtenText());
    EXPECT_EQ("PortOpen=0", rig.serial.calls.front());
    EXPECT_TRUE(rig.core.session().identificationAwaited);
    EXPECT_TRUE(rig.view.timerRunning(ids::linkTimer));
    EXPECT_TRUE(rig.view.isControlEnabled(ids::connectButton));
    EXPECT_FALSE(rig.view.isControlEnabled(ids::levelSlider));
    EXPECT_EQ("Not Found Yet!", rig.view.panel.firmwareVersionText);
    EXPECT_TRUE(rig.view.messages.empty());
}

TEST(SessionLink, WithoutAnyAnswerEveryTickReopensAndAsksAgain) {
    CoreRig rig;
    rig.start();
    rig.tick();
    rig.tick();
    EXPECT_EQ("AT ID?\r\nAT ID?\r\nAT ID?\r\n", rig.serial.writtenText());
}

TEST(SessionLink, OldFirmwareIsRefusedOnceAndTheLinkIsLeftAlone) {
    CoreRig rig;
    rig.startConnected('C');
    ASSERT_EQ(1u, rig.view.messages.size());
    EXPECT_EQ(
        "This release requires Minimum J1939 Simulator (firmware) version 0.2D/0.2E/0.2F; please "
        "update your J1939 simulator accordingly.",
        rig.view.messages[0].text);
    EXPECT_EQ(terminal::MessageIcon::exclamation, rig.view.messages[0].icon);
    EXPECT_FALSE(rig.view.timerRunning(ids::linkTimer));
    EXPECT_FALSE(rig.view.isControlEnabled(ids::levelSlider));
    EXPECT_FALSE(rig.view.isControlEnabled(ids::connectButton));
    EXPECT_TRUE(rig.view.isControlEnabled(ids::disconnectButton));
    // Status lines are dropped; a repeated answer is not acted on again.
    rig.serial.receive(simulationStatus(50, 0x00) + identification(1, 0x01));
    EXPECT_EQ(1u, rig.view.messages.size());
    EXPECT_FALSE(rig.view.panel.quietOn);
    EXPECT_TRUE(rig.core.session().recordSeen);
}

TEST(SessionLink, VersionOneIsRefusedWhateverTheRevision) {
    CoreRig rig;
    rig.start();
    rig.serial.receive("ACK REVF\r\n" + identification(1, 0x00));
    EXPECT_EQ(1u, rig.view.messages.size());
    EXPECT_EQ(" 0.1F", rig.view.panel.firmwareVersionText);
}

TEST(SessionLink, DisconnectStaysIdleUntilConnectIsPressed) {
    CoreRig rig;
    rig.startConnected();
    rig.core.disconnect();
    expectDisconnectedLook(rig);
    EXPECT_FALSE(rig.serial.open);
    EXPECT_FALSE(rig.view.timerRunning(ids::linkTimer));
    rig.serial.written.clear();
    rig.core.connect();
    EXPECT_EQ("AT ID?\r\n", rig.serial.writtenText());
    EXPECT_TRUE(rig.view.timerRunning(ids::linkTimer));
}

TEST(SessionLink, AFailedOpenShowsTheErrorAndGoesIdle) {
    CoreRig rig;
    rig.serial.openError = "COM1 (/dev/ttyUSB0) does not exist. Plug in the adapter.";
    rig.core.startSession();
    EXPECT_THROW(rig.tick(), platform::SerialError);
    EXPECT_FALSE(rig.core.session().portOpen);
    EXPECT_FALSE(rig.view.timerRunning(ids::linkTimer));
    EXPECT_TRUE(rig.view.isControlEnabled(ids::connectButton));
    EXPECT_TRUE(rig.serial.written.empty());

    // The Connect button fails the same way and leaves the timer off.
    EXPECT_THROW(rig.core.connect(), platform::SerialError);
    EXPECT_FALSE(rig.view.timerRunning(ids::linkTimer));
    rig.serial.openError.clear();
    rig.core.connect();
    EXPECT_EQ("AT ID?\r\n", rig.serial.writtenText());
}

TEST(SessionLink, APortStillOpenAfterClosingIsReportedAndRetriedNextTick) {
    CoreRig rig;
    rig.start();
    rig.serial.stuckOpen = true;
    rig.serial.written.clear();
    rig.tick();
    ASSERT_EQ(1u, rig.view.messages.size());
    EXPECT_EQ("Cannot Open the selected Serial Port!", rig.view.messages[0].text);
    EXPECT_FALSE(rig.core.session().portOpen);
    EXPECT_TRUE(rig.serial.written.empty());
    EXPECT_TRUE(rig.view.timerRunning(ids::linkTimer));

    // Ticks that fire while that message box is open are skipped, not stacked.
    int nestedTicks = 0;
    rig.view.duringMessage = [&] {
        ++nestedTicks;
        rig.tick();
        rig.tick();
    };
    rig.tick();
    EXPECT_EQ(2u, rig.view.messages.size());
    EXPECT_EQ(1, nestedTicks);
}

TEST(SessionLink, ALostPortIsRetriedQuietlyEverySecondUntilTheDeviceReturns) {
    CoreRig rig;
    rig.startConnected();
    rig.serial.receive(simulationStatus(40, 0x01));
    // The adapter is pulled: the control closes the port and reports it.
    rig.serial.open = false;
    rig.serial.openError = "/dev/ttyUSB0 has gone away";
    rig.serial.event = platform::comEvPortLost;
    rig.serial.receive("");
    EXPECT_FALSE(rig.core.session().portOpen);
    rig.serial.event = platform::comEvReceive;
    // A key press meanwhile sends nothing instead of failing on the closed port.
    EXPECT_NO_THROW(rig.core.sendKeyCommand(terminal::wire::keyUp));

    for (int second = 0; second < 5; ++second) {
        EXPECT_NO_THROW(rig.tick());
        EXPECT_TRUE(rig.view.timerRunning(ids::linkTimer));
    }
    EXPECT_TRUE(rig.view.messages.empty());
    expectDisconnectedLook(rig);

    rig.serial.openError.clear();
    rig.serial.written.clear();
    rig.tick();
    EXPECT_EQ("AT ID?\r\n", rig.serial.writtenText());
    rig.serial.receive("ACK REVD\r\n" + identification(305419896, 0x01));
    EXPECT_TRUE(rig.view.isControlEnabled(ids::levelSlider));

    // Once back, a later failure is an ordinary one again.
    rig.serial.openError = "busy";
    rig.core.disconnect();
    EXPECT_THROW(rig.core.connect(), platform::SerialError);
}

TEST(SessionLink, TheOperatorsConnectEndsTheQuietRetries) {
    CoreRig rig;
    rig.startConnected();
    rig.serial.open = false;
    rig.serial.openError = "gone";
    rig.serial.event = platform::comEvPortLost;
    rig.serial.receive("");
    rig.serial.event = platform::comEvReceive;
    rig.tick();
    EXPECT_THROW(rig.core.connect(), platform::SerialError);
    EXPECT_FALSE(rig.view.timerRunning(ids::linkTimer));
    EXPECT_FALSE(rig.core.session().portOpen);
}

// COM1 without a port-map link is the first serial device present; once the USB adapter is
// pulled, COM1 would be the on-board UART.
TEST(SessionLink, TheQuietRetryReopensOnlyTheLostDeviceAndConnectResolvesComAfresh) {
    CoreRig rig;
    rig.startConnected();
    ASSERT_EQ(std::vector<std::string>{"/dev/ttyUSB0"}, rig.serial.openAttempts);
    rig.serial.open = false;
    rig.serial.absentDevices = {"/dev/ttyUSB0"};
    rig.serial.mappedDevice = "/dev/ttyS0";
    rig.serial.event = platform::comEvPortLost;
    rig.serial.receive("");
    rig.serial.event = platform::comEvReceive;
    rig.serial.written.clear();

    for (int second = 0; second < 5; ++second) {
        EXPECT_NO_THROW(rig.tick());
    }
    EXPECT_EQ(std::vector<std::string>(6, "/dev/ttyUSB0"), rig.serial.openAttempts);
    EXPECT_TRUE(rig.serial.written.empty());  // nothing sent to any other device
    EXPECT_TRUE(rig.view.messages.empty());

    // The adapter comes back under its old name: found again, and kept on later reconnects.
    rig.serial.absentDevices.clear();
    rig.tick();
    EXPECT_EQ("AT ID?\r\n", rig.serial.writtenText());
    rig.tick();  // a silent second: reset and reconnect, to the same device
    EXPECT_EQ("/dev/ttyUSB0", rig.serial.openAttempts.back());

    // The operator's Disconnect and Connect ask the port map again.
    rig.core.disconnect();
    rig.core.connect();
    EXPECT_EQ("/dev/ttyS0", rig.serial.openAttempts.back());
}

TEST(SessionLink, AFailedIdentificationRequestClosesThePortAndGoesIdle) {
    CoreRig rig;
    rig.core.startSession();
    rig.serial.afterOpen = [&rig] { rig.serial.writeError = "COM1 (/dev/ttyUSB0) went away"; };
    EXPECT_THROW(rig.tick(), platform::SerialError);
    EXPECT_FALSE(rig.serial.open);
    EXPECT_FALSE(rig.core.session().portOpen);
    EXPECT_FALSE(rig.view.timerRunning(ids::linkTimer));
    expectDisconnectedLook(rig);
}

TEST(SessionLink, PortNamesOutsideCom1ToCom40OpenCom1) {
    for (const auto& [name, port] : std::vector<std::pair<std::string, int>>{
             {"COM7", 7}, {"COM40", 40}, {"COM41", 1}, {"com7", 1}, {"COM07", 1}, {"", 1}}) {
        CoreRig rig;
        rig.core.startSession();
        rig.view.panel.portName = name;  // typed into the combo box
        rig.tick();
        EXPECT_EQ(port, rig.serial.port) << name;
        EXPECT_EQ(name, rig.core.dashboard().portName);
    }
}

TEST(SessionLink, PendingFlagsSurviveConnectAndDisconnectAndOnlyStartUpClearsThem) {
    CoreRig rig;
    rig.startConnected();
    auto& session = rig.core.sessionState();
    session.levelPending = session.quietPending = true;
    rig.core.disconnect();
    rig.core.connect();
    EXPECT_TRUE(session.levelPending && session.quietPending);
    rig.core.startSession();
    EXPECT_FALSE(session.levelPending || session.quietPending);
}

TEST(SessionLink, CommandsOfTheControlsGoOutOnlyWhileThePortIsOpen) {
    CoreRig rig;
    rig.core.startSession();
    rig.core.sendKeyCommand(terminal::wire::keyUp);
    rig.core.sendLevelCommand(128);
    EXPECT_TRUE(rig.serial.written.empty());
    // The baud-rate command is written regardless, and a closed port refuses it.
    EXPECT_THROW(rig.core.sendBaudRateCommand("500K bps"), platform::SerialError);

    rig.tick();
    rig.serial.written.clear();
    rig.core.sendKeyCommand(terminal::wire::keyUp);
    rig.core.sendLevelCommand(128);
    rig.core.sendBaudRateCommand("500K bps");
    EXPECT_EQ("AT KI2055\r\nAT %08EB\r\nAT CBRS=03\r\n", rig.serial.writtenText());
}

TEST(SessionLink, ExitClosesThePortStopsTheTimerAndClosesTheWindow) {
    CoreRig rig;
    rig.startConnected();
    rig.view.panel.portName = "COM9";
    rig.core.exitProgram();
    EXPECT_FALSE(rig.serial.open);
    EXPECT_FALSE(rig.view.timerRunning(ids::linkTimer));
    EXPECT_TRUE(rig.view.closed);
    EXPECT_EQ("COM9", rig.core.dashboard().portName);
}

TEST(SessionLink, OtherTimerIdsAreIgnored) {
    CoreRig rig;
    rig.core.startSession();
    rig.core.onTimer(1);
    EXPECT_FALSE(rig.serial.open);
    EXPECT_TRUE(rig.serial.calls.empty());
}

TEST(FirmwareGate, NamesTheFirmwareItAcceptsAsTheMessagesDo) {
    EXPECT_EQ(terminal::acceptedFirmwareText(), "0.2D/0.2E/0.2F");
    terminal::SessionState session;
    for (char revision : {'C', 'D', 'E', 'F', 'G'}) {
        for (std::uint16_t version : {1, 2, 3}) {
            session.firmwareVersion = version;
            session.revisionLetter = revision;
            const bool accepted = version >= 2 && revision >= 'D' && revision <= 'F';
            EXPECT_EQ(session.firmwareGateOpen(), accepted) << version << revision;
        }
    }
}

// A pseudo-terminal number or a ttyUSB name is handed to the next device that comes.
TEST(SessionLink, AnotherDeviceOnTheLostPathIsNotTakenForTheLostSimulator) {
    CoreRig rig;
    rig.startConnected();
    rig.serial.open = false;
    rig.serial.event = platform::comEvPortLost;
    rig.serial.receive("");
    rig.serial.event = platform::comEvReceive;
    rig.serial.written.clear();
    rig.tick();
    ASSERT_EQ("AT ID?\r\n", rig.serial.writtenText());
    rig.serial.receive("ACK REVD\r\n" + identification(777, 0x01));

    EXPECT_FALSE(rig.view.isControlEnabled(ids::levelSlider));
    EXPECT_TRUE(rig.view.isControlEnabled(ids::connectButton));
    EXPECT_FALSE(rig.core.session().portOpen);
    EXPECT_FALSE(rig.view.timerRunning(ids::linkTimer));
    EXPECT_EQ(terminal::LinkState::disconnected, rig.core.linkState());
    ASSERT_EQ(1u, rig.view.messages.size());
    EXPECT_EQ(
        "Another device answers on /dev/ttyUSB0: serial number 777, not the simulator "
        "305419896 that was lost. Press Connect to use it.",
        rig.view.messages[0].text);

    // The operator's Connect takes whatever simulator answers.
    rig.serial.written.clear();
    rig.core.connect();
    rig.serial.receive("ACK REVD\r\n" + identification(777, 0x01));
    EXPECT_TRUE(rig.view.isControlEnabled(ids::levelSlider));
    EXPECT_EQ(1u, rig.view.messages.size());
}
