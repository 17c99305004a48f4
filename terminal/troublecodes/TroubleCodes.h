#pragma once
// The simulator's DM1/DM2 trouble codes as the terminal mirrors them: fixed rows chosen by
// the level, the Warnings and Reset Eng DM2 modes, and whether an identification is in force.

#include <array>
#include <cstdint>
#include <string_view>

#include "terminal/vehicle/LampColour.h"

namespace terminal {

struct TroubleCodes {
    std::string_view engineDm1Text;        // 1041
    std::string_view engineDm2Text;        // 1044
    std::string_view transmissionDm1Text;  // 1043
    std::string_view absDm1Text;           // 1042

    bool engineAmberLamp = false;          // 1032
    bool engineRedStopLamp = false;        // 1031
    bool transmissionAmberLamp = false;    // 1035
    bool transmissionRedStopLamp = false;  // 1033
    bool absAmberLamp = false;             // 1036
    bool absRedStopLamp = false;           // 1034

    bool engineDm1ButtonEnabled = false;  // 1045, opens the engine DM1 multi-packet list
    bool engineDm2ButtonEnabled = false;  // 1047, opens the engine DM2 multi-packet list
};

// `firmwareVersion` 0 means no identification is in force: every box shows the zero row,
// every lamp is dark and both Multi-Packets buttons are disabled.
TroubleCodes computeTroubleCodes(std::uint8_t level, bool warningsOn, bool resetEngineDm2On,
                                 std::uint16_t firmwareVersion);

struct TroubleCodeLamp {
    int id;
    bool TroubleCodes::*field;
    std::string_view label;
    LampColour colour;
};

// The six DM1 lamps, in the order the update writes them.
inline constexpr std::array<TroubleCodeLamp, 6> troubleCodeLamps{{
    {1032, &TroubleCodes::engineAmberLamp, "Amber", LampColour::amber},
    {1031, &TroubleCodes::engineRedStopLamp, "Red Stop", LampColour::red},
    {1035, &TroubleCodes::transmissionAmberLamp, "Amber", LampColour::amber},
    {1033, &TroubleCodes::transmissionRedStopLamp, "Red Stop", LampColour::red},
    {1036, &TroubleCodes::absAmberLamp, "Amber", LampColour::amber},
    {1034, &TroubleCodes::absRedStopLamp, "Red Stop", LampColour::red},
}};

}  // namespace terminal
