// The keypad buttons and mode check boxes: what each click sends, which control it holds
// against status lines, and how the simulator's acknowledgement lets go of them.

#include <gtest/gtest.h>

#include <string>

#include "core_rig.h"
#include "terminal/link/RemoteControl.h"

using namespace terminal;
using namespace linetest;

namespace {

std::string keyLine(unsigned code) {
    return checksummed("AT KI" + reversedPair(code));
}

struct ConnectedRig : coretest::CoreRig {
    ConnectedRig() {
        startConnected();
        serial.written.clear();
    }
    void click(int id) { core.remoteControl().onControlClicked(id); }
    const SessionState& session() const { return core.session(); }
    bool anyModePending() const {
        const SessionState& s = core.session();
        return s.dynamicPending || s.quietPending || s.warningsPending || s.resetDm2Pending;
    }
};

struct KeypadCase {
    int id;
    unsigned code;
    bool SessionState::*pending;  // nullptr: a keypad button holds nothing
};

class EveryControlSendsItsKey : public ::testing::TestWithParam<KeypadCase> {};

TEST_P(EveryControlSendsItsKey, oneCheckedLineAndOnlyItsOwnPendingFlag) {
    const KeypadCase& c = GetParam();
    ConnectedRig rig;
    rig.click(c.id);
    EXPECT_EQ(keyLine(c.code), rig.serial.writtenText());

    const SessionState& s = rig.session();
    for (bool SessionState::*flag :
         {&SessionState::dynamicPending, &SessionState::quietPending,
          &SessionState::warningsPending, &SessionState::resetDm2Pending}) {
        EXPECT_EQ(flag == c.pending, s.*flag);
    }
    EXPECT_FALSE(s.levelPending);
}

INSTANTIATE_TEST_SUITE_P(
    Keypad, EveryControlSendsItsKey,
    ::testing::Values(KeypadCase{ids::menuButton, 0x10, nullptr},
                      KeypadCase{ids::downButton, 0x01, nullptr},
                      KeypadCase{ids::upButton, 0x02, nullptr},
                      KeypadCase{ids::dynamicCheck, 0x52, &SessionState::dynamicPending},
                      KeypadCase{ids::quietCheck, 0x43, &SessionState::quietPending},
                      KeypadCase{ids::warningsCheck, 0x10, &SessionState::warningsPending},
                      KeypadCase{ids::resetEngineDm2Check, 0x51, &SessionState::resetDm2Pending}));

TEST(KeypadClick, warningsSendsMenusLineButOnlyWarningsHoldsItsBox) {
    ConnectedRig rig;
    rig.click(ids::menuButton);
    const std::string menuLine = rig.serial.writtenText();
    EXPECT_FALSE(rig.anyModePending());

    rig.serial.written.clear();
    rig.click(ids::warningsCheck);
    EXPECT_EQ(menuLine, rig.serial.writtenText());
    EXPECT_TRUE(rig.session().warningsPending);
}

TEST(KeypadClick, aCheckBoxSendsTheSameKeyWhetherCheckedOrUnchecked) {
    ConnectedRig rig;
    rig.view.panel.dynamicOn = true;
    rig.click(ids::dynamicCheck);
    rig.view.panel.dynamicOn = false;
    rig.click(ids::dynamicCheck);
    EXPECT_EQ(keyLine(0x52) + keyLine(0x52), rig.serial.writtenText());
}

TEST(KeypadClick, takesTheClickedStateIntoThePanelRecordBeforeSending) {
    ConnectedRig rig;
    rig.view.panel.resetEngineDm2On = true;
    const int readsBefore = rig.view.readPanelCount;
    rig.click(ids::resetEngineDm2Check);
    EXPECT_GT(rig.view.readPanelCount, readsBefore);
    EXPECT_TRUE(rig.core.dashboard().resetEngineDm2On);
}

TEST(KeypadClick, whileThePortIsClosedHoldsTheBoxButSendsNothingAndSaysNothing) {
    coretest::CoreRig rig;
    rig.core.startSession();  // disconnected, port closed
    rig.view.panel.quietOn = true;
    rig.core.remoteControl().onControlClicked(ids::quietCheck);
    EXPECT_TRUE(rig.core.session().quietPending);
    EXPECT_TRUE(rig.core.dashboard().quietOn);
    EXPECT_TRUE(rig.serial.written.empty());
    EXPECT_TRUE(rig.view.messages.empty());
}

TEST(KeypadClick, idsOutsideTheKeypadAreIgnored) {
    ConnectedRig rig;
    for (int id : {ids::connectButton, ids::levelSlider, ids::engineConfigurationButton, 0}) {
        rig.click(id);
    }
    EXPECT_TRUE(rig.serial.written.empty());
    EXPECT_FALSE(rig.anyModePending());
    EXPECT_FALSE(rig.session().levelPending);
}

TEST(ModeCycle, aPendingBoxKeepsItsClickWhileTheOthersFollowUntilAckKiReleasesAll) {
    ConnectedRig rig;
    rig.view.panel.dynamicOn = true;
    rig.click(ids::dynamicCheck);

    // Flags 0x0D: Quiet bit set (Quiet off), Dynamic clear, Warnings and Reset DM2 set.
    rig.serial.receive(simulationStatus(20, 0x0D));
    EXPECT_TRUE(rig.view.panel.dynamicOn);  // held as clicked
    EXPECT_FALSE(rig.view.panel.quietOn);
    EXPECT_TRUE(rig.view.panel.warningsOn);
    EXPECT_TRUE(rig.view.panel.resetEngineDm2On);

    rig.serial.receive(simulationStatus(20, 0x00));
    EXPECT_TRUE(rig.view.panel.dynamicOn);
    EXPECT_TRUE(rig.view.panel.quietOn);  // Quiet's bit is inverted: clear means on
    EXPECT_FALSE(rig.view.panel.warningsOn);

    rig.serial.receive("ACK %\r\n");  // the level's acknowledgement does not release it
    rig.serial.receive(simulationStatus(20, 0x00));
    EXPECT_TRUE(rig.view.panel.dynamicOn);

    rig.serial.receive("ACK KI\r\n");
    rig.serial.receive(simulationStatus(20, 0x00));
    EXPECT_FALSE(rig.view.panel.dynamicOn);
}

TEST(ModeCycle, oneAckKiReleasesEveryHeldBoxEvenIfOnlyOneWasClicked) {
    ConnectedRig rig;
    rig.view.panel.quietOn = true;
    rig.view.panel.warningsOn = true;
    rig.click(ids::quietCheck);
    rig.click(ids::warningsCheck);
    rig.serial.receive("ACK KI\r\n");
    EXPECT_FALSE(rig.anyModePending());

    rig.serial.receive(simulationStatus(20, 0x01));
    EXPECT_FALSE(rig.view.panel.quietOn);
    EXPECT_FALSE(rig.view.panel.warningsOn);
}

TEST(ModeCycle, anUnacknowledgedClickKeepsTheBoxHeldAcrossAReconnect) {
    ConnectedRig rig;
    rig.view.panel.dynamicOn = true;
    rig.click(ids::dynamicCheck);
    rig.core.disconnect();
    rig.core.connect();
    EXPECT_TRUE(rig.session().dynamicPending);
}

}  // namespace
