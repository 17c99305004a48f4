// The CAN baud-rate change once the About box has closed: what it sends, the two reconnects
// with a settling pause before each, and what ends it early.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core_rig.h"
#include "terminal/link/BaudRateChange.h"

using namespace terminal;

namespace {

const std::string identRequest = "AT ID?\r\n";

std::size_t opens(const testing_support::FakeSerialControl& serial) {
    std::size_t n = 0;
    for (const std::string& call : serial.calls) {
        n += call == "PortOpen=1" ? 1 : 0;
    }
    return n;
}

// A clock that notes, when each settling pause begins, what the wire had seen by then.
class SettleRecordingClock : public testing_support::FakeClock {
public:
    struct Settle {
        std::string written;
        std::size_t opens;
    };
    std::vector<Settle> settles;
    const testing_support::FakeSerialControl* serial = nullptr;

    void pause(std::uint32_t ms) override {
        if (ms == BaudRateChange::settleMs && serial != nullptr) {
            settles.push_back({serial->writtenText(), opens(*serial)});
        }
        FakeClock::pause(ms);
    }
};

// A core connected to a simulator that reported `rateCode`; the wire's record starts empty.
struct ChangeRig {
    coretest::TempFolder folder;
    testing_support::FakeTerminalView view;
    testing_support::FakeSerialControl serial;
    SettleRecordingClock clock;
    TerminalCore core{view, serial, clock, folder.path() / "vive1939.ini"};

