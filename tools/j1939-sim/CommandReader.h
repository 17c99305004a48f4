#pragma once
// Cuts the received byte stream into command lines at each LF.

#include <string>
#include <vector>

namespace sim {

struct ReceivedLine {
    std::string bytes;     // up to and including the LF, or the cut-off part of a runaway line
    bool complete = true;  // false when the line ran past the length limit without an LF
};

class CommandReader {
public:
    // No command is longer than a dozen bytes; a runaway line is handed over in pieces of
    // this size so that it shows in the log rather than growing without end.
    static constexpr std::size_t maxLineLength = 80;

    std::vector<ReceivedLine> push(const char* bytes, std::size_t count);

private:
    std::string pending_;
};

}  // namespace sim
