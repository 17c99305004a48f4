#pragma once
// The line settings text of the serial control, "115200,n,8,1": baud rate, parity
// (n, e, o, m, s), data bits (5 to 8) and stop bits (1, 1.5, 2).

#include <string>

namespace platform {

struct LineSettings {
    enum class Parity { none, even, odd, mark, space };
    enum class StopBits { one, oneAndHalf, two };

    int baudRate = 9600;
    Parity parity = Parity::none;
    int dataBits = 8;
    StopBits stopBits = StopBits::one;
};

// Throws SerialError saying which part of the text is unusable and why.
LineSettings parseLineSettings(const std::string& text);

}  // namespace platform
