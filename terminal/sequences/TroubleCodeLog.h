#pragma once
// The trouble codes a run came across: each code of each list with when it was first and last
// shown, so a report can say which codes appeared where, and for how long, without the whole
// recording.

#include <cstdint>
#include <string>
#include <vector>

#include "terminal/dashboard/DashboardState.h"

namespace terminal::sequences {

struct SeenTroubleCode {
    std::string list;  // the box's caption: "Engine DM1"
    std::uint32_t spn = 0;
    int fmi = 0;
    int oc = 0;  // as last shown
    int cm = 0;
    double firstSeconds = 0;  // since the run started
    double lastSeconds = 0;
};

class TroubleCodeLog {
public:
    // What the four boxes show at `seconds`.
    void observe(double seconds, const DashboardState& panel);
    // In the order first seen; a code is one list's SPN and FMI.
    const std::vector<SeenTroubleCode>& codes() const { return codes_; }

private:
    std::vector<SeenTroubleCode> codes_;
};

}  // namespace terminal::sequences
