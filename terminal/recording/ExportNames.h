#pragma once
// The names under which the dashboard's values leave the program (the headless event stream,
// the CSV recording, the clipboard, Trends and --plot): each built from the dashboard's own
// caption and units, so a value reads the same on the screen and in a file, and beside it
// the value's short key from the same table (EngineDashboardMap).

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "terminal/dashboard/ControlIds.h"
#include "terminal/dashboard/DashboardState.h"
#include "terminal/dashboard/StatusRecord.h"
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
    std::string DashboardState::*text;     // what the box shows
    std::string_view TroubleCodes::*rule;  // its row in a record (StatusRecord)
};

// The four boxes in the order every export lists them.
inline constexpr std::array<TroubleCodeBoxName, 4> troubleCodeBoxes{{
    {TroubleCodeBox::engineDm1, engineDm1Caption, ids::engineDm1Edit,
     &DashboardState::engineDm1Text, &TroubleCodes::engineDm1Text},
    {TroubleCodeBox::absDm1, absDm1Caption, ids::absDm1Edit, &DashboardState::absDm1Text,
     &TroubleCodes::absDm1Text},
    {TroubleCodeBox::transmissionDm1, transmissionDm1Caption, ids::transmissionDm1Edit,
     &DashboardState::transmissionDm1Text, &TroubleCodes::transmissionDm1Text},
    {TroubleCodeBox::engineDm2, engineDm2Caption, ids::engineDm2Edit,
     &DashboardState::engineDm2Text, &TroubleCodes::engineDm2Text},
}};

// The codes a box shows on `panel` (troubleCodesShown).
inline std::vector<TroubleCode> troubleCodesShown(const TroubleCodeBoxName& box,
                                                  const DashboardState& panel) {
    return troubleCodesShown(box.box, panel.*box.text);
}

// What a record holds for each box, value and lamp.
inline std::vector<TroubleCode> troubleCodesOf(const TroubleCodeBoxName& box,
                                               const StatusRecord& record) {
    return troubleCodesShown(box.box, record.troubleCodes.*box.rule);
}
inline double valueOf(const StatusRecord& record, const EngineDisplay& display) {
    return record.engine.*display.field;
}
inline bool litIn(const StatusRecord& record, const EngineLamp& lamp) {
    return record.engine.*lamp.field;
}
inline bool litIn(const StatusRecord& record, const TroubleCodeLamp& lamp) {
    return record.troubleCodes.*lamp.field;
}

}  // namespace terminal
