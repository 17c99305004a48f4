#pragma once

#include <QColor>
#include <QWidget>

// Round lamp: a lit or dark disc, centred in the widget.
class CiLedRoundX : public QWidget {
    Q_OBJECT
public:
    explicit CiLedRoundX(QWidget* parent = nullptr);

    void setActive(bool active);
    bool isActive() const { return active_; }

    void setActiveColor(const QColor& color);
    QColor activeColor() const { return activeColor_; }
    void setInactiveColor(const QColor& color);
    QColor inactiveColor() const { return inactiveColor_; }

    // The colour the lamp shows now.
    QColor currentColor() const { return active_ ? activeColor_ : inactiveColor_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool active_ = false;
    QColor activeColor_{40, 220, 40};
    // An unlit green lamp: dark, but recognisably a lamp rather than a hole.
    QColor inactiveColor_{20, 60, 20};
};
