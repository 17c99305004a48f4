// The serial control against real pseudo-terminals reached through the port map.
#include "ComPortFolder.h"
#include "PtyPair.h"

#include "platform/serial/DeviceAccess.h"
#include "platform/serial/qt/CMSComm.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

using platform::SerialError;
using testing_support::ComPortFolder;
using testing_support::PtyPair;
using testing_support::runEventsFor;
using testing_support::waitUntil;

namespace {

// The text of the SerialError that `action` throws, or "" when it throws none.
template <typename Action>
std::string serialErrorOf(Action action) {
    try {
        action();
    } catch (const SerialError& error) {
        return error.what();
    }
    return {};
}

class CMSCommOnPty : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.valid());
        ports.link("com7", pty.slavePath());
    }

    void openCom7() {
        comm.setCommPort(7);
        comm.setPortOpen(true);
        comm.setSettings("115200,n,8,1");
        comm.setInputMode(1);
        comm.setRThreshold(1);
        comm.setInputLen(0);
    }

    ComPortFolder ports;
    PtyPair pty;
    platform::CMSComm comm;
};

TEST_F(CMSCommOnPty, OpensThePtyThatItsComNameIsLinkedTo) {
    openCom7();
    EXPECT_TRUE(comm.getPortOpen());
    EXPECT_EQ(comm.devicePath().toStdString(),
              std::filesystem::canonical(pty.slavePath()).string());
    EXPECT_EQ(comm.getSettings(), "115200,n,8,1");

    comm.setPortOpen(false);
    EXPECT_FALSE(comm.getPortOpen());
    EXPECT_TRUE(comm.devicePath().isEmpty());
    // Closing a closed port is harmless, and the port opens again.
    comm.setPortOpen(false);
    comm.setPortOpen(true);
    EXPECT_TRUE(comm.getPortOpen());
}

TEST_F(CMSCommOnPty, SingleByteWritesArriveInOrder) {
    openCom7();
    std::vector<std::uint8_t> expected;
    for (int value = 0; value < 256; ++value) {
        expected.push_back(static_cast<std::uint8_t>(value));
        comm.setOutput({static_cast<std::uint8_t>(value)});
    }
    EXPECT_EQ(pty.read(expected.size()), expected);
}

TEST_F(CMSCommOnPty, ArrivingBytesRaiseOnCommOnTheWindowThreadAndInputTakesThemAll) {
    openCom7();
    std::vector<std::uint8_t> received;
    int events = 0;
    bool allOnWindowThread = true;
    bool allReceiveEvents = true;
    comm.setOnComm([&] {
        ++events;
        allOnWindowThread &= QThread::currentThread() == QCoreApplication::instance()->thread();
        allReceiveEvents &= comm.getCommEvent() == platform::comEvReceive;
        std::vector<std::uint8_t> input = comm.getInput();
        received.insert(received.end(), input.begin(), input.end());
    });

    std::vector<std::uint8_t> sent;
    for (int i = 0; i < 5000; ++i) {
        sent.push_back(static_cast<std::uint8_t>((i * 7 + i / 256) & 0xFF));
    }
    ASSERT_TRUE(pty.writeAll(sent));
    ASSERT_TRUE(waitUntil([&] { return received.size() >= sent.size(); }));

    EXPECT_EQ(received, sent);
    EXPECT_GE(events, 1);
    EXPECT_TRUE(allOnWindowThread);
    EXPECT_TRUE(allReceiveEvents);
    EXPECT_TRUE(comm.getInput().empty());
}

