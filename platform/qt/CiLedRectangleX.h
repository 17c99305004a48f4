#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

// Rectangular lamp: lit in its active colour or dark in its inactive colour, with a centred
// label that stays readable on either.
class CiLedRectangleX : public QWidget {
    Q_OBJECT
public:
    explicit CiLedRectangleX(QWidget* parent = nullptr);

    void setActive(bool active);
    bool isActive() const { return active_; }

    void setActiveColor(const QColor& color);
    QColor activeColor() const { return activeColor_; }
    void setInactiveColor(const QColor& color);
    QColor inactiveColor() const { return inactiveColor_; }

    void setLabel(const QString& label);
    QString label() const { return label_; }
    // Wrapped labels break between words; the text shrinks until it fits the lamp.
    void setWordWrap(bool wrap);
    bool wordWrap() const { return wordWrap_; }

    // The colour the lamp shows now.
    QColor currentColor() const { return active_ ? activeColor_ : inactiveColor_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool active_ = false;
    QColor activeColor_{40, 220, 40};
    QColor inactiveColor_{Qt::black};
    QString label_;
    bool wordWrap_ = false;
};
