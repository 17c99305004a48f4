#include "platform/instruments/qt/CiSliderXAccessible.h"

#include "platform/instruments/qt/CiSliderX.h"

namespace platform {

CiSliderXAccessible::CiSliderXAccessible(CiSliderX* slider)
    : QAccessibleWidget(slider, QAccessible::Slider) {}

void CiSliderXAccessible::announceValue(CiSliderX* slider, double position) {
    if (!QAccessible::isActive()) {
        return;
    }
    QAccessibleValueChangeEvent event(slider, position);
    QAccessible::updateAccessibility(&event);
}

CiSliderX* CiSliderXAccessible::slider() const {
    return static_cast<CiSliderX*>(widget());
}

QString CiSliderXAccessible::text(QAccessible::Text kind) const {
    if (kind == QAccessible::Value) {
        return QString::number(slider()->getPosition());
    }
    return QAccessibleWidget::text(kind);
}

void* CiSliderXAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface) {
        return static_cast<QAccessibleValueInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QVariant CiSliderXAccessible::currentValue() const {
    return slider()->getPosition();
}

void CiSliderXAccessible::setCurrentValue(const QVariant& value) {
    bool isNumber = false;
    const double position = value.toDouble(&isNumber);
    if (isNumber) {
        slider()->setPositionByOperator(position);
    }
}

QVariant CiSliderXAccessible::maximumValue() const {
    return slider()->maximum();
}

QVariant CiSliderXAccessible::minimumValue() const {
    return 0;
}

QVariant CiSliderXAccessible::minimumStepSize() const {
    return CiSliderX::arrowStep;
}

}  // namespace platform
