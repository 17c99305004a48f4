#include "platform/instruments/qt/LampAccessible.h"

#include "platform/instruments/qt/CiLamp.h"
#include "platform/instruments/qt/CiLedRectangleX.h"

namespace platform {

LampAccessible::LampAccessible(QWidget* lamp) : QAccessibleWidget(lamp, QAccessible::CheckBox) {}

void LampAccessible::announceLit(QWidget* lamp) {
    if (!QAccessible::isActive()) {
        return;
    }
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(lamp, changed);
    QAccessible::updateAccessibility(&event);
}

bool LampAccessible::lit() const {
    const auto* lamp = qobject_cast<const CiLamp*>(widget());
    return lamp != nullptr && lamp->isActive();
}

QString LampAccessible::text(QAccessible::Text kind) const {
    const QString given = QAccessibleWidget::text(kind);
    if (kind == QAccessible::Name && given.isEmpty()) {
        if (const auto* rectangle = qobject_cast<const CiLedRectangleX*>(widget())) {
            return rectangle->label();
        }
    }
    return given;
}

QAccessible::State LampAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = lit();
    state.readOnly = true;
    return state;
}

}  // namespace platform
