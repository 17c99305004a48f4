#pragma once
// One value of a TrendData over [from, to), reduced to `columns` pixel columns: each column
// keeps its lowest, highest, first and last reading, so drawing costs the same whether a
// column holds one reading or ten thousand.

#include <cstddef>
#include <cstdint>

#include "platform/chart/PlotTrace.h"
#include "terminal/trends/TrendData.h"

namespace terminal {

// A point at time t falls in column floor((t - from) * columns / (to - from)). Empty when
// `columns` is not positive or `to` is not after `from`.
platform::PlotTrace reduceToColumns(const TrendData& data, std::size_t item, std::int64_t from,
                                    std::int64_t to, int columns);

}  // namespace terminal
