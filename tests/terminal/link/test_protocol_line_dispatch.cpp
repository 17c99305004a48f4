// What each line from the simulator changes, and what it must leave alone.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "line_building.h"
#include "terminal/dashboard/ControlIds.h"
#include "terminal/link/LineDispatch.h"

using namespace terminal;
using namespace linetest;

namespace {

// Plays session and dashboard around the dispatch: the panel is the controls' contents.
class RecordingHooks : public ProtocolHooks {
public:
    explicit RecordingHooks(DashboardState& state) : state_(state) {}
    DashboardState panel;
    std::vector<std::string> calls;
    std::vector<double> sliderPositions;
    std::vector<int> appliedLevels;
    std::vector<bool> quietSeenByModel;
    int outcomes = 0;

    void readPanel() override {
        calls.push_back("read");
        state_ = panel;
    }
    void writePanel() override {
        calls.push_back("write");
        panel = state_;
    }
    void setSliderPosition(double position) override {
        calls.push_back("slider");
        sliderPositions.push_back(position);
    }
    void applyLevel(std::uint8_t level) override {
        calls.push_back("level");
        appliedLevels.push_back(level);
        quietSeenByModel.push_back(state_.quietOn);
    }
    void identificationOutcome() override {
        calls.push_back("outcome");
        ++outcomes;
    }

private:
    DashboardState& state_;
};

class LineDispatchTest : public ::testing::Test {
protected:
    SessionState session;
    DashboardState dashboard;
    RecordingHooks hooks{dashboard};
    LineDispatch dispatch{session, dashboard, hooks};

    void SetUp() override {
        hooks.panel.canBaudText = "Not Found Yet!";
        hooks.panel.firmwareVersionText = "Not Found Yet!";
    }
    // As an accepted identification leaves the session: the remote controls offered.
    void openGate() {
        session.firmwareVersion = 2;
        session.revisionLetter = 'D';
        session.remoteControlsEnabled = true;
    }
    void allPending() {
        session.levelPending = session.warningsPending = session.quietPending =
            session.dynamicPending = session.resetDm2Pending = true;
    }
};

}  // namespace

TEST_F(LineDispatchTest, AcknowledgementsClearTheirPendingFlagsWithinAReadWriteFrame) {
    allPending();
    dispatch.dispatch("ACK %\r\n");
    EXPECT_FALSE(session.levelPending);
    EXPECT_TRUE(session.warningsPending && session.quietPending && session.dynamicPending &&
                session.resetDm2Pending);
    EXPECT_TRUE(session.recordSeen);
    EXPECT_EQ((std::vector<std::string>{"read", "write"}), hooks.calls);

    session.levelPending = true;
    dispatch.dispatch("ACK KI\r\n");
    EXPECT_TRUE(session.levelPending);  // "ACK KI" releases only the four check boxes
    EXPECT_FALSE(session.warningsPending || session.quietPending || session.dynamicPending ||
                 session.resetDm2Pending);
}

TEST_F(LineDispatchTest, AnswersOfTheWrongLengthOnlyKeepTheLinkAlive) {
    allPending();
    for (const char* line : {"ACK %%\r\n", "ACK KIX\r\n", "ACK REV\r\n", "ACK REVAB\r\n",
                             "ACK CBRS=3\r\n", "ACK %ACK KI\r\n", "ACK ID\r\n"}) {
        session.recordSeen = false;
        dispatch.dispatch(line);
        EXPECT_TRUE(session.recordSeen) << line;
    }
    EXPECT_TRUE(session.levelPending && session.warningsPending);
    EXPECT_EQ('A', session.revisionLetter);
    EXPECT_EQ("Not Found Yet!", dashboard.canBaudText);
}

TEST_F(LineDispatchTest, RevisionAndBaudRateAnswersAreTakenAsTheyCome) {
    dispatch.dispatch("ACK REVE\r\n");
    EXPECT_EQ('E', session.revisionLetter);
    dispatch.dispatch("ACK CBRS=03\r\n");
    EXPECT_EQ("500K bps", hooks.panel.canBaudText);
    dispatch.dispatch("ACK CBRS=05\r\n");
    EXPECT_EQ("invalid", hooks.panel.canBaudText);
    dispatch.dispatch("ACK CBRS=00\r\n");
    EXPECT_EQ("250K bps", hooks.panel.canBaudText);
}

TEST_F(LineDispatchTest, LinesWithoutAKnownHeaderAreDroppedUnseen) {
    dispatch.dispatch("XCK %\r\n");
    dispatch.dispatch("AT ID?\r\n");
    dispatch.dispatch("\r\n");
    EXPECT_FALSE(session.recordSeen);
    EXPECT_TRUE(hooks.calls.empty());
}

