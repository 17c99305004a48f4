#pragma once
// A BootLink wired to a recording serial control, clock and observer, with helpers that
// play the boot loader's side.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeClock.h"
#include "FakeSerialControl.h"
#include "RecordingObserver.h"
#include "TempFile.h"
#include "loader/core/BootLink.h"
#include "loader/core/FirmwareImage.h"

namespace testing_support {

class BootLinkTest : public ::testing::Test {
protected:
    FakeSerialControl serial;
    FakeClock clock;
    RecordingObserver observer;
    loader::FirmwareImage image{[] { return std::int64_t{1700000000}; }};
    loader::BootLink link{serial, clock, observer, image};
    TempDir dir;

    BootLinkTest() {
        serial.setOnComm([this] { link.onReceive(); });
    }

    static std::vector<std::uint8_t> bytes(std::initializer_list<int> values) {
        std::vector<std::uint8_t> out;
        for (int v : values) {
            out.push_back(static_cast<std::uint8_t>(v));
        }
        return out;
    }
    static std::vector<std::uint8_t> wakeThen(const std::string& text) {
        std::vector<std::uint8_t> out{loader::BootLink::wakeByte};
        out.insert(out.end(), text.begin(), text.end());
        return out;
    }

    void connectAndIdentify() {
        link.connect("COM1", "115200");
        serial.receive(wakeThen("Vell-3.2\r\n"));
        ASSERT_TRUE(link.identified());
        link.timerTick();
    }

    // Chooses a file, connects and presses Program; the start byte is on the line then.
    void startProgramming(const std::string& name, const std::vector<std::uint8_t>& content) {
        image.setPath(dir.write(name, content));
        connectAndIdentify();
        serial.written.clear();
        link.program("COM1", "115200");
    }

    // Plays the target's echo of every image byte until the run finishes.
    std::vector<std::uint8_t> echoUntilFinished(std::size_t limit = 1u << 20) {
        std::vector<std::uint8_t> received;
        while (link.writing() && limit-- > 0) {
            std::uint8_t last = serial.written.back();
            received.push_back(last);
            serial.receive(std::vector<std::uint8_t>{last});
        }
        return received;
    }
};

}  // namespace testing_support