// With a receive pause, bytes that arrive during the pause wait in the driver and come in one
// event when it ends: all of them, in order.
TEST_F(CMSCommOnPty, BytesArrivingDuringAReceivePauseComeTogetherAfterIt) {
    comm.setReceivePause(1000);
    openCom7();
    std::string received;
    int events = 0;
    comm.setOnComm([&] {
        ++events;
        for (const std::uint8_t byte : comm.getInput()) {
            received += static_cast<char>(byte);
        }
    });
    ASSERT_EQ(::write(pty.masterFd(), "A", 1), 1);
    ASSERT_TRUE(waitUntil([&] { return events == 1; }));
    for (const char* piece : {"B", "CD", "E\r\n"}) {
        ASSERT_EQ(::write(pty.masterFd(), piece, std::strlen(piece)),
                  static_cast<ssize_t>(std::strlen(piece)));
        runEventsFor(20);
    }
    EXPECT_EQ(received, "A");
    ASSERT_TRUE(waitUntil([&] { return received.size() >= 6; }));
    EXPECT_EQ(received, "ABCDE\r\n");
    EXPECT_EQ(events, 2);

    // A far end that goes away during a pause is still heard, once the pause is over.
    int losses = 0;
    comm.setOnComm([&] { losses += comm.getCommEvent() == platform::comEvPortLost ? 1 : 0; });
    ASSERT_EQ(::write(pty.masterFd(), "F", 1), 1);
    pty.closeMaster();
    EXPECT_TRUE(waitUntil([&] { return losses == 1; }));
    EXPECT_FALSE(comm.getPortOpen());
}

TEST_F(CMSCommOnPty, WaitingInputIsTakenOnRequestWithoutTheEventLoop) {
    openCom7();
    std::string received;
    comm.setOnComm([&] {
        for (const std::uint8_t byte : comm.getInput()) {
            received += static_cast<char>(byte);
        }
    });
    ASSERT_EQ(::write(pty.masterFd(), "BRC\r\n", 5), 5);
    // No event loop turns here: only the request can hear the bytes.
    for (int tries = 0; received.size() < 5 && tries < 2000; ++tries) {
        comm.takeWaitingInput();
        QThread::msleep(1);
    }
    EXPECT_EQ(received, "BRC\r\n");
    // Asked with nothing waiting, the port stays open and the event loop goes on hearing it.
    comm.takeWaitingInput();
    EXPECT_TRUE(comm.getPortOpen());
    ASSERT_EQ(::write(pty.masterFd(), "ACK\r\n", 5), 5);
    EXPECT_TRUE(waitUntil([&] { return received.size() >= 10; }));
    EXPECT_EQ(received, "BRC\r\nACK\r\n");
}

TEST_F(CMSCommOnPty, InputLenLimitsOneReadAndLeavesTheRestWaiting) {
    openCom7();
    comm.setInputLen(3);
    ASSERT_TRUE(pty.writeAll({'a', 'b', 'c', 'd', 'e'}));
    std::vector<std::uint8_t> first;
    ASSERT_TRUE(waitUntil([&] {
        if (first.empty()) {
            first = comm.getInput();
        }
        return !first.empty();
    }));
    // The pty may hand the bytes over in pieces; whatever came, one read gives at most 3.
    EXPECT_LE(first.size(), 3u);
    comm.setInputLen(0);
    std::vector<std::uint8_t> all = first;
    ASSERT_TRUE(waitUntil([&] {
        std::vector<std::uint8_t> more = comm.getInput();
        all.insert(all.end(), more.begin(), more.end());
        return all.size() >= 5;
    }));
    EXPECT_EQ(all, (std::vector<std::uint8_t>{'a', 'b', 'c', 'd', 'e'}));
}

TEST_F(CMSCommOnPty, ClosingTheFarEndReportsTheLossOnceAndClosesThePort) {
    openCom7();
    std::vector<int> events;
    comm.setOnComm([&] { events.push_back(comm.getCommEvent()); });

    pty.closeMaster();
    ASSERT_TRUE(waitUntil([&] { return !events.empty(); }));
    runEventsFor(300);

    EXPECT_EQ(events, std::vector<int>{platform::comEvPortLost});
    EXPECT_FALSE(comm.getPortOpen());
    EXPECT_TRUE(comm.getInput().empty());
    std::string text = serialErrorOf([&] { comm.setOutput({'x'}); });
    EXPECT_NE(text.find("port is not open"), std::string::npos) << text;
}

