#pragma once
// Turns the simulator's lines into the bytes on the wire, with the faults a test asks for:
// noise between lines, lower-case lines, wrong checksums.

#include <cstdint>
#include <random>
#include <string>

#include "WireFormat.h"

namespace sim {

struct LineFaults {
    bool noise = false;
    bool lowerCase = false;
    bool badChecksums = false;
};

class LineShaper {
public:
    explicit LineShaper(const LineFaults& faults, std::uint32_t seed = 1939);

    // The line with its checksum pair (if any) and CR LF, noise in front when asked for.
    std::string wireBytes(const OutgoingLine& line);

private:
    std::string noise();

    LineFaults faults_;
    std::mt19937 random_;
};

}  // namespace sim
