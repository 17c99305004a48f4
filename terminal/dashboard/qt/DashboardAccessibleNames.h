#pragma once
// Names the dashboard's controls for screen readers and GUI test tools.

#include "platform/layout/qt/DialogLayout.h"

namespace terminal::ui {

// The slider shows no caption of its own; the level is what it sets.
inline constexpr const char* levelSliderName = "Level";

// Gives every control that shows no caption of its own the one a reader sees for it: the
// displays their captions and the lamps their labels from the tables the exports use (a
// trouble-code lamp with its controller: "ABS Amber"), text boxes and the port list the label
// before them or their group box's caption ("Serial Number", "Engine DM1", with the column
// caption above a trouble-code box as its description). Buttons whose captions repeat get
// their group box's caption in front ("Engine DM2 Multi-Packets").
void nameDashboardControls(const platform::DialogControls& controls);

}  // namespace terminal::ui
