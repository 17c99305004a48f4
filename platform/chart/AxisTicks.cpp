#include "platform/chart/AxisTicks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

namespace platform {

AxisScale niceScale(double low, double high, int maxSteps) {
    if (!std::isfinite(low) || !std::isfinite(high)) {
        return {};
    }
    if (high < low) {
        std::swap(low, high);
    }
    if (high - low < 1e-9 * std::max(1.0, std::abs(high))) {
        const double pad = std::max(1.0, std::abs(low) * 0.02);
        low -= pad;
        high += pad;
    }
    maxSteps = std::max(maxSteps, 1);
    int exponent = static_cast<int>(std::floor(std::log10((high - low) / maxSteps)));
    AxisScale scale;
    // 1, 2, 2.5, 5 times 10^exponent, then the same a power of ten up, until it fits.
    for (;; ++exponent) {
        const double power = std::pow(10.0, exponent);
        for (const double mantissa : {1.0, 2.0, 2.5, 5.0}) {
            scale.step = mantissa * power;
            // A little slack, so 0.3 / 0.1 counts as three steps, not four.
            scale.low = std::floor(low / scale.step + 1e-9) * scale.step;
            scale.high = std::ceil(high / scale.step - 1e-9) * scale.step;
            if ((scale.high - scale.low) / scale.step <= maxSteps + 1e-9) {
                scale.decimals = std::max(0, -exponent + (mantissa == 2.5 ? 1 : 0));
                return scale;
            }
        }
    }
}

std::int64_t timeStep(std::int64_t spanMs, double pixels, double minSpacing) {
    static constexpr std::int64_t second = 1000;
    static constexpr std::int64_t minute = 60 * second;
    static constexpr std::int64_t hour = 60 * minute;
    static constexpr std::int64_t day = 24 * hour;
    static constexpr std::int64_t steps[] = {
        100,         200,         500,         second,  2 * second, 5 * second,
        10 * second, 15 * second, 30 * second, minute,  2 * minute, 5 * minute,
        10 * minute, 15 * minute, 30 * minute, hour,    2 * hour,   3 * hour,
        6 * hour,    12 * hour,   day,         2 * day, 7 * day};
    if (spanMs <= 0 || pixels <= 0) {
        return steps[std::size(steps) - 1];
    }
    for (const std::int64_t step : steps) {
        if (static_cast<double>(step) / static_cast<double>(spanMs) * pixels >= minSpacing) {
            return step;
        }
    }
    return steps[std::size(steps) - 1];
}

std::string secondsLabel(std::int64_t ms, std::int64_t step) {
    char text[32];
    if (step < 1000) {
        std::snprintf(text, sizeof text, "%.1f", static_cast<double>(ms) / 1000);
    } else {
        std::snprintf(text, sizeof text, "%lld", static_cast<long long>(ms / 1000));
    }
    return text;
}

std::vector<std::size_t> labelsThatFit(const std::vector<AxisLabel>& labels, int low, int high,
                                       int gap) {
    std::vector<std::pair<int, int>> taken;  // the extents placed so far
    std::vector<std::size_t> kept;
    const auto place = [&](std::size_t index) {
        const AxisLabel& label = labels[index];
        const int start = label.middle - label.size / 2;
        const int end = start + label.size;
        if (start < low || end > high) {
            return;
        }
        for (const auto& [takenStart, takenEnd] : taken) {
            if (start < takenEnd + gap && takenStart < end + gap) {
                return;
            }
        }
        taken.emplace_back(start, end);
        kept.push_back(index);
    };
    std::vector<std::size_t> order(labels.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&labels](std::size_t a, std::size_t b) {
        return labels[a].rank < labels[b].rank;
    });
    for (const std::size_t index : order) {
        place(index);
    }
    std::sort(kept.begin(), kept.end());
    return kept;
}

}  // namespace platform
