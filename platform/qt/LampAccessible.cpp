#include "platform/qt/LampAccessible.h"

#include "platform/qt/CiLedRectangleX.h"
#include "platform/qt/CiLedRoundX.h"

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
    if (const auto* rectangle = qobject_cast<const CiLedRectangleX*>(widget())) {
        return rectangle->isActive();
    }
    const auto* round = qobject_cast<const CiLedRoundX*>(widget());
    return round != nullptr && round->isActive();
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
