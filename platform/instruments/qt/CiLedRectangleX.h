#pragma once

#include <QFont>
#include <QPixmap>
#include <QString>

#include "platform/instruments/qt/CiLamp.h"

// Rectangular lamp: lit in its active colour or dark in its inactive colour, with a centred
// label that stays readable on either.
class QPainter;

namespace platform {

class CiLedRectangleX : public CiLamp {
    Q_OBJECT
public:
    explicit CiLedRectangleX(QWidget* parent = nullptr);

    void setLabel(const QString& label);
    QString label() const { return label_; }
    // Wrapped labels break between words. A label that does not fit the lamp at the size of
    // the labels around it (the widget's font) wraps, then is set narrower.
    void setWordWrap(bool wrap);
    bool wordWrap() const { return wordWrap_; }
    // The font the label is drawn with at the lamp's present size, and where it is drawn.
    QFont captionFont() const;
    QRectF captionArea() const;
    int captionFlags() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Draws the lamp in `fill`, the label fitted to it.
    void draw(QPainter& painter, const QColor& fill) const;
    bool captionFits(const QFont& font) const;
    int bezel() const;

    // A lamp has two looks, lit and dark, and goes from one to the other on many status lines;
    // each is drawn once (with the label's fitting, which measures the text at every size tried)
    // and kept as a picture until what it shows changes.
    struct LookKey {
        QSize size;
        QRgb fill = 0;
        QString label;
        bool wordWrap = false;
        QFont font;
        qreal pixelRatio = 0.0;
        bool operator==(const LookKey&) const = default;
    };
    struct Look {
        LookKey key;
        QPixmap picture;
    };
    Look looks_[2];  // dark, lit

    QString label_;
    bool wordWrap_ = false;
};

}  // namespace platform
