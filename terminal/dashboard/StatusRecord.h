#pragma once
// One simulation status line as every export gives it (the headless and socket status event,
// a row of the CSV recording, Copy all values): the level its values are for, the modes the
// simulator reported in it, and the values, lamps and trouble codes of exactly that level and
// those modes, worked out by the rules the dashboard itself follows. The window shows a line's
// codes with the modes its boxes held before the line (a mode change reaches the boxes with
// the next line); an export is data, so a record never pairs one line's modes with another's
// codes.

#include <cstdint>

#include "terminal/troublecodes/TroubleCodes.h"
#include "terminal/vehicle/EngineParameters.h"

namespace terminal {

// The four modes of a status line's flags byte.
struct SimulationModes {
    bool dynamicOn = false;
    bool quietOn = false;
    bool warningsOn = false;
    bool resetEngineDm2On = false;

    friend bool operator==(const SimulationModes&, const SimulationModes&) = default;
};

struct StatusRecord {
    std::uint8_t level = 0;
    SimulationModes modes;
    EngineParameters engine;    // the 27 values, the 21 lamps, the VIN
    TroubleCodes troubleCodes;  // the four boxes' rows and the six DM1 lamps
};

// `firmwareVersion` as for computeTroubleCodes (0: no identification in force).
StatusRecord statusRecord(std::uint8_t level, const SimulationModes& modes,
                          std::uint16_t firmwareVersion);

}  // namespace terminal
