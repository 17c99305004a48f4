// The serial control's receive event through the window into the dispatch: every byte is
// taken once, in order, however the stream is cut into events.

#include <gtest/gtest.h>

#include <random>

#include "core_rig.h"

using namespace coretest;
using namespace linetest;

namespace {

// A stream mixing every kind of line, noise and a line that lost its end.
std::string mixedStream() {
    return "ACK %\r\n" + simulationStatus(33, 0x02) + "noise" + engineClock(13, 45) + "ACK KI\r\n" +
           addressClaim(0x15) + "ACK %ACK KI\r\n" + simulationStatus(77, 0x0D) + "\r\n" +
           "ack cbrs=04\r\n" + engineClock(0, 5) + simulationStatus(90, 0x00) + "BRC %S1" +
           addressClaim(0x01);
}

struct Outcome {
    terminal::DashboardState panel;
    std::vector<double> sliderWrites;
    bool recordSeen;
};

Outcome deliverInPieces(const std::string& stream, const std::vector<std::size_t>& cuts) {
    CoreRig rig;
    rig.startConnected();
    rig.view.sliderWrites.clear();
    std::size_t from = 0;
    for (std::size_t cut : cuts) {
        rig.serial.receive(stream.substr(from, cut - from));
        from = cut;
    }
    rig.serial.receive(stream.substr(from));
    return {rig.view.panel, rig.view.sliderWrites, rig.core.session().recordSeen};
}

void expectSame(const Outcome& expected, const Outcome& actual, const std::string& where) {
    EXPECT_EQ(expected.sliderWrites, actual.sliderWrites) << where;
    EXPECT_EQ(expected.panel.engineClockText, actual.panel.engineClockText) << where;
    EXPECT_EQ(expected.panel.engineClaimText, actual.panel.engineClaimText) << where;
    EXPECT_EQ(expected.panel.absClaimText, actual.panel.absClaimText) << where;
    EXPECT_EQ(expected.panel.canBaudText, actual.panel.canBaudText) << where;
    EXPECT_EQ(expected.panel.quietOn, actual.panel.quietOn) << where;
    EXPECT_EQ(expected.panel.dynamicOn, actual.panel.dynamicOn) << where;
    EXPECT_EQ(expected.panel.resetEngineDm2On, actual.panel.resetEngineDm2On) << where;
}

}  // namespace

TEST(ReceivePath, AnyCutOfTheStreamGivesTheSameResult) {
    const std::string stream = mixedStream();
    const Outcome whole = deliverInPieces(stream, {});
    // The stream as sent really changes things, so the comparison means something.
    EXPECT_EQ((std::vector<double>{33, 77, 90}), whole.sliderWrites);
    EXPECT_EQ("0:5", whole.panel.engineClockText);
    EXPECT_EQ("Address claimed. Normal.", whole.panel.engineClaimText);
    EXPECT_EQ("1M bps", whole.panel.canBaudText);

    for (std::size_t cut = 1; cut < stream.size(); ++cut) {
        expectSame(whole, deliverInPieces(stream, {cut}), "cut at " + std::to_string(cut));
    }
    std::vector<std::size_t> everyByte;
    for (std::size_t cut = 1; cut < stream.size(); ++cut) {
        everyByte.push_back(cut);
    }
    expectSame(whole, deliverInPieces(stream, everyByte), "one byte per event");
    std::mt19937 random(1939);
    for (int round = 0; round < 50; ++round) {
        std::vector<std::size_t> cuts;
        for (std::size_t at = 1; at < stream.size(); ++at) {
            if (random() % 7 == 0) {
                cuts.push_back(at);
            }
        }
        expectSame(whole, deliverInPieces(stream, cuts), "round " + std::to_string(round));
    }
}

TEST(ReceivePath, ABatchFarLongerThan2048BytesIsProcessedWholeAndInOrder) {
    CoreRig rig;
    rig.startConnected();
    rig.view.sliderWrites.clear();
    std::string batch;
    std::vector<double> expected;
    for (int i = 0; i < 600; ++i) {
        batch += simulationStatus(static_cast<unsigned>(i % 101), 0x01);
        expected.push_back(i % 101);
    }
    ASSERT_GT(batch.size(), 8000u);
    rig.serial.receive(batch);
    EXPECT_EQ(expected, rig.view.sliderWrites);
    EXPECT_EQ(0u, rig.serial.pending.size());
}

TEST(ReceivePath, BytesArrivingWhileThePortIsClosedAreReadAndDropped) {
    CoreRig rig;
    rig.core.startSession();
    rig.serial.calls.clear();
    rig.serial.receive("ACK REVD\r\n" + std::string("ACK CB"));
    EXPECT_EQ(std::vector<std::string>{"Input"}, rig.serial.calls);
    EXPECT_TRUE(rig.serial.pending.empty());
    EXPECT_FALSE(rig.core.session().recordSeen);
    EXPECT_EQ('A', rig.core.session().revisionLetter);
    // The dropped half line does not join what comes after the port opens.
    rig.tick();
    rig.serial.receive("RS=03\r\n");
    EXPECT_EQ("Not Found Yet!", rig.view.panel.canBaudText);
    rig.serial.receive("ACK CBRS=01\r\n");
    EXPECT_EQ("62.5K bps", rig.view.panel.canBaudText);
}

TEST(ReceivePath, OnlyTheDataReceivedEventReadsInput) {
    CoreRig rig;
    rig.start();
    rig.serial.event = 3;
    rig.serial.calls.clear();
    rig.serial.receive("ACK KI\r\n");
    EXPECT_TRUE(rig.serial.calls.empty());
    EXPECT_FALSE(rig.core.session().recordSeen);
}

TEST(ReceivePath, LowerCaseLinesAreAcceptedAndChecksummedUpperCased) {
    CoreRig rig;
    rig.startConnected();
    rig.core.sessionState().quietPending = true;
    rig.serial.receive("ack ki\r\n");
    EXPECT_FALSE(rig.core.session().quietPending);
    // "BRC CLKD0D254" in lower case: the checksum holds only over the upper-cased line.
    rig.serial.receive("brc clkd0d254\r\n");
    EXPECT_EQ("13:45", rig.view.panel.engineClockText);
}

// Nothing is taken from the control while the box is open, so nothing piles up in the
// terminal however long it stays open; the control's own buffer is bounded.
TEST(ReceivePath, BytesArrivingDuringAMessageBoxWaitInTheControlAndFollowTheRest) {
    CoreRig rig;
    rig.start();
    // Revision 'A': the gate stays closed and the firmware message box opens mid-batch.
    std::size_t waitingWhileOpen = 0;
    rig.view.duringMessage = [&] {
        if (waitingWhileOpen == 0) {
            for (int event = 0; event < 100; ++event) {
                rig.serial.receive(std::string(1000, 'x'));
            }
            rig.serial.receive("\r\nACK CBRS=05\r\n");
            waitingWhileOpen = rig.serial.pending.size();
        }
    };
    rig.serial.receive(identification(1, 0x01) + "ACK CBRS=03\r\n");
    EXPECT_EQ(100015u, waitingWhileOpen);
    EXPECT_EQ("invalid", rig.view.panel.canBaudText);  // read after the line before it
    EXPECT_TRUE(rig.serial.pending.empty());
}
