#include "terminal/trends/TrendData.h"

#include <cmath>
#include <limits>

namespace terminal {

void TrendData::read(std::size_t first, std::size_t count, std::size_t item,
                     TrendPoint* out) const {
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = {time(first + i), value(first + i, item), linked(first + i), false};
    }
}

std::size_t firstAtOrAfter(const TrendData& data, std::int64_t when) {
    std::size_t low = 0;
    std::size_t high = data.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (data.time(middle) < when) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

std::optional<double> readingAt(const TrendData& data, std::size_t item, std::int64_t when) {
    const std::size_t after = when == std::numeric_limits<std::int64_t>::max()
                                  ? data.size()
                                  : firstAtOrAfter(data, when + 1);
    if (after == 0) {
        return std::nullopt;
    }
    const double value = data.value(after - 1, item);
    if (std::isnan(value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace terminal
