#pragma once
// Writes a finished command to the serial control one byte at a time, pausing after each
// byte so the simulator's receiver keeps up. Blocks the window thread for the whole line.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/clock/Clock.h"
#include "platform/serial/SerialControl.h"

namespace terminal {

inline constexpr std::uint32_t byteGapMs = 2;

class CommandSender {
public:
    CommandSender(platform::SerialControl& serial, platform::Clock& clock);

    // `length` 1..255, the last byte LF. Anything else is not a command and is not written.
    // A refused write throws platform::SerialError and ends the line there.
    void sendCommand(const std::uint8_t* bytes, std::size_t length);
    void sendCommand(std::string_view line);

    // Called with every command line as it starts going out.
    void setLineTap(std::function<void(std::string_view)> tap) { lineTap_ = std::move(tap); }

private:
    platform::SerialControl& serial_;
    platform::Clock& clock_;
    std::function<void(std::string_view)> lineTap_;
};

}  // namespace terminal
