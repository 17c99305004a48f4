#pragma once
// The About sequence: the About box opened modally with what the core allows, then the core's
// baud-rate change with how the box closed. A serial-layer error leaves it for the caller's
// edge.

class QWidget;

namespace terminal {
class BaudRateChange;
}

namespace terminal::ui {

void runAboutSequence(QWidget* parent, BaudRateChange& change);

}  // namespace terminal::ui
