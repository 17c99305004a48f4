#include "terminal/protocol/HexPair.h"

#include "platform/text/HexDigit.h"

namespace terminal {

std::uint8_t decodeHexPair(char high, char low) {
    const auto h = static_cast<std::uint8_t>(high);
    const auto l = static_cast<std::uint8_t>(low);
    const std::uint8_t highPart =
        h >= 'A' ? static_cast<std::uint8_t>((h + 9) * 16) : static_cast<std::uint8_t>(h * 16);
    const std::uint8_t lowPart =
        l >= 'A' ? static_cast<std::uint8_t>(l - 55) : static_cast<std::uint8_t>(l - 48);
    return static_cast<std::uint8_t>(highPart + lowPart);
}

std::array<char, 2> encodeHexPair(std::uint8_t byte) {
    return {platform::upperHexDigit(byte & 0x0Fu), platform::upperHexDigit(byte >> 4)};
}

std::uint8_t lineChecksum(std::string_view bytes) {
    unsigned sum = 0;
    for (char c : bytes) {
        sum += static_cast<std::uint8_t>(c);
    }
    return static_cast<std::uint8_t>(256 - sum % 256);
}

bool checksumMatches(std::string_view line, std::size_t length) {
    if (line.size() < length + 2) {
        return false;
    }
    unsigned sum = 0;
    for (std::size_t i = 0; i < length; ++i) {
        sum += static_cast<std::uint8_t>(line[i]);
    }
    sum += decodeHexPair(line[length + 1], line[length]);
    return sum % 256 == 0;
}

}  // namespace terminal
