// The level slider: taking hold, letting go, the level sent, and the thumb and displays held
// still until the simulator acknowledges.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "core_rig.h"
#include "terminal/link/RemoteControl.h"

using namespace terminal;
using namespace linetest;

namespace {

std::string levelLine(unsigned level) {
    return checksummed("AT %" + reversedPair(level));
}

constexpr int engineRpmDisplay = 1013;

struct ConnectedRig : coretest::CoreRig {
    ConnectedRig() {
        startConnected();
        serial.written.clear();
    }
    RemoteControl& remote() { return core.remoteControl(); }
};

TEST(LevelFromPosition, truncatesTowardZeroAndKeepsTheLowEightBits) {
    EXPECT_EQ(37, levelFromPosition(37.9));
    EXPECT_EQ(0, levelFromPosition(0.99));
    EXPECT_EQ(100, levelFromPosition(100.0));
    EXPECT_EQ(255, levelFromPosition(255.5));
    EXPECT_EQ(0, levelFromPosition(256.0));
    EXPECT_EQ(44, levelFromPosition(300.2));
    EXPECT_EQ(0, levelFromPosition(-0.7));
    EXPECT_EQ(255, levelFromPosition(-1.0));
}

TEST(LevelFromPosition, positionsNoIntegerCanHoldGiveZeroOrTheirLowBits) {
    EXPECT_EQ(0, levelFromPosition(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ(0, levelFromPosition(std::numeric_limits<double>::infinity()));
    EXPECT_EQ(0, levelFromPosition(-std::numeric_limits<double>::infinity()));
    EXPECT_EQ(0, levelFromPosition(std::ldexp(1.0, 70)));  // a multiple of 256
}

TEST(LevelChosen, sendsThePositionTruncated) {
    ConnectedRig rig;
    rig.view.slider = 37.9;
    rig.remote().onLevelChosen();
    EXPECT_EQ(levelLine(37), rig.serial.writtenText());
    EXPECT_TRUE(rig.core.session().levelPending);
}

TEST(LevelChosen, takesThePanelSoTheCheckBoxesAreCurrent) {
    ConnectedRig rig;
    rig.view.panel.warningsOn = true;
    rig.remote().onLevelChosen();
    EXPECT_TRUE(rig.core.dashboard().warningsOn);
}

TEST(LevelChosen, sendsAgainWhenTheThumbDidNotMove) {
    ConnectedRig rig;
    rig.view.slider = 60;
    rig.remote().onLevelGrab();
    rig.remote().onLevelChosen();
    rig.remote().onLevelGrab();
    rig.remote().onLevelChosen();
    EXPECT_EQ(levelLine(60) + levelLine(60), rig.serial.writtenText());
}

TEST(LevelChosen, whileThePortIsClosedHoldsTheSliderButSendsNothing) {
    coretest::CoreRig rig;
    rig.core.startSession();
    rig.view.slider = 50;
    rig.core.remoteControl().onLevelChosen();
    EXPECT_TRUE(rig.core.session().levelPending);
    EXPECT_TRUE(rig.serial.written.empty());
    EXPECT_TRUE(rig.view.messages.empty());
}

TEST(LevelGrab, holdsTheSliderAndSendsNothing) {
    ConnectedRig rig;
    rig.remote().onLevelGrab();
    EXPECT_TRUE(rig.core.session().levelPending);
    EXPECT_TRUE(rig.serial.written.empty());
}

TEST(LevelCycle, aHeldSliderKeepsThumbAndDisplaysUntilAckPercentThenFollows) {
    ConnectedRig rig;
    rig.serial.receive(simulationStatus(10, 0x00));
    const double rpmAtTen = rig.view.displays.at(engineRpmDisplay);

    rig.view.slider = 30;  // the operator's drag
    rig.remote().onLevelGrab();
    rig.remote().onLevelChosen();
    const auto writesBefore = rig.view.sliderWrites.size();

    rig.serial.receive(simulationStatus(60, 0x01));
    EXPECT_EQ(writesBefore, rig.view.sliderWrites.size());
    EXPECT_EQ(30, rig.view.slider);
    EXPECT_EQ(rpmAtTen, rig.view.displays.at(engineRpmDisplay));
    EXPECT_FALSE(rig.view.panel.quietOn);  // the mode flags still apply

    rig.serial.receive("ACK KI\r\n");  // the keypad's acknowledgement does not release it
    rig.serial.receive(simulationStatus(60, 0x01));
    EXPECT_EQ(30, rig.view.slider);

    rig.serial.receive("ACK %\r\n");
    EXPECT_FALSE(rig.core.session().levelPending);
    rig.serial.receive(simulationStatus(60, 0x01));
    EXPECT_EQ(60, rig.view.slider);
    EXPECT_NE(rpmAtTen, rig.view.displays.at(engineRpmDisplay));
}

}  // namespace
