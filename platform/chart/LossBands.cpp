#include "platform/chart/LossBands.h"

#include <algorithm>
#include <cmath>

namespace platform {

std::optional<LossBand> lossBand(const PlotLoss& loss, std::int64_t from, std::int64_t to,
                                 int columns, int minimum) {
    // A loss that ended as the range begins shows nothing of itself.
    if (columns <= 0 || to <= from || loss.to < from || loss.from >= to ||
        (loss.to == from && loss.from < from)) {
        return std::nullopt;
    }
    const double perMs = static_cast<double>(columns) / static_cast<double>(to - from);
    const auto columnOf = [&](std::int64_t time) {
        return std::clamp(static_cast<int>(std::floor(static_cast<double>(time - from) * perMs)), 0,
                          columns - 1);
    };
    LossBand band{columnOf(loss.from), columnOf(loss.to) + 1, false};
    // A loss that runs to the right edge ends there, not a column past it.
    if (loss.to >= to) {
        band.right = columns;
    }
    minimum = std::min(minimum, columns);
    if (static_cast<double>(loss.to - loss.from) * perMs < minimum) {
        const double middle =
            (static_cast<double>(loss.from + loss.to) / 2 - static_cast<double>(from)) * perMs;
        band.left =
            std::clamp(static_cast<int>(std::lround(middle - minimum / 2.0)), 0, columns - minimum);
        band.right = band.left + minimum;
        band.widened = true;
    }
    return band;
}

}  // namespace platform
