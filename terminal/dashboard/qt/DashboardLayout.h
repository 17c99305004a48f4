#pragma once
// The dashboard window's layout (template 102) as data: rectangles in dialog units, captions,
// and the property sets of its instruments (units, decimals, lamp colours).

#include <QColor>
#include <span>

#include "platform/layout/qt/DialogLayout.h"

namespace terminal::ui {

inline constexpr int dashboardWidth = 645;  // dialog units
inline constexpr int dashboardHeight = 403;

// Group boxes and static captions: no ids, behind the controls.
std::span<const platform::ControlRow> dashboardFrames();

// Every control with an id, in the order the ids run.
std::span<const platform::ControlRow> dashboardControls();

// Numeric displays: units text and decimals; all show bold lime-green digits.
inline constexpr int defaultDecimals = -1;  // the display's own choice
struct DisplaySetup {
    int id;
    const char* units;
    int decimals;
};
std::span<const DisplaySetup> dashboardDisplays();

// Rectangular lamps: lit colour; every lamp is black when dark. An invalid colour keeps the
// widget's own default.
struct LampSetup {
    int id;
    QColor activeColour;
};
std::span<const LampSetup> dashboardLamps();

}  // namespace terminal::ui
