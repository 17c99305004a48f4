#pragma once
// Feeds the live TrendHistory from the session: a reading for every status line shown while
// the link is identified, and a gap at every change of the link (the values shown then are
// the reset's, or those of a device that has gone) and for any status line shown without an
// identification, whatever its values.

#include <cstdint>
#include <functional>

#include "terminal/link/SessionObserver.h"
#include "terminal/trends/TrendHistory.h"

namespace terminal {

class TrendFeed : public SessionObserver {
public:
    // `now`: milliseconds since 1970 UTC, never going back (see steadyWallClock).
    TrendFeed(TrendHistory& history, std::function<std::int64_t()> now);

    void statusShown(const VehicleSnapshot& shown, const DashboardState& panel) override;
    void linkChanged(const VehicleSnapshot& shown, const DashboardState& panel) override;

private:
    TrendHistory& history_;
    std::function<std::int64_t()> now_;
};

// The wall clock as it was when first asked, advanced by the steady clock since: times for a
// plot that neither jump nor run backwards when the system's clock is set.
std::int64_t steadyWallClock();

}  // namespace terminal
