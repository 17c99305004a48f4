#pragma once
// The terminal's receive path under arbitrary input: the bytes go through the receive window
// and the line dispatch into the engine model, cut into events in three ways, and through a
// whole connected TerminalCore. Returns what broke, or an empty text when every invariant held:
// the window never holds more than its 50 bytes, and every line it hands out fits the window,
// ends in CR LF, is upper case and leaves the window empty.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "FakeClock.h"
#include "FakeSerialControl.h"
#include "FakeTerminalView.h"
#include "NullTerminalView.h"
#include "terminal/dashboard/ControlIds.h"
#include "terminal/dashboard/DashboardUpdate.h"
#include "terminal/link/LineDispatch.h"
#include "terminal/link/LineReceiver.h"
#include "terminal/link/TerminalCore.h"
#include "terminal/protocol/ReceiveWindow.h"

namespace fuzzing {

// The receive window on its own, one byte at a time.
inline std::string checkWindow(const std::uint8_t* data, std::size_t size) {
    terminal::ReceiveWindow window;
    for (std::size_t i = 0; i < size; ++i) {
        const auto line = window.push(data[i]);
        if (window.count() > terminal::ReceiveWindow::capacity) {
            return "window holds " + std::to_string(window.count()) + " bytes";
        }
        if (!line) {
            continue;
        }
        if (line->size() > terminal::ReceiveWindow::capacity || line->size() < 2 ||
            line->compare(line->size() - 2, 2, "\r\n") != 0) {
            return "a line that does not fit the window or lacks CR LF";
        }
        for (char c : *line) {
            if (c >= 'a' && c <= 'z') {
                return "a line that is not upper case";
            }
        }
        if (window.count() != 0) {
            return "the window is not empty after a line";
        }
    }
    return {};
}

// Receive window and dispatch over the engine model, with a view that shows nothing.
class ReceivePathRig : private terminal::ProtocolHooks {
public:
    ReceivePathRig() {
        session_.portOpen = true;
        session_.firmwareVersion = 2;
        session_.revisionLetter = 'D';
        serial_.open = true;
        serial_.setOnComm([this] { receiver_.onReceive(); });
    }

    // Delivers `data` in events of the sizes in `cuts` (repeated); checks after each event.
    std::string deliver(const std::uint8_t* data, std::size_t size,
                        const std::vector<std::size_t>& cuts) {
        std::size_t at = 0;
        for (std::size_t n = 0; at < size; ++n) {
            const std::size_t take = std::min(cuts[n % cuts.size()], size - at);
            serial_.receive(std::vector<std::uint8_t>(data + at, data + at + take));
            at += take;
            if (receiver_.window().count() > terminal::ReceiveWindow::capacity) {
                return "receive path window holds " + std::to_string(receiver_.window().count());
            }
        }
        return {};
    }

private:
    void readPanel() override { view_.readPanel(dashboard_); }
    void writePanel() override { view_.writePanel(dashboard_); }
    void setSliderPosition(double position) override { view_.setSliderPosition(position); }
    void applyLevel(std::uint8_t level) override {
        terminal::applyLevel(level, view_, dashboard_, session_.firmwareVersion);
    }
    void identificationOutcome() override {}

    testing_support::NullTerminalView view_;
    testing_support::FakeSerialControl serial_;
    terminal::SessionState session_;
    terminal::DashboardState dashboard_;
    terminal::LineDispatch dispatch_{session_, dashboard_, *this};
    terminal::LineReceiver receiver_{serial_, session_, dispatch_};
};

// The whole core, started and connected to firmware 0.2D, then fed the bytes in one event.
inline void runConnectedCore(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("tessaly-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    testing_support::FakeTerminalView view;
    testing_support::FakeSerialControl serial;
    testing_support::FakeClock clock;
    terminal::TerminalCore core{view, serial, clock, folder / "vive1939.ini"};
    serial.setOnComm([&core] { core.onReceive(); });
    // The window shows a serial error in a message box and goes on; so does this.
    try {
        core.startSession();
        core.onTimer(terminal::ids::linkTimer);
        serial.receive(std::string("ACK REVD\r\nACK CBRS=03\r\n"));
        serial.receive(std::vector<std::uint8_t>(data, data + size));
        core.onTimer(terminal::ids::linkTimer);
    } catch (const platform::SerialError&) {
    }
}

inline std::string runTerminalReceive(const std::uint8_t* data, std::size_t size) {
    std::string broken = checkWindow(data, size);
    if (broken.empty()) {
        broken = ReceivePathRig().deliver(data, size, {1});
    }
    if (broken.empty()) {
        broken = ReceivePathRig().deliver(data, size, {3, 1, 7, 50, 2, 13, 64});
    }
    if (broken.empty()) {
        runConnectedCore(data, size);
    }
    return broken;
}

}  // namespace fuzzing
