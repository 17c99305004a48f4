#pragma once
// The level-driven refresh of the dashboard (engine values, lamps, VIN, trouble codes) and
// the trouble-code step of the reset. Implemented beside the engine model and the
// trouble-code rules; the session and the line dispatch call these.

#include <cstdint>
#include <string>

#include "terminal/dashboard/DashboardState.h"
#include "terminal/dashboard/TerminalView.h"

namespace terminal {

// The list texts of the two multi-packet dialogs (engine DM1, engine DM2).
struct MultiPacketLists {
    std::string engineDm1;
    std::string engineDm2;
};

// readPanel, compute the engine parameters for `level`, write the 27 displays, 21 lamps and
// the VIN, run updateTroubleCodes, writePanel. `firmwareVersion` is the session's number
// (0 while no identification is in force).
void applyLevel(std::uint8_t level, TerminalView& view, DashboardState& state,
                std::uint16_t firmwareVersion);

// Trouble-code texts, the six DM1 lamps and buttons 1045/1047 for `level`.
void updateTroubleCodes(std::uint8_t level, TerminalView& view, DashboardState& state,
                        std::uint16_t firmwareVersion);

// Zero rows in the four boxes, boxes 1041..1044 and button 1046 disabled, lists rebuilt.
void resetTroubleCodes(TerminalView& view, DashboardState& state, MultiPacketLists& lists);

}  // namespace terminal
