#include "WireFormat.h"

#include <cctype>

#include "platform/text/HexDigit.h"

namespace sim {

namespace {

using platform::hexDigitValue;
using platform::upperHexDigit;

// The identification answer carries two digits that nothing reads; a fixed hardware tag.
constexpr const char* identificationTag = "00";

}  // namespace

std::string encodeHexPair(std::uint8_t value) {
    return {upperHexDigit(value & 0x0Fu), upperHexDigit(value >> 4)};
}

bool decodeHexPair(char low, char high, std::uint8_t& value) {
    const int lowNibble = hexDigitValue(low);
    const int highNibble = hexDigitValue(high);
    if (lowNibble < 0 || highNibble < 0) {
        return false;
    }
    value = static_cast<std::uint8_t>(highNibble << 4 | lowNibble);
    return true;
}

std::uint8_t lineChecksum(const std::string& bytes) {
    unsigned sum = 0;
    for (char c : bytes) {
        sum += static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return static_cast<std::uint8_t>(0x100u - (sum & 0xFFu));
}

bool checksumMatches(const std::string& line, std::size_t pairAt) {
    std::uint8_t carried = 0;
    if (pairAt + 2 > line.size() || !decodeHexPair(line[pairAt], line[pairAt + 1], carried)) {
        return false;
    }
    return lineChecksum(line.substr(0, pairAt)) == carried;
}

OutgoingLine revisionAnswer(char revision) {
    return {std::string("ACK REV") + revision, false};
}

OutgoingLine canRateAnswer(int rateCode) {
    // Plain digits, high digit first (not a reversed pair).
    int code = rateCode & 0xFF;
    return {std::string("ACK CBRS=") + upperHexDigit(static_cast<unsigned>(code >> 4)) +
                upperHexDigit(static_cast<unsigned>(code & 0x0F)),
            false};
}

OutgoingLine identificationAnswer(std::uint32_t serialNumber, std::uint8_t versionByte) {
    std::string text = std::string("ACK ID") + identificationTag;
    for (int byte = 0; byte < 4; ++byte) {
        text += encodeHexPair(static_cast<std::uint8_t>(serialNumber >> (8 * byte)));
    }
    text += encodeHexPair(versionByte);
    return {text, true};
}

OutgoingLine keyAcknowledge() {
    return {"ACK KI", false};
}

OutgoingLine levelAcknowledge() {
    return {"ACK %", false};
}

OutgoingLine addressClaimStatus(std::uint8_t status) {
    return {"BRC ACS" + encodeHexPair(status), true};
}

OutgoingLine simulationStatus(std::uint8_t level, std::uint8_t modeFlags) {
    return {"BRC %S" + encodeHexPair(level) + encodeHexPair(modeFlags), true};
}

OutgoingLine engineClock(std::uint8_t first, std::uint8_t second) {
    return {"BRC CLK" + encodeHexPair(first) + encodeHexPair(second), true};
}

const char* canRateText(int rateCode) {
    switch (rateCode) {
        case 0:
            return "250K bps";
        case 1:
            return "62.5K bps";
        case 2:
            return "125K bps";
        case 3:
            return "500K bps";
        case 4:
            return "1M bps";
        default:
            return "invalid";
    }
}

}  // namespace sim
