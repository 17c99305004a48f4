#pragma once
// Writes a finished command to the serial control one byte at a time, pausing after each
// byte so the simulator's receiver keeps up. Blocks the window thread for the whole line.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/core/Clock.h"
#include "platform/core/SerialControl.h"

namespace terminal {

inline constexpr std::uint32_t byteGapMs = 2;

class CommandSender {
public:
    CommandSender(platform::SerialControl& serial, platform::Clock& clock);

    // `length` 1..255, the last byte LF. Anything else is not a command and is not written.
    // A refused write throws platform::SerialError and ends the line there.
    void sendCommand(const std::uint8_t* bytes, std::size_t length);
    void sendCommand(std::string_view line);

private:
    platform::SerialControl& serial_;
    platform::Clock& clock_;
};

}  // namespace terminal
