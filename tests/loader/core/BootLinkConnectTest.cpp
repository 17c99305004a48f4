// Opening the port, the reset request, and waking the boot loader until it identifies itself.

#include "BootLinkFixture.h"
#include "loader/core/LoaderIds.h"

using loader::BootLink;
using testing_support::BootLinkTest;
namespace ids = loader::ids;

TEST(BootLinkPort, OnlyComOneToThirtySelectAPortAnythingElseIsComOne) {
    EXPECT_EQ(BootLink::portNumber("COM1"), 1);
    EXPECT_EQ(BootLink::portNumber("COM30"), 30);
    EXPECT_EQ(BootLink::portNumber("COM31"), 1);
    EXPECT_EQ(BootLink::portNumber("com3"), 1);
    EXPECT_EQ(BootLink::portNumber("3"), 1);
    EXPECT_EQ(BootLink::portNumber("COM03"), 1);
    EXPECT_EQ(BootLink::portNumber("COM7 "), 1);
}

TEST_F(BootLinkTest, OpeningClosesFirstSetsTheLineAndDropsStaleInput) {
    serial.open = true;
    serial.pending = bytes({0x77, 'V'});
    link.openPort("COM30", "57600");
    EXPECT_EQ(serial.calls, (std::vector<std::string>{"PortOpen=0", "CommPort=30", "PortOpen=1",
                                                      "Settings=57600,n,8,1", "InputMode=1",
                                                      "RThreshold=1", "InputLen=0", "Input"}));
    EXPECT_TRUE(serial.pending.empty());
}

TEST_F(BootLinkTest, APortThatWillNotCloseIsReportedAndTheSettingsStillApplied) {
    serial.open = true;
    serial.stuckOpen = true;
    link.openPort("COM2", "9600");
    EXPECT_EQ(observer.messages, std::vector<std::string>{"Cannot Open Serial Port!"});
    EXPECT_EQ(serial.settings, "9600,n,8,1");
}

TEST_F(BootLinkTest, AnOpenFailureEndsConnectBeforeTheTimerStarts) {
    serial.openError = "COM4 is not mapped to a device";
    EXPECT_THROW(link.connect("COM4", "115200"), platform::SerialError);
    EXPECT_TRUE(link.connecting());
    EXPECT_FALSE(observer.timerRunning);
    EXPECT_TRUE(serial.written.empty());
}

TEST_F(BootLinkTest, ResetRequestGoesOutOneCharacterAtATimePacedThenThePortCloses) {
    link.resetTarget("COM1", "115200");
    EXPECT_EQ(serial.writtenText(), "AT BTLD RST\r\n");
    EXPECT_EQ(serial.writes.size(), 13u);
    for (const auto& w : serial.writes) {
        EXPECT_EQ(w.size(), 1u);
    }
    // At least 2 ms after each of the 13 characters.
    EXPECT_GE(clock.now, 26u);
    EXPECT_FALSE(serial.open);
}

TEST_F(BootLinkTest, StepwiseResetSendsOneCharacterPerStepWithoutPausingAndClosesAfterTheLf) {
    link.beginReset("COM1", "115200");
    EXPECT_TRUE(serial.open);
    int steps = 1;
    while (!link.resetStep()) {
        ASSERT_EQ(serial.writes.size(), static_cast<std::size_t>(steps)) << "one per step";
        ASSERT_TRUE(serial.open);
        ASSERT_LT(++steps, 20);
    }
    EXPECT_EQ(steps, 13);
    EXPECT_EQ(serial.writtenText(), "AT BTLD RST\r\n");
    EXPECT_TRUE(clock.pauses.empty()) << "the caller paces the steps";
    EXPECT_FALSE(serial.open);
}

TEST_F(BootLinkTest, SendTextStopsAfterTheLineEnd) {
    serial.open = true;
    link.sendText("AB\nCD\n");
    EXPECT_EQ(serial.writtenText(), "AB\n");
}

TEST_F(BootLinkTest, SendTextPacingEndsWhenTheMillisecondCounterWraps) {
    serial.open = true;
    clock.now = 0xFFFFFFFFu;
    link.sendText("A\n");
    EXPECT_EQ(serial.writtenText(), "A\n");
    EXPECT_LE(clock.pauses.size(), 3u);
}

