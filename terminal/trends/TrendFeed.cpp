#include "terminal/trends/TrendFeed.h"

#include <chrono>

#include "terminal/trends/TrendItems.h"

namespace terminal {

TrendFeed::TrendFeed(TrendHistory& history, std::function<std::int64_t()> now)
    : history_(history), now_(std::move(now)) {}

void TrendFeed::statusShown(const VehicleSnapshot& shown, const DashboardState& /*panel*/) {
    if (shown.link == LinkState::identified) {
        history_.addReading(now_(), static_cast<std::uint8_t>(shown.level), lampBits(shown));
    } else {
        history_.addGap(now_());
    }
}

void TrendFeed::linkChanged(const VehicleSnapshot& /*shown*/, const DashboardState& /*panel*/) {
    history_.addGap(now_());
}

std::int64_t steadyWallClock() {
    using namespace std::chrono;
    static const auto wallStart = system_clock::now();
    static const auto steadyStart = steady_clock::now();
    const auto wall =
        wallStart + duration_cast<system_clock::duration>(steady_clock::now() - steadyStart);
    return duration_cast<milliseconds>(wall.time_since_epoch()).count();
}

}  // namespace terminal
