#pragma once
// The four command lines the terminal sends to the simulator, byte for byte.

#include <cstdint>
#include <string>
#include <string_view>

namespace terminal {

// "AT ID?" CR LF.
std::string identificationRequest();
// "AT KI", the key code and the checksum over the first 7 bytes as reversed pairs, CR LF.
std::string keyCommand(std::uint8_t keyCode);
// "AT %", the level and the checksum over the first 6 bytes as reversed pairs, CR LF.
std::string levelCommand(std::uint8_t level);
// "AT CBRS=0", the rate digit for `rateText`, CR LF; no checksum.
std::string baudRateCommand(std::string_view rateText);

}  // namespace terminal