TEST_F(CMSCommOnPty, SendingToAVanishedDeviceFailsAndReportsTheLossOnce) {
    openCom7();
    std::vector<int> events;
    comm.setOnComm([&] { events.push_back(comm.getCommEvent()); });

    pty.closeMaster();
    // No event loop ran: the send itself is the first to meet the dead device.
    std::string text = serialErrorOf([&] { comm.setOutput({'x'}); });
    EXPECT_NE(text.find("COM7"), std::string::npos) << text;
    EXPECT_FALSE(comm.getPortOpen());
    // The event comes afterwards from the event loop, not from inside the send.
    EXPECT_TRUE(events.empty());

    runEventsFor(300);
    EXPECT_EQ(events, std::vector<int>{platform::comEvPortLost});
}

TEST_F(CMSCommOnPty, ALossNoticedLateIsDroppedWhenThePortWasReopenedMeanwhile) {
    PtyPair second;
    ASSERT_TRUE(second.valid());
    ports.link("com8", second.slavePath());
    openCom7();
    std::vector<int> events;
    comm.setOnComm([&] { events.push_back(comm.getCommEvent()); });

    pty.closeMaster();
    EXPECT_FALSE(serialErrorOf([&] { comm.setOutput({'x'}); }).empty());
    // The program moves to another port before the event loop runs.
    comm.setCommPort(8);
    comm.setPortOpen(true);
    runEventsFor(300);

    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(comm.getPortOpen());
    comm.setOutput({'y'});
    EXPECT_EQ(second.read(1), std::vector<std::uint8_t>{'y'});
}

// A link to a stable name (as /dev/serial/by-id/... leads to ttyUSBn) is what a reopen after a
// loss must follow: after a replug the same name leads to the adapter's new device.
TEST_F(CMSCommOnPty, TheLinkAnOpenWentThroughIsKeptAndLeadsToTheRepluggedDevice) {
    PtyPair replugged;
    ASSERT_TRUE(replugged.valid());
    const std::filesystem::path stableName = ports.path() / "usb-adapter-if00";
    std::filesystem::create_symlink(pty.slavePath(), stableName);
    ports.link("com9", stableName);
    comm.setCommPort(9);
    comm.setPortOpen(true);
    const std::string link = (ports.path() / "com9").string();
    EXPECT_EQ(comm.openedThrough(), link);
    comm.setPortOpen(false);
    EXPECT_EQ(comm.openedThrough(), link);  // kept once closed

    std::filesystem::remove(stableName);
    std::filesystem::create_symlink(replugged.slavePath(), stableName);
    comm.setDeviceOverride(comm.openedThrough());
    comm.setPortOpen(true);
    EXPECT_EQ(comm.devicePath().toStdString(),
              std::filesystem::canonical(replugged.slavePath()).string());
    comm.setPortOpen(false);

    // With the stable name gone nothing else is opened in its place.
    std::filesystem::remove(stableName);
    EXPECT_FALSE(serialErrorOf([&] { comm.setPortOpen(true); }).empty());
    EXPECT_FALSE(comm.getPortOpen());
}

// A window that cannot read (a message box open in the receive path) finds no more than one
// receive event's worth waiting in the control, however much the line brought meanwhile.
TEST_F(CMSCommOnPty, AControlNobodyReadsHoldsAtMost2048Bytes) {
    openCom7();
    int events = 0;
    comm.setOnComm([&] { ++events; });
    const std::vector<std::uint8_t> flood(16384, 'x');
    std::size_t sent = 0;
    for (int round = 0; round < 40; ++round) {
        const ssize_t n = ::write(pty.masterFd(), flood.data(), flood.size());
        sent += n > 0 ? static_cast<std::size_t>(n) : 0;
        runEventsFor(10);
    }
    EXPECT_GT(sent, 4096u);
    EXPECT_GE(events, 1);
    const std::vector<std::uint8_t> held = comm.getInput();
    EXPECT_GT(held.size(), 0u);
    EXPECT_LE(held.size(), 2048u);
}

