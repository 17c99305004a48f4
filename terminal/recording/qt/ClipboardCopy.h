#pragma once
// Copying from the dashboard: "Copy all values" in the window's context menu, and "Copy"
// (context menu and Ctrl+C) on each trouble-code box and multi-packet list, which copies the
// codes it shows as tab-separated columns under "SPN<TAB>FMI<TAB>OC<TAB>CM", so a spreadsheet
// takes them as four columns. The boxes and lists are set in a fixed-pitch font so that their
// columns stand under each other.

#include <QFont>
#include <functional>
#include <vector>

#include "terminal/troublecodes/TroubleCodeNumbers.h"

class QAction;
class QWidget;

namespace terminal {
class TerminalCore;
}

namespace terminal::ui {

inline constexpr const char* copyAllValuesCaption = "Copy all values";
inline constexpr const char* copyCaption = "Copy";
// The widest text a dashboard trouble-code box shows (the zero row, wide layout).
inline constexpr const char* troubleCodeWidestRow = "   0     0      0     0";

// Adds "Copy all values" to `window`'s context menu.
QAction* addCopyAllValues(QWidget* window, TerminalCore& core);

// Gives `box` its "Copy" menu and Ctrl+C; `codes` gives the codes it shows at the moment of
// copying.
void makeTroubleCodeCopyable(QWidget* box, std::function<std::vector<TroubleCode>()> codes);

// The fixed-pitch font at the largest size up to `largest` pixels at which `widestRow` fits
// `room` pixels.
QFont troubleCodeFont(double room, const char* widestRow, int largest);

// Keeps `box` in the fixed-pitch font sized for `widestRow`, now and whenever the box is
// resized (the dashboard scales with its window).
void keepTroubleCodeFontFitted(QWidget* box, const char* widestRow);

}  // namespace terminal::ui
