#include "terminal/core/TrendReduction.h"

#include <algorithm>
#include <cmath>

namespace terminal {

platform::PlotTrace reduceToColumns(const TrendData& data, std::size_t item, std::int64_t from,
                                    std::int64_t to, int columns) {
    platform::PlotTrace trace;
    if (columns <= 0 || to <= from) {
        return trace;
    }
    trace.columns.resize(static_cast<std::size_t>(columns));
    const auto span = static_cast<long double>(to - from);
    auto columnOf = [&](std::int64_t time) {
        const auto column =
            static_cast<int>(std::floor(static_cast<long double>(time - from) * columns / span));
        return std::clamp(column, 0, columns - 1);
    };

    // Where the line stands as the range begins: the point before it decides.
    std::size_t index = firstAtOrAfter(data, from);
    bool held = false;       // a reading is held: the next reading joins it
    int holdingColumn = -1;  // the column whose last reading is held; -1: the entering one
    int awaySince = -1;      // the first column of the current stretch without a link
    if (index > 0) {
        const double before = data.value(index - 1, item);
        if (!std::isnan(before)) {
            trace.entering = before;
            held = true;
        }
        if (!data.linked(index - 1)) {
            awaySince = 0;
        }
    }
    auto endHold = [&](int column) {
        if (!held) {
            return;
        }
        if (holdingColumn < 0) {
            trace.enteringHoldTo = column;
        } else {
            trace.columns[static_cast<std::size_t>(holdingColumn)].holdTo = column;
        }
    };
    auto markAway = [&](int last) {
        for (int c = awaySince; c <= last; ++c) {
            trace.columns[static_cast<std::size_t>(c)].away = true;
        }
    };

    for (; index < data.size() && data.time(index) < to; ++index) {
        const int column = columnOf(data.time(index));
        if (data.linked(index)) {
            if (awaySince >= 0) {
                markAway(column);
                awaySince = -1;
            }
        } else if (awaySince < 0) {
            awaySince = column;
        }
        endHold(column);
        const double value = data.value(index, item);
        if (std::isnan(value)) {
            held = false;
            continue;
        }
        platform::PlotColumn& entry = trace.columns[static_cast<std::size_t>(column)];
        if (!entry.any) {
            entry.any = true;
            entry.joined = held;
            entry.low = entry.high = entry.first = value;
        } else {
            entry.low = std::min(entry.low, value);
            entry.high = std::max(entry.high, value);
        }
        entry.last = value;
        entry.holdTo = column;
        held = true;
        holdingColumn = column;
    }
    // A point past the right edge carries the held reading, or the missing link, to it.
    if (index < data.size()) {
        endHold(columns);
    }
    if (awaySince >= 0) {
        markAway(columns - 1);
    }
    return trace;
}

}  // namespace terminal
