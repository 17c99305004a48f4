#pragma once
// Names the loader window's controls for screen readers and GUI test tools.

#include "platform/layout/qt/DialogLayout.h"

namespace loader::ui {

// Gives the text boxes, lists and bars the label before them or their group box's caption
// ("Total Bytes", "Port", "Flash Erasing", "Programming"), and each status lamp its group's
// caption with the label beside it ("Connection status On", "Connection status Off").
void nameLoaderControls(const platform::DialogControls& controls);

}  // namespace loader::ui
