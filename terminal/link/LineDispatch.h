#pragma once
// Acts on one complete, upper-cased line from the receive window: the four answers, the
// identification answer and the three status lines. Unknown lines and lines that fail their
// checksum are dropped without a word.

#include <optional>
#include <string_view>

#include "terminal/dashboard/DashboardState.h"
#include "terminal/link/ProtocolHooks.h"
#include "terminal/link/SessionState.h"

namespace terminal {

class LineDispatch {
public:
    LineDispatch(SessionState& session, DashboardState& dashboard, ProtocolHooks& hooks);

    void dispatch(std::string_view line);

private:
    void answer(std::string_view line);
    void statusLine(std::string_view line);
    void identificationAnswer(std::string_view line);
    void addressClaimStatus(std::string_view line);
    // The modes the line reported, once it has been acted on; nothing for a bad checksum.
    std::optional<SimulationModes> simulationStatus(std::string_view line);
    void engineClock(std::string_view line);
    // checksumMatches, remembering a failure for the line counters.
    bool checksumChecked(std::string_view line, std::size_t length);

    SessionState& session_;
    DashboardState& dashboard_;
    ProtocolHooks& hooks_;
    bool checksumFailed_ = false;
};

}  // namespace terminal
