#pragma once
// One plotted value over a time range, reduced to one entry per pixel column: what a trend
// plot draws, whatever the number of readings behind it. A reading holds until the next
// point in time: the next reading (the line steps to it) or a gap (the line ends).

#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

struct PlotColumn {
    bool any = false;      // a reading falls in the column
    bool joined = false;   // its first reading follows the previous one with no gap between
    bool away = false;     // for some of the column's time there was no reading to be had
    bool leftOut = false;  // a value that is no reading (not finite, out of range) fell here
    double low = 0;        // the column's lowest and highest reading
    double high = 0;
    double first = 0;  // its first and last reading in time
    double last = 0;
    // The column where the last reading's hold ends: the column of the next point, the
    // column count when the next point lies past the right edge, or this column when no
    // point follows.
    int holdTo = 0;
};

// A stretch without a link, in milliseconds since 1970 UTC: from its first point without a
// link to the next point with one (or the end of the range, when none follows in it).
struct PlotLoss {
    std::int64_t from = 0;
    std::int64_t to = 0;
    bool operator==(const PlotLoss&) const = default;
};

struct PlotTrace {
    std::vector<PlotColumn> columns;
    // The losses that reach into the range, oldest first; one that began before the range
    // starts at the point where it began.
    std::vector<PlotLoss> losses;
    // The reading held at the left edge and the column where its hold ends.
    std::optional<double> entering;
    int enteringHoldTo = 0;
};

}  // namespace platform
