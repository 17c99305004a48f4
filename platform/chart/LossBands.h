#pragma once
// Where a loss of the link is drawn on a plot: the pixel columns its time covers, and never
// fewer than a few, so a loss of two seconds stays in sight on a 48-hour axis.

#include <cstdint>
#include <optional>

#include "platform/chart/PlotTrace.h"

namespace platform {

// Pixel columns [left, right) of an axis.
struct LossBand {
    int left = 0;
    int right = 0;
    bool widened = false;  // narrower than the minimum in time: drawn at the minimum
    bool operator==(const LossBand&) const = default;
};

// The columns of an axis `columns` wide showing [from, to) that `loss` covers: from the column
// of its start up to the column of its end, that one included (as the plot's columns hold
// the points). A loss shorter than `minimum` columns' time is drawn `minimum` columns wide
// about its middle, within the axis. Nothing when the loss lies outside the range.
std::optional<LossBand> lossBand(const PlotLoss& loss, std::int64_t from, std::int64_t to,
                                 int columns, int minimum);

}  // namespace platform
