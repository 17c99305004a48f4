#pragma once

#include <QAccessibleWidget>

namespace platform {

class CiSliderX;

// What a screen reader or a GUI test reads from and does with the level slider: a slider with
// its range and position. A value set through it moves the thumb the way the operator does
// (CiSliderX::setPositionByOperator), so whatever the window does for an operator's change
// follows.
class CiSliderXAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit CiSliderXAccessible(CiSliderX* slider);

    // Tells a listening client the slider's new position. Builds and sends nothing while no
    // accessibility client is active.
    static void announceValue(CiSliderX* slider, double position);

    QString text(QAccessible::Text kind) const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleValueInterface.
    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    CiSliderX* slider() const;
};

}  // namespace platform
