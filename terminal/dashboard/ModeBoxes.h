#pragma once
// The four mode boxes by control id, as the fields of the dashboard's record that hold them:
// one table for every caller that sets or reads a mode by its box.

#include "terminal/dashboard/ControlIds.h"
#include "terminal/dashboard/DashboardState.h"

namespace terminal {

using ModeField = bool DashboardState::*;

// The field of a mode box's id; an id that is no mode box gives Reset Eng DM2's.
inline ModeField modeFieldOf(int controlId) {
    switch (controlId) {
        case ids::dynamicCheck:
            return &DashboardState::dynamicOn;
        case ids::quietCheck:
            return &DashboardState::quietOn;
        case ids::warningsCheck:
            return &DashboardState::warningsOn;
        default:
            return &DashboardState::resetEngineDm2On;
    }
}

}  // namespace terminal
