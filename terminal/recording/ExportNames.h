#pragma once
// The names under which the dashboard's values leave the program (the headless event stream,
// and any other export): each built from the dashboard's own caption and units, so a value
// reads the same on the screen and in a file.

#include <array>
#include <string>
#include <string_view>

#include "terminal/dashboard/ControlIds.h"
#include "terminal/dashboard/DashboardState.h"
#include "terminal/troublecodes/TroubleCodeNumbers.h"
#include "terminal/troublecodes/TroubleCodes.h"
#include "terminal/vehicle/EngineDashboardMap.h"

namespace terminal {

// A caption or unit as the dashboard pads it, without its padding spaces.
std::string_view withoutPadding(std::string_view text);

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

struct TroubleCodeBoxName {
    TroubleCodeBox box;
    std::string_view caption;
    int id;
    std::string DashboardState::*text;
};

// The four boxes in the order every export lists them.
inline constexpr std::array<TroubleCodeBoxName, 4> troubleCodeBoxes{{
    {TroubleCodeBox::engineDm1, engineDm1Caption, ids::engineDm1Edit,
     &DashboardState::engineDm1Text},
    {TroubleCodeBox::absDm1, absDm1Caption, ids::absDm1Edit, &DashboardState::absDm1Text},
    {TroubleCodeBox::transmissionDm1, transmissionDm1Caption, ids::transmissionDm1Edit,
     &DashboardState::transmissionDm1Text},
    {TroubleCodeBox::engineDm2, engineDm2Caption, ids::engineDm2Edit,
     &DashboardState::engineDm2Text},
}};

// The codes a box shows on `panel` (troubleCodesShown).
inline std::vector<TroubleCode> troubleCodesShown(const TroubleCodeBoxName& box,
                                                  const DashboardState& panel) {
    return troubleCodesShown(box.box, panel.*box.text);
}

}  // namespace terminal
