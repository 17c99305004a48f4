#pragma once
// The names under which the dashboard's values leave the program (the headless event stream,
// and any other export): each built from the dashboard's own caption and units, so a value
// reads the same on the screen and in a file.

#include <string>
#include <string_view>

#include "terminal/core/EngineDashboardMap.h"
#include "terminal/core/TroubleCodes.h"

namespace terminal {

// A caption or unit as the dashboard pads it, without its padding spaces.
std::string_view withoutPadding(std::string_view text);
// A trouble-code box's text without the line ends after its last row.
std::string_view withoutLineEnd(std::string_view rows);

// The display's caption and its units in brackets, both without their padding spaces:
// "Engine RPM [RPM]", "Engine Coolant Temp (F) [F]", "EGR Mass Flow Rate [kg/Hr]".
std::string engineValueName(const EngineDisplay& display);

// A DM1 lamp with the controller whose group box holds it: "Engine Amber", "ABS Red Stop".
std::string troubleCodeLampName(const TroubleCodeLamp& lamp);

// The captions of the four trouble-code boxes' group boxes.
inline constexpr std::string_view engineDm1Caption = "Engine DM1";
inline constexpr std::string_view absDm1Caption = "ABS DM1";
inline constexpr std::string_view transmissionDm1Caption = "Transmission DM1";
inline constexpr std::string_view engineDm2Caption = "Engine DM2";

}  // namespace terminal
