#pragma once
// An expect step's condition against what the dashboard shows now: met or not, and what was
// seen, in words a report can print beside what was expected.

#include <string>
#include <string_view>

#include "terminal/dashboard/DashboardState.h"
#include "terminal/dashboard/VehicleSnapshot.h"
#include "terminal/protocol/LinkState.h"
#include "terminal/sequences/SequenceSteps.h"

namespace terminal::sequences {

struct Check {
    bool met = false;
    std::string seen;
};

Check checkExpectation(const Expectation& expect, LinkState link, const VehicleSnapshot& shown,
                       const DashboardState& panel);

// A mode box's state on the panel by its command word ("warnings", "reset-dm2").
bool modeOn(const DashboardState& panel, std::string_view word);

}  // namespace terminal::sequences
