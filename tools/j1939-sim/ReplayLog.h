#pragma once
// A raw line log written by `Tessaly --record-lines` (lines "12.345 rx BRC %S08B07B" and
// "12.402 tx AT %231C", "\\" and "\xHH" escaped), read for --replay: the lines Tessaly
// received, with their times, to be sent again at the recorded pace.

#include <optional>
#include <string>
#include <vector>

namespace sim {

struct ReplayLine {
    double seconds;     // after the replay's start
    std::string bytes;  // CR LF included
};

struct ReplayScript {
    // Times count from the log's first line, normally the terminal's first "AT ID?": the
    // replay starts when the terminal sends its first line.
    std::vector<ReplayLine> lines;
};

// The bytes a logged line stands for, without its line end; nullopt for a bad escape.
std::optional<std::string> unescapedLine(const std::string& text);

// Throws std::runtime_error naming the file and line for anything it cannot read.
ReplayScript readReplayLog(const std::string& path);

}  // namespace sim