TEST_F(BootLinkTest, ConnectDarkensLampsWakesTheTargetAndStartsTheTimer) {
    link.connect("COM1", "115200");
    EXPECT_EQ(serial.written, bytes({0x77}));
    EXPECT_EQ(observer.calls,
              (std::vector<std::string>{"lamp 1000 off", "lamp 1010 off", "startTimer"}));
    EXPECT_TRUE(link.connecting());
    EXPECT_GE(observer.refreshCount, 1);
}

TEST_F(BootLinkTest, WakeByteRepeatsEveryTickWhileLamp1010Blinks) {
    link.connect("COM1", "115200");
    for (int i = 1; i <= 4; ++i) {
        link.timerTick();
        EXPECT_EQ(serial.written.size(), static_cast<std::size_t>(i + 1));
        EXPECT_EQ(observer.lamps[ids::waitingLamp], i % 2 == 1);
    }
}

TEST_F(BootLinkTest, EchoAloneThenTheLineInALaterBatchIdentifies) {
    link.connect("COM1", "115200");
    serial.receive(bytes({0x77}));
    EXPECT_TRUE(link.echoSeen());
    serial.receive(std::string("Vell-3.2\r\n"));
    EXPECT_TRUE(link.identified());
    EXPECT_FALSE(link.connecting());
    EXPECT_EQ(link.identLine(), "Vell-3.2\r");
    EXPECT_FALSE(serial.open) << "the port stays closed until Program";
    EXPECT_EQ(observer.identifiedCount, 1);

    link.timerTick();
    EXPECT_TRUE(observer.lamps[ids::linkLamp]);
    EXPECT_FALSE(observer.lamps[ids::waitingLamp]);
    EXPECT_FALSE(observer.timerRunning);
}

TEST_F(BootLinkTest, EchoAndLineSplitAnywhereOverBatchesStillIdentify) {
    link.connect("COM1", "115200");
    serial.receive(wakeThen("Ve"));
    EXPECT_TRUE(link.echoSeen());
    serial.receive(std::string("ll-1"));
    serial.receive(std::string(".0"));
    EXPECT_FALSE(link.identified());
    serial.receive(std::string("\r\n"));
    EXPECT_TRUE(link.identified());
    EXPECT_EQ(link.identLine(), "Vell-1.0\r");
}

TEST_F(BootLinkTest, AWholeLineInTheEchoBatchIdentifiesAtOnceAndDropsWhatFollows) {
    link.connect("COM1", "115200");
    serial.receive(wakeThen("Vell-x\nVell-y\n"));
    EXPECT_TRUE(link.identified());
    EXPECT_EQ(link.identLine(), "Vell-x");
    EXPECT_EQ(observer.identifiedCount, 1);
}

TEST_F(BootLinkTest, APartialPrefixIsKeptUntilAWrongCharacterEmptiesIt) {
    link.connect("COM1", "115200");
    serial.receive(wakeThen("Vel"));
    EXPECT_TRUE(link.echoSeen());
    EXPECT_EQ(link.identLine(), "Vel");
    serial.receive(std::string("x"));
    EXPECT_EQ(link.identLine(), "");
    EXPECT_TRUE(link.echoSeen());
}

TEST_F(BootLinkTest, AnEchoFollowedByTextThatIsNotThePrefixDoesNotCount) {
    link.connect("COM1", "115200");
    serial.receive(wakeThen("Vex"));
    EXPECT_FALSE(link.echoSeen());
    EXPECT_EQ(link.identLine(), "");
}

TEST_F(BootLinkTest, DoubledWakeEchoDoesNotSetEchoSeenYetTheLineIdentifiesAndTicksStayQuiet) {
    link.connect("COM1", "115200");
    serial.receive(wakeThen("wVell-9\n"));
    EXPECT_FALSE(link.echoSeen());
    EXPECT_TRUE(link.identified());
    EXPECT_EQ(link.identLine(), "Vell-9");
    serial.written.clear();
    // The port is closed now: the tick must light the link lamp, not wake a closed port.
    EXPECT_NO_THROW(link.timerTick());
    EXPECT_TRUE(serial.written.empty());
    EXPECT_TRUE(observer.lamps[ids::linkLamp]);
    EXPECT_FALSE(observer.timerRunning);
}

