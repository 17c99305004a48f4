#include "terminal/trends/TrendReduction.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace terminal {

platform::PlotTrace reduceToColumns(const TrendData& data, std::size_t item, std::int64_t from,
                                    std::int64_t to, int columns) {
    platform::PlotTrace trace;
    if (columns <= 0 || to <= from) {
        return trace;
    }
    trace.columns.resize(static_cast<std::size_t>(columns));
    // Points come from `from` on, so the division rounds down as floor does. Spans of
    // centuries at ten thousand columns still fit the 64 bits.
    const std::int64_t span = to - from;
    auto columnOf = [&](std::int64_t time) {
        return static_cast<int>(
            std::min<std::int64_t>((time - from) * columns / span, columns - 1));
    };

    // Where the line stands as the range begins: the point before it decides.
    std::size_t index = firstAtOrAfter(data, from);
    bool held = false;       // a reading is held: the next reading joins it
    int holdingColumn = -1;  // the column whose last reading is held; -1: the entering one
    int awaySince = -1;      // the first column of the current stretch without a link
    std::int64_t lostSince = 0;
    if (index > 0) {
        const double before = data.value(index - 1, item);
        if (!std::isnan(before)) {
            trace.entering = before;
            held = true;
        }
        if (!data.linked(index - 1)) {
            awaySince = 0;
            lostSince = data.time(index - 1);
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

    std::array<TrendPoint, 512> chunk;
    std::size_t taken = 0;  // of the chunk
    std::size_t read = 0;
    for (; index < data.size(); ++index, ++taken) {
        if (taken == read) {
            read = std::min(chunk.size(), data.size() - index);
            data.read(index, read, item, chunk.data());
            taken = 0;
        }
        const TrendPoint& point = chunk[taken];
        if (point.time >= to) {
            break;
        }
        const int column = columnOf(point.time);
        if (point.linked) {
            if (awaySince >= 0) {
                markAway(column);
                awaySince = -1;
                trace.losses.push_back({lostSince, point.time});
            }
        } else if (awaySince < 0) {
            awaySince = column;
            lostSince = point.time;
        }
        endHold(column);
        const double value = point.value;
        if (point.leftOut) {
            trace.columns[static_cast<std::size_t>(column)].leftOut = true;
        }
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
        trace.losses.push_back({lostSince, to});
    }
    return trace;
}

}  // namespace terminal
