#pragma once
// The two transfers between DashboardState and the dashboard's controls: the port combo, the
// read-only text boxes and the four mode check boxes.

#include "platform/layout/qt/DialogLayout.h"
#include "terminal/dashboard/DashboardState.h"

namespace terminal::ui {

void readPanel(const platform::DialogControls& controls, DashboardState& state);
void writePanel(const platform::DialogControls& controls, const DashboardState& state);

}  // namespace terminal::ui