TEST_F(CMSCommOnPty, WritingWhileClosedNamesThePort) {
    comm.setCommPort(7);
    std::string text = serialErrorOf([&] { comm.setOutput({'A'}); });
    EXPECT_NE(text.find("COM7"), std::string::npos) << text;
    EXPECT_NE(text.find("port is not open"), std::string::npos) << text;
}

TEST_F(CMSCommOnPty, OpenPortRefusesASecondOpenAndAPortChange) {
    openCom7();
    std::string again = serialErrorOf([&] { comm.setPortOpen(true); });
    EXPECT_NE(again.find("already open"), std::string::npos) << again;
    EXPECT_NE(again.find(pty.slavePath()), std::string::npos) << again;

    std::string change = serialErrorOf([&] { comm.setCommPort(3); });
    EXPECT_NE(change.find("close it first"), std::string::npos) << change;
    EXPECT_EQ(comm.getCommPort(), 7);
    EXPECT_TRUE(comm.getPortOpen());
}

TEST_F(CMSCommOnPty, APortHeldByAnotherControlIsReportedBusy) {
    openCom7();
    platform::CMSComm other;
    other.setCommPort(7);
    std::string text = serialErrorOf([&] { other.setPortOpen(true); });
    EXPECT_NE(text.find("COM7"), std::string::npos) << text;
    EXPECT_NE(text.find("in use by another program"), std::string::npos) << text;
    EXPECT_FALSE(other.getPortOpen());
    EXPECT_TRUE(comm.getPortOpen());
}

TEST_F(CMSCommOnPty, UnusableSettingsAreRefusedAndTheOldOnesKept) {
    openCom7();
    std::string text = serialErrorOf([&] { comm.setSettings("115200,x,8,1"); });
    EXPECT_NE(text.find("COM7"), std::string::npos) << text;
    EXPECT_NE(text.find("parity \"x\""), std::string::npos) << text;
    EXPECT_EQ(comm.getSettings(), "115200,n,8,1");

    // A loader speed typed by hand that is no number at all.
    text = serialErrorOf([&] { comm.setSettings("fast,n,8,1"); });
    EXPECT_NE(text.find("baud rate \"fast\""), std::string::npos) << text;

    comm.setSettings("9600,e,7,2");
    EXPECT_EQ(comm.getSettings(), "9600,e,7,2");
    comm.setOutput({'k'});
    EXPECT_EQ(pty.read(1), std::vector<std::uint8_t>{'k'});
}

TEST_F(CMSCommOnPty, AMissingDeviceIsRefusedWithTheWayToMapOne) {
    ports.link("com8", ports.path() / "unplugged-adapter");
    comm.setCommPort(8);
    std::string dangling = serialErrorOf([&] { comm.setPortOpen(true); });
    EXPECT_NE(dangling.find("COM8"), std::string::npos) << dangling;
    EXPECT_NE(dangling.find("unplugged-adapter, which does not exist"), std::string::npos)
        << dangling;
    EXPECT_FALSE(comm.getPortOpen());

    // No link and more ports than the system has serial devices.
    comm.setCommPort(255);
    std::string unmapped = serialErrorOf([&] { comm.setPortOpen(true); });
    EXPECT_NE(unmapped.find("no serial device for COM255"), std::string::npos) << unmapped;
    EXPECT_NE(unmapped.find(ports.path().string()), std::string::npos) << unmapped;
    EXPECT_FALSE(comm.getPortOpen());
}

TEST_F(CMSCommOnPty, PortNumbersOutsideTheControlsRangeAreRefused) {
    EXPECT_FALSE(serialErrorOf([&] { comm.setCommPort(0); }).empty());
    EXPECT_FALSE(serialErrorOf([&] { comm.setCommPort(256); }).empty());
    comm.setCommPort(40);
    EXPECT_EQ(comm.getCommPort(), 40);
}

TEST(DeviceAccess, APseudoTerminalDeclinesLowLatencyWithoutHarm) {
    PtyPair pty;
    ASSERT_TRUE(pty.valid());
    EXPECT_FALSE(platform::requestLowLatency(pty.masterFd()));
    EXPECT_FALSE(platform::requestLowLatency(-1));
}

}  // namespace
