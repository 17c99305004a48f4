#pragma once
// The support log of the raw line: every line received and sent, one per log line, as
//   12.345 rx BRC %S08B07B
//   12.402 tx AT %231C
// with seconds on a monotonic clock since the log began, the direction, and the line's bytes
// without their CR LF. A backslash is written "\\" and any byte outside printable ASCII as
// "\xHH", so noise and lone control bytes survive a round trip. Received bytes are cut into
// lines at LF; a run of more than longestLine bytes without one is written as a line of its
// own. Each log line is flushed as written (see FlushedFile).

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "terminal/recording/FlushedFile.h"

namespace terminal {

// The bytes as the log shows them (the escapes above).
std::string escapedLine(std::string_view bytes);

class RawLineLog {
public:
    static constexpr std::size_t longestLine = 256;

    bool open(const std::filesystem::path& path);
    // Bytes as read from the port, any number of lines or parts of one.
    bool received(double seconds, std::string_view bytes);
    // One whole command line as sent, CR LF included.
    bool sent(double seconds, std::string_view line);
    void close() { file_.close(); }

    bool isOpen() const { return file_.isOpen(); }
    const std::string& error() const { return file_.error(); }

private:
    bool writeLine(double seconds, std::string_view direction, std::string_view bytes);

    FlushedFile file_;
    std::string pending_;  // received bytes of a line whose LF has not come yet
};

}  // namespace terminal
