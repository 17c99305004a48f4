#pragma once
// The loader window's and the About box's controls, in dialog units.

#include <span>

#include "platform/layout/qt/DialogLayout.h"

namespace loader::ui {

inline constexpr int loaderWidth = 320;
inline constexpr int loaderHeight = 266;
std::span<const platform::ControlRow> loaderControls();

inline constexpr int aboutWidth = 235;
inline constexpr int aboutHeight = 63;
std::span<const platform::ControlRow> aboutControls();
// Where the About box shows the program's icon.
inline constexpr int aboutIconX = 11, aboutIconY = 17, aboutIconSize = 20;

}  // namespace loader::ui