TEST_F(LineDispatchTest, AnIdentificationAnswerFillsTheIdentityAndAsksTheSession) {
    session.identificationAwaited = true;
    session.revisionLetter = 'D';
    dispatch.dispatch("ACK CBRS=03\r\n");
    dispatch.dispatch(identification(305419896, 0x01));
    EXPECT_FALSE(session.identificationAwaited);
    EXPECT_TRUE(session.settingsDirty);
    EXPECT_TRUE(session.baudChangeAllowed);
    EXPECT_EQ(305419896u, hooks.panel.serialNumber);
    EXPECT_EQ(2, session.firmwareVersion);
    EXPECT_EQ(" 0.2D", hooks.panel.firmwareVersionText);
    EXPECT_EQ((std::vector<std::string>{"read", "write", "read", "outcome", "write"}), hooks.calls);
}

TEST_F(LineDispatchTest, SerialDigitsTravelInReverse) {
    session.identificationAwaited = true;
    dispatch.dispatch(
        checksummed("ACK ID00"
                    "87654321"
                    "10"));
    EXPECT_EQ(305419896u, dashboard.serialNumber);
    session.identificationAwaited = true;
    dispatch.dispatch(
        checksummed("ACK ID00"
                    "10000000"
                    "10"));
    EXPECT_EQ(1u, dashboard.serialNumber);
}

TEST_F(LineDispatchTest, VersionCharactersCoverTheWholeVersionRange) {
    session.identificationAwaited = true;
    session.revisionLetter = 'D';
    dispatch.dispatch(identification(1, 0xFF));
    EXPECT_EQ(256, session.firmwareVersion);
    EXPECT_EQ("25.6D", dashboard.firmwareVersionText);

    session.versionChars = {' ', '0', '.', '0', 'A'};  // as connect leaves them
    session.identificationAwaited = true;
    session.revisionLetter = 'C';
    dispatch.dispatch(identification(1, 0x00));
    EXPECT_EQ(1, session.firmwareVersion);
    EXPECT_EQ(" 0.1C", dashboard.firmwareVersionText);
    EXPECT_FALSE(session.firmwareGateOpen());
}

TEST_F(LineDispatchTest, ABadIdentificationUsesUpTheOneAnswerOfTheConnection) {
    session.identificationAwaited = true;
    dispatch.dispatch("ACK CBRS=03\r\n");
    dispatch.dispatch(
        badChecksum("ACK ID0087654321"
                    "10"));
    EXPECT_FALSE(session.identificationAwaited);
    EXPECT_TRUE(session.settingsDirty);
    EXPECT_EQ(0, hooks.outcomes);
    EXPECT_EQ(0u, dashboard.serialNumber);
    EXPECT_FALSE(session.baudChangeAllowed);
    EXPECT_EQ(0, session.firmwareVersion);

    // A good answer afterwards is ignored until the next connect.
    session.settingsDirty = false;
    dispatch.dispatch(identification(7, 0x01));
    EXPECT_EQ(0, hooks.outcomes);
    EXPECT_EQ(0u, dashboard.serialNumber);
    EXPECT_FALSE(session.settingsDirty);
}

TEST_F(LineDispatchTest, BaudChangeIsAllowedOnlyWithAKnownRateAtIdentification) {
    // No rate answer yet, then one with a code that names no rate.
    for (const char* rateAnswer : {"", "ACK CBRS=05\r\n"}) {
        session.identificationAwaited = true;
        session.baudChangeAllowed = true;
        dispatch.dispatch(rateAnswer);
        dispatch.dispatch(identification(1, 0x01));
        EXPECT_FALSE(session.baudChangeAllowed) << rateAnswer;
    }
    // What the rate box shows is not asked: only the answer the simulator gave.
    session.identificationAwaited = true;
    hooks.panel.canBaudText = "500K bps";
    dispatch.dispatch(identification(1, 0x01));
    EXPECT_FALSE(session.baudChangeAllowed);
    // A later rate answer does not change the decision.
    dispatch.dispatch("ACK CBRS=03\r\n");
    EXPECT_FALSE(session.baudChangeAllowed);
}

TEST_F(LineDispatchTest, StatusLinesAreDroppedWhileTheGateIsClosedButKeepTheLinkAlive) {
    session.firmwareVersion = 2;
    session.revisionLetter = 'C';
    dispatch.dispatch(simulationStatus(50, 0x0E));
    dispatch.dispatch(addressClaim(0x15));
    dispatch.dispatch(engineClock(1, 2));
    EXPECT_TRUE(session.recordSeen);
    EXPECT_TRUE(hooks.appliedLevels.empty());
    EXPECT_EQ("", dashboard.engineClockText);
    EXPECT_EQ("", dashboard.engineClaimText);
    EXPECT_FALSE(dashboard.dynamicOn);
}

TEST_F(LineDispatchTest, TheWorkedStatusLineMovesTheSliderRunsTheModelAndSetsTheModes) {
    openGate();
    hooks.panel.quietOn = true;
    dispatch.dispatch("BRC %S08B07B\r\n");  // level 128, flags 0x0B
    EXPECT_EQ(std::vector<double>{128}, hooks.sliderPositions);
    EXPECT_EQ(std::vector<int>{128}, hooks.appliedLevels);
    // The model saw the check boxes from before this line.
    EXPECT_EQ(std::vector<bool>{true}, hooks.quietSeenByModel);
    EXPECT_FALSE(hooks.panel.quietOn);  // bit 0 set: Quiet off
    EXPECT_TRUE(hooks.panel.dynamicOn);
    EXPECT_FALSE(hooks.panel.warningsOn);
    EXPECT_TRUE(hooks.panel.resetEngineDm2On);
    EXPECT_EQ((std::vector<std::string>{"read", "slider", "level", "write"}), hooks.calls);

    dispatch.dispatch(simulationStatus(0, 0x00));
    EXPECT_TRUE(hooks.panel.quietOn);
    EXPECT_FALSE(hooks.panel.dynamicOn || hooks.panel.resetEngineDm2On);
}

