#pragma once
// The order in which Tab moves through the dashboard's controls.

#include <span>

#include "platform/layout/qt/DialogLayout.h"

namespace terminal::ui {

// Reading order: the left column top to bottom (link controls, the identity boxes, the
// slider, keypad and mode boxes, the address-claim texts), then the VIN and the clock, then
// the right column (each trouble-code box before its button, the configuration button).
// Displays and lamps are read, not worked, and take no focus.
std::span<const int> dashboardTabOrder();

void orderDashboardTabs(const platform::DialogControls& controls);

}  // namespace terminal::ui
