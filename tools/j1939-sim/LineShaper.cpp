#include "LineShaper.h"

#include <cctype>

namespace sim {

namespace {

// Noise holds no letter, space, CR or LF: such bytes could block or fake a line header, and
// the point of the fault is garbage that a correct receiver skips, not lines made unreadable.
// At least two bytes: after a single one, "ACK" would stand where the receiver's header move
// refuses to shift it (its 'C' at the third place), and the answer would be lost.
constexpr char noiseBytes[] = "#*~!?.,;:0123456789@$&()[]{}<>=+-_/|\x01\x7f\x80\xa5\xfe\xff";
constexpr int minNoiseLength = 2;
constexpr int maxNoiseLength = 8;

}  // namespace

LineShaper::LineShaper(const LineFaults& faults, std::uint32_t seed)
    : faults_(faults), random_(seed) {}

std::string LineShaper::noise() {
    std::uniform_int_distribution<int> length(minNoiseLength, maxNoiseLength);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof noiseBytes - 2);
    std::string bytes;
    for (int i = length(random_); i > 0; --i) {
        bytes += noiseBytes[pick(random_)];
    }
    return bytes;
}

std::string LineShaper::wireBytes(const OutgoingLine& line) {
    std::string text = line.text;
    if (line.checksummed) {
        std::uint8_t checksum = lineChecksum(text);
        if (faults_.badChecksums) {
            ++checksum;
        }
        text += encodeHexPair(checksum);
    }
    if (faults_.lowerCase) {
        // The checksum was taken over the upper-case text, which is what a receiver sums.
        for (char& c : text) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    std::string bytes = faults_.noise ? noise() : std::string();
    bytes += text;
    bytes += carriageReturn;
    bytes += lineFeed;
    return bytes;
}

}  // namespace sim
