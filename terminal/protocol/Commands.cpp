#include "terminal/protocol/Commands.h"

#include "terminal/protocol/HexPair.h"
#include "terminal/protocol/WireCodes.h"

namespace terminal {

namespace {
void appendPair(std::string& line, std::uint8_t byte) {
    const auto pair = encodeHexPair(byte);
    line.append(pair.begin(), pair.end());
}

std::string checksummed(std::string line) {
    appendPair(line, lineChecksum(line));
    line += "\r\n";
    return line;
}
}  // namespace

std::string identificationRequest() {
    return "AT ID?\r\n";
}

std::string keyCommand(std::uint8_t keyCode) {
    std::string line = "AT KI";
    appendPair(line, keyCode);
    return checksummed(std::move(line));
}

std::string levelCommand(std::uint8_t level) {
    std::string line = "AT %";
    appendPair(line, level);
    return checksummed(std::move(line));
}

std::string baudRateCommand(std::string_view rateText) {
    std::string line = "AT CBRS=0";
    line += wire::rateDigit(rateText);
    line += "\r\n";
    return line;
}

}  // namespace terminal
