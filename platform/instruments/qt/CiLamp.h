#pragma once

#include <QColor>
#include <QWidget>

namespace platform {

// What the painted lamps share: lit or dark, a colour for each, and a word to screen readers
// when that changes. The looks are the lamps' own.
class CiLamp : public QWidget {
    Q_OBJECT
public:
    void setActive(bool active);
    bool isActive() const { return active_; }

    void setActiveColor(const QColor& color);
    QColor activeColor() const { return activeColor_; }
    void setInactiveColor(const QColor& color);
    QColor inactiveColor() const { return inactiveColor_; }

    // The colour the lamp shows now.
    QColor currentColor() const { return active_ ? activeColor_ : inactiveColor_; }

protected:
    CiLamp(QWidget* parent, const QColor& inactiveColor);

private:
    bool active_ = false;
    QColor activeColor_{40, 220, 40};
    QColor inactiveColor_;
};

}  // namespace platform
