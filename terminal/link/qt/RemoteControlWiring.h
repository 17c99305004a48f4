#pragma once
// Connects the "Step 2" group's controls to the core's RemoteControl: the three keypad
// buttons and four mode check boxes by their clicks, the level slider by its notifications.
// Every handler runs through the window's edge, which shows a serial-layer error.

#include <QObject>
#include <functional>

#include "platform/layout/qt/DialogLayout.h"

namespace terminal {
class RemoteControl;
}

namespace terminal::ui {

// Runs one event handler at the window's edge.
using EventEdge = std::function<void(const std::function<void()>&)>;

void wireRemoteControls(const platform::DialogControls& controls, QObject* context,
                        RemoteControl& remote, EventEdge edge);

}  // namespace terminal::ui
