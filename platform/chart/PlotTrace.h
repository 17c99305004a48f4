#pragma once
// One plotted value over a time range, reduced to one entry per pixel column: what a trend
// plot draws, whatever the number of readings behind it. A reading holds until the next
// point in time: the next reading (the line steps to it) or a gap (the line ends).

#include <optional>
#include <vector>

namespace platform {

struct PlotColumn {
    bool any = false;     // a reading falls in the column
    bool joined = false;  // its first reading follows the previous one with no gap between
    bool away = false;    // for some of the column's time there was no reading to be had
    double low = 0;       // the column's lowest and highest reading
    double high = 0;
    double first = 0;  // its first and last reading in time
    double last = 0;
    // The column where the last reading's hold ends: the column of the next point, the
    // column count when the next point lies past the right edge, or this column when no
    // point follows.
    int holdTo = 0;
};

struct PlotTrace {
    std::vector<PlotColumn> columns;
    // The reading held at the left edge and the column where its hold ends.
    std::optional<double> entering;
    int enteringHoldTo = 0;
};

}  // namespace platform
