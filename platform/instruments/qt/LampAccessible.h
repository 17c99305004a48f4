#pragma once

#include <QAccessibleWidget>

namespace platform {

// What a screen reader or a GUI test reads from a lamp (rectangular or round): a read-only
// check box, checked while the lamp is lit. Its name is the accessible name its window gives
// it, else the label painted on it.
class LampAccessible : public QAccessibleWidget {
public:
    // `lamp` is a CiLedRectangleX or a CiLedRoundX.
    explicit LampAccessible(QWidget* lamp);

    // Tells a listening client that the lamp went on or off. Builds and sends nothing while no
    // accessibility client is active.
    static void announceLit(QWidget* lamp);

    QString text(QAccessible::Text kind) const override;
    QAccessible::State state() const override;

private:
    bool lit() const;
};

}  // namespace platform
