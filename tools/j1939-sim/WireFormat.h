#pragma once
// The simulator's side of the line format, written out on its own so that the stand-in does
// not share the terminal's code (and so cannot share its mistakes): reversed hex pairs,
// the one-byte line checksum and the line builders.

#include <cstdint>
#include <string>

namespace sim {

inline constexpr char carriageReturn = '\r';
inline constexpr char lineFeed = '\n';

// Two characters, the digit of the low nibble first: 0x3A -> "A3".
std::string encodeHexPair(std::uint8_t value);

// `low` is the character that travels first, `high` the one after it. Returns false when
// either is not a hex digit (either case).
bool decodeHexPair(char low, char high, std::uint8_t& value);

// Two's complement of the 8-bit sum of the bytes, upper-cased first, so that a line sent in
// lower case still checks out on a receiver that upper-cases before summing.
std::uint8_t lineChecksum(const std::string& bytes);

// True when the reversed pair at `pairAt` is the checksum of every byte before it.
bool checksumMatches(const std::string& line, std::size_t pairAt);

// One line as the simulator means to send it: the text before the checksum, whether a
// checksum pair follows, and CR LF added when the line goes on the wire.
struct OutgoingLine {
    std::string text;
    bool checksummed = false;
};

OutgoingLine revisionAnswer(char revision);
OutgoingLine canRateAnswer(int rateCode);
OutgoingLine identificationAnswer(std::uint32_t serialNumber, std::uint8_t versionByte);
OutgoingLine keyAcknowledge();
OutgoingLine levelAcknowledge();
OutgoingLine addressClaimStatus(std::uint8_t status);
OutgoingLine simulationStatus(std::uint8_t level, std::uint8_t modeFlags);
OutgoingLine engineClock(std::uint8_t first, std::uint8_t second);

// The rate texts the terminal shows for the codes 0..4; "invalid" for anything else.
const char* canRateText(int rateCode);

}  // namespace sim
