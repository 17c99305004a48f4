#include "Turnaround.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace boot_target {

std::string Turnaround::summary() const {
    if (samples_.empty()) {
        return "no image bytes measured";
    }
    std::vector<double> sorted = samples_;
    std::sort(sorted.begin(), sorted.end());
    auto at = [&](double q) {
        auto index =
            static_cast<std::size_t>(std::ceil(q * static_cast<double>(sorted.size()))) - 1;
        return sorted[std::min(index, sorted.size() - 1)];
    };
    char text[160];
    std::snprintf(text, sizeof text, "median %.0f us, p99 %.0f us, max %.0f us (%zu samples)",
                  at(0.5), at(0.99), sorted.back(), sorted.size());
    return text;
}

}  // namespace boot_target