TEST_F(BootLinkTest, WhileWakingABatchNotStartingWithTheWakeByteIsDiscarded) {
    link.connect("COM1", "115200");
    serial.receive(std::string("Vell-1\n"));
    EXPECT_FALSE(link.identified());
    EXPECT_FALSE(link.echoSeen());
}

TEST_F(BootLinkTest, ALineWithoutThePrefixResumesWakingAtTheNextTick) {
    link.connect("COM1", "115200");
    serial.receive(bytes({0x77}));
    serial.receive(std::string("Vel\n"));
    EXPECT_FALSE(link.echoSeen());
    serial.written.clear();
    link.timerTick();
    EXPECT_EQ(serial.written, bytes({0x77}));
}

TEST_F(BootLinkTest, AnEchoWithoutALineWaitsThreeTicksThenWakesAgain) {
    link.connect("COM1", "115200");
    serial.receive(bytes({0x77}));
    serial.written.clear();
    link.timerTick();
    link.timerTick();
    EXPECT_TRUE(serial.written.empty()) << "ticks 1 and 2 only blink";
    EXPECT_TRUE(link.echoSeen());
    link.timerTick();
    EXPECT_FALSE(link.echoSeen());
    EXPECT_TRUE(serial.written.empty());
    link.timerTick();
    EXPECT_EQ(serial.written, bytes({0x77}));
}

TEST_F(BootLinkTest, WaitTicksCarryOverIntoTheNextConnect) {
    link.connect("COM1", "115200");
    serial.receive(bytes({0x77}));
    link.timerTick();  // one waiting tick, then the line
    serial.receive(std::string("Vell-1\n"));
    ASSERT_TRUE(link.identified());
    EXPECT_EQ(link.waitTicks(), 1);

    link.connect("COM1", "115200");
    serial.receive(bytes({0x77}));
    link.timerTick();
    EXPECT_TRUE(link.echoSeen());
    link.timerTick();
    EXPECT_FALSE(link.echoSeen()) << "only two ticks were left of the three";
}

TEST_F(BootLinkTest, AnEndlessLineIsCappedAndDoesNotIdentify) {
    link.connect("COM1", "115200");
    serial.receive(wakeThen("Vell-" + std::string(100000, 'a')));
    EXPECT_LE(link.identLine().size(), BootLink::maxIdentLine);
    serial.receive(std::string("\n"));
    EXPECT_FALSE(link.identified());
    serial.written.clear();
    link.timerTick();
    EXPECT_EQ(serial.written, bytes({0x77})) << "waking resumes";
}

TEST_F(BootLinkTest, BytesWhileNeitherConnectingNorProgrammingAreIgnored) {
    serial.receive(wakeThen("Vell-1\n"));
    EXPECT_FALSE(link.identified());
    EXPECT_EQ(observer.refreshCount, 1);
}

TEST_F(BootLinkTest, APortLostWhileWakingIsReportedOnceAndConnectCanStartOver) {
    link.connect("COM5", "115200");
    serial.open = false;
    serial.event = platform::comEvPortLost;
    serial.receive(std::vector<std::uint8_t>{});
    serial.receive(std::vector<std::uint8_t>{});
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_NE(observer.messages[0].find("COM5"), std::string::npos);
    EXPECT_NE(observer.messages[0].find("lost"), std::string::npos);
    EXPECT_FALSE(observer.timerRunning);
    EXPECT_FALSE(link.connecting());
    EXPECT_EQ(observer.finishedCount, 1);
    EXPECT_FALSE(observer.lastProgrammed);

    serial.event = platform::comEvReceive;
    serial.written.clear();
    link.connect("COM5", "115200");
    EXPECT_EQ(serial.written, bytes({0x77}));
}

TEST_F(BootLinkTest, AWakeWriteToAPortThatHasGoneEndsTheAttemptWithOneMessage) {
    link.connect("COM1", "115200");
    serial.open = false;
    EXPECT_NO_THROW(link.timerTick());
    EXPECT_FALSE(observer.timerRunning) << "not one message every 100 ms";
    EXPECT_FALSE(link.connecting());
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_EQ(observer.messages[0], "Output while the port is closed");
    EXPECT_EQ(observer.finishedCount, 1);

    serial.event = platform::comEvPortLost;
    serial.receive(std::vector<std::uint8_t>{});
    EXPECT_EQ(observer.messages.size(), 1u) << "the control's late loss event adds nothing";
}
