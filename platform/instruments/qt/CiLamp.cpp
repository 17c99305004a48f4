#include "platform/instruments/qt/CiLamp.h"

#include "platform/instruments/qt/LampAccessible.h"

namespace platform {

CiLamp::CiLamp(QWidget* parent, const QColor& inactiveColor)
    : QWidget(parent), inactiveColor_(inactiveColor) {}

void CiLamp::setActive(bool active) {
    // Written on every update; repainted only when what it shows changes.
    if (active != active_) {
        active_ = active;
        update();
        LampAccessible::announceLit(this);
    }
}

void CiLamp::setActiveColor(const QColor& color) {
    activeColor_ = color;
    update();
}

void CiLamp::setInactiveColor(const QColor& color) {
    inactiveColor_ = color;
    update();
}

}  // namespace platform
