#pragma once
// What the status bar tells about the line: good lines per second, lines dropped for a bad
// checksum since the operator's last Connect (or start-up), and how long ago the last good line
// came. The receive path counts; the window samples the figures about once a second.

#include <cstdint>
#include <optional>

namespace terminal {

struct LineStatistics {
    // Good lines per second since the previous sample (0 at the first sample).
    double goodLinesPerSecond = 0;
    // Lines dropped because their checksum was wrong, since the operator's last Connect.
    std::uint64_t badChecksumLines = 0;
    // Milliseconds since the last good line; empty before the first one.
    std::optional<std::uint32_t> msSinceGoodLine;
};

class LineCounters {
public:
    // A line that kept the link alive and passed its checksum (if it carries one).
    void goodLine(std::uint32_t nowMs);
    void badChecksumLine();
    // The operator's Connect: the dropped count starts again (the reconnects of the link
    // rhythm keep it); the last good line's time stays, so a silence is measured across the
    // reconnects it causes.
    void connected();

    // The figures at `nowMs` (a 32-bit millisecond clock that may wrap); starts the next
    // interval of the rate.
    LineStatistics sample(std::uint32_t nowMs);

    std::uint64_t goodLines() const { return goodLines_; }

private:
    std::uint64_t goodLines_ = 0;
    std::uint64_t badChecksumLines_ = 0;
    std::optional<std::uint32_t> lastGoodMs_;
    std::optional<std::uint32_t> sampledMs_;
    std::uint64_t goodLinesAtSample_ = 0;
};

}  // namespace terminal
