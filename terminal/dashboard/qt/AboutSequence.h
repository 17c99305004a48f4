#pragma once
// The About sequence: the About box opened modally with what the core allows, then the core's
// baud-rate change with how the box closed. A serial-layer error leaves it for the caller's
// edge.

#include <functional>

class QWidget;

namespace terminal {
class BaudRateChange;
}

namespace terminal::ui {

// `mayChange`, when given, is asked before a confirmed change is made; false drops it (the
// operator's hand is refused while a sequence runs).
void runAboutSequence(QWidget* parent, BaudRateChange& change,
                      const std::function<bool()>& mayChange = {});

}  // namespace terminal::ui