TEST_F(LineDispatchTest, DisabledWarningsAndResetDm2CanOnlyBeUnchecked) {
    openGate();
    session.remoteControlsEnabled = false;
    hooks.panel.warningsOn = hooks.panel.resetEngineDm2On = true;
    dispatch.dispatch(simulationStatus(10, 0x0C));
    EXPECT_FALSE(hooks.panel.warningsOn);
    EXPECT_FALSE(hooks.panel.resetEngineDm2On);
    session.remoteControlsEnabled = true;
    dispatch.dispatch(simulationStatus(10, 0x0C));
    EXPECT_TRUE(hooks.panel.warningsOn && hooks.panel.resetEngineDm2On);
}

TEST_F(LineDispatchTest, PendingControlsIgnoreStatusLinesUntilAcknowledged) {
    openGate();
    session.levelPending = true;
    session.dynamicPending = true;
    hooks.panel.dynamicOn = true;  // the operator's click
    dispatch.dispatch(simulationStatus(60, 0x04));
    EXPECT_TRUE(hooks.sliderPositions.empty());
    EXPECT_TRUE(hooks.appliedLevels.empty());
    EXPECT_TRUE(hooks.panel.dynamicOn);  // left as clicked
    EXPECT_TRUE(hooks.panel.quietOn);    // the others still follow
    EXPECT_TRUE(hooks.panel.warningsOn);

    dispatch.dispatch("ACK %\r\n");
    dispatch.dispatch("ACK KI\r\n");
    dispatch.dispatch(simulationStatus(60, 0x04));
    EXPECT_EQ(std::vector<int>{60}, hooks.appliedLevels);
    EXPECT_FALSE(hooks.panel.dynamicOn);
}

TEST_F(LineDispatchTest, EachPendingFlagGuardsOnlyItsOwnCheckBox) {
    openGate();
    session.quietPending = session.warningsPending = session.resetDm2Pending = true;
    dispatch.dispatch(simulationStatus(5, 0x0E));
    EXPECT_FALSE(hooks.panel.quietOn || hooks.panel.warningsOn || hooks.panel.resetEngineDm2On);
    EXPECT_TRUE(hooks.panel.dynamicOn);
}

TEST_F(LineDispatchTest, AddressClaimTextsFollowTheStatusBits) {
    openGate();
    dispatch.dispatch(addressClaim(0x01));
    EXPECT_EQ("Address claimed. Normal.", hooks.panel.engineClaimText);
    EXPECT_EQ("Address NOT claimed. Normal.", hooks.panel.transmissionClaimText);
    EXPECT_EQ("Address NOT claimed. Normal.", hooks.panel.absClaimText);
    dispatch.dispatch(addressClaim(0x36));
    EXPECT_EQ("Address NOT claimed. CANNOT claim.", hooks.panel.engineClaimText);
    EXPECT_EQ("Address claimed. Normal.", hooks.panel.transmissionClaimText);
    EXPECT_EQ("Address claimed. CANNOT claim.", hooks.panel.absClaimText);
}

TEST_F(LineDispatchTest, EngineClockShowsBothValuesUnpadded) {
    openGate();
    dispatch.dispatch("BRC CLKD0D254\r\n");
    EXPECT_EQ("13:45", hooks.panel.engineClockText);
    dispatch.dispatch(engineClock(0, 5));
    EXPECT_EQ("0:5", hooks.panel.engineClockText);
    dispatch.dispatch(engineClock(255, 255));
    EXPECT_EQ("255:255", hooks.panel.engineClockText);
}

TEST_F(LineDispatchTest, StatusLinesFailingChecksumOrLengthChangeNothing) {
    openGate();
    dispatch.dispatch(badChecksum("BRC %S" + reversedPair(40) + "00"));
    dispatch.dispatch(badChecksum("BRC ACS10"));
    dispatch.dispatch(badChecksum("BRC CLK1020"));
    dispatch.dispatch("BRC %S08B07B0\r\n");       // one byte too long
    dispatch.dispatch("BRC CLKD0D25\r\n");        // one byte short
    dispatch.dispatch(checksummed("BRC XYZ10"));  // unknown tag
    EXPECT_TRUE(hooks.appliedLevels.empty());
    EXPECT_EQ("", hooks.panel.engineClaimText);
    EXPECT_EQ("", hooks.panel.engineClockText);
    EXPECT_FALSE(hooks.panel.quietOn);
    EXPECT_TRUE(session.recordSeen);
}