    explicit ChangeRig(const char* rateCode = "00") {
        clock.serial = &serial;
        serial.setOnComm([this] { core.onReceive(); });
        core.startSession();
        core.onTimer(ids::linkTimer);
        serial.receive(std::string("ACK CBRS=") + rateCode + "\r\n");
        serial.receive(linetest::identification(1, 0x01));
        serial.written.clear();
        serial.calls.clear();
    }
    bool finish(bool ok, bool confirmed, const std::string& rateText) {
        return core.baudRateChange().finish({ok, confirmed, rateText});
    }
    std::size_t settlePauses() const {
        std::size_t n = 0;
        for (std::uint32_t ms : clock.pauses) {
            n += ms == BaudRateChange::settleMs ? 1 : 0;
        }
        return n;
    }
};

TEST(AboutBoxSetup, opensOnTheReportedRateWhileAChangeIsAllowed) {
    ChangeRig rig("03");
    const AboutBoxSetup setup = rig.core.baudRateChange().aboutBoxSetup();
    EXPECT_TRUE(setup.changeAllowed);
    EXPECT_EQ("500K bps", setup.rateText);
}

TEST(AboutBoxSetup, disconnectedItAllowsNothingAndGivesNoRate) {
    coretest::CoreRig rig;
    rig.core.startSession();
    const AboutBoxSetup setup = rig.core.baudRateChange().aboutBoxSetup();
    EXPECT_FALSE(setup.changeAllowed);
    EXPECT_EQ("", setup.rateText);
}

TEST(BaudRateChange, confirmSendsTheRateThenReconnectsTwiceWithAPauseBeforeEach) {
    ChangeRig rig("00");
    EXPECT_TRUE(rig.finish(true, true, "1M bps"));

    ASSERT_EQ(2u, rig.clock.settles.size());
    // First pause: the rate command is out in full and nothing has followed it.
    EXPECT_EQ("AT CBRS=04\r\n", rig.clock.settles[0].written);
    EXPECT_EQ(0u, rig.clock.settles[0].opens);
    // Second pause: one reconnect in between, with its identification request.
    EXPECT_EQ("AT CBRS=04\r\n" + identRequest, rig.clock.settles[1].written);
    EXPECT_EQ(1u, rig.clock.settles[1].opens);
    // And the second reconnect after it.
    EXPECT_EQ("AT CBRS=04\r\n" + identRequest + identRequest, rig.serial.writtenText());
    EXPECT_EQ(2u, opens(rig.serial));
    EXPECT_TRUE(rig.core.session().identificationAwaited);
}

TEST(BaudRateChange, eachRateTextSendsItsDigitAndAnyOtherTextSendsZero) {
    const std::pair<const char*, char> cases[] = {
        {"250K bps", '0'}, {"500K bps", '3'}, {"62.5K bps", '1'}, {"125K bps", '2'},
        {"1M bps", '4'},   {"500k bps", '0'}, {"500K bps ", '0'}, {"", '0'},
    };
    for (const auto& [text, digit] : cases) {
        ChangeRig rig("03");
        rig.finish(true, true, text);
        EXPECT_EQ(std::string("AT CBRS=0") + digit + "\r\n" + identRequest + identRequest,
                  rig.serial.writtenText())
            << "'" << text << "'";
    }
}

TEST(BaudRateChange, confirmWithTheCurrentRateSendsItAgain) {
    ChangeRig rig("03");
    const AboutBoxSetup setup = rig.core.baudRateChange().aboutBoxSetup();
    rig.finish(true, true, setup.rateText);
    EXPECT_EQ(0u, rig.serial.writtenText().find("AT CBRS=03\r\n"));
}

TEST(BaudRateChange, okWithoutConfirmAndTheCloseBoxSendNothing) {
    ChangeRig rig("00");
    EXPECT_FALSE(rig.finish(true, false, "1M bps"));   // OK, even after Proceed
    EXPECT_FALSE(rig.finish(false, false, "1M bps"));  // close box, Escape
    EXPECT_FALSE(rig.finish(false, true, "1M bps"));
    EXPECT_TRUE(rig.serial.written.empty());
    EXPECT_EQ(0u, opens(rig.serial));
    EXPECT_EQ(0u, rig.settlePauses());
}

TEST(BaudRateChange, aClosedPortEndsItWithTheSerialErrorAndNoPausesOrReconnects) {
    ChangeRig rig("00");
    rig.core.disconnect();  // as after a link lost while the box was open
    rig.serial.calls.clear();
    EXPECT_THROW(rig.finish(true, true, "1M bps"), platform::SerialError);
    EXPECT_TRUE(rig.serial.written.empty());
    EXPECT_EQ(0u, opens(rig.serial));
    EXPECT_EQ(0u, rig.settlePauses());
}

// The device is gone when the reconnect opens it, or opens but refuses the request.
TEST(BaudRateChange, aFailedReconnectIsShownOnceThenTheTerminalLooksDisconnectedAndRetries) {
    for (const bool openFails : {true, false}) {
        SCOPED_TRACE(openFails ? "open refused" : "identification request refused");
        ChangeRig rig("00");
        if (openFails) {
            rig.serial.absentDevices = {"/dev/ttyUSB0"};
        } else {
            rig.serial.afterOpen = [&rig] { rig.serial.writeError = "/dev/ttyUSB0 went away"; };
        }
        // COMn would now lead to another device; only the one in use may be tried.
        rig.serial.mappedDevice = "/dev/ttyS0";
        EXPECT_THROW(rig.finish(true, true, "1M bps"), platform::SerialError);
        EXPECT_EQ(1u, rig.settlePauses());  // the second pause and reconnect never came

        // Not half connected: the port is closed, the controls say so, the timer runs.
        EXPECT_FALSE(rig.serial.open);
        EXPECT_FALSE(rig.core.session().portOpen);
        EXPECT_TRUE(rig.view.isControlEnabled(ids::connectButton));
        EXPECT_FALSE(rig.view.isControlEnabled(ids::disconnectButton));
        EXPECT_FALSE(rig.view.isControlEnabled(ids::levelSlider));
        EXPECT_FALSE(rig.view.isControlEnabled(ids::engineDm1Edit));
        EXPECT_EQ("Not Found Yet!", rig.view.panel.canBaudText);
        EXPECT_TRUE(rig.view.timerRunning(ids::linkTimer));

        // While the device stays away the ticks retry it without a word.
        rig.view.messages.clear();
        for (int second = 0; second < 3; ++second) {
            EXPECT_NO_THROW(rig.core.onTimer(ids::linkTimer));
            EXPECT_FALSE(rig.serial.open);
            EXPECT_TRUE(rig.view.timerRunning(ids::linkTimer));
        }
        EXPECT_TRUE(rig.view.messages.empty());

        // It comes back: the next tick reconnects to it by itself.
        rig.serial.absentDevices.clear();
        rig.serial.afterOpen = nullptr;
        rig.serial.writeError.clear();
        rig.serial.written.clear();
        rig.core.onTimer(ids::linkTimer);
        EXPECT_EQ(identRequest, rig.serial.writtenText());
        for (const std::string& device : rig.serial.openAttempts) {
            EXPECT_EQ("/dev/ttyUSB0", device);
        }
    }
}

}  // namespace
