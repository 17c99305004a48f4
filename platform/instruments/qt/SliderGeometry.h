#pragma once

#include <QPolygonF>
#include <QRectF>
#include <QSize>

namespace platform {

// Where the level slider's parts sit in a widget of a given size, and how a horizontal pixel
// position maps to a slider position. Plain arithmetic, so the widget's mouse handling and its
// painting agree by construction.
class SliderGeometry {
public:
    // numberHeight: pixel height of the tick numbers' font; numberWidth: width of the widest
    // tick number ("100"). Every part is sized in proportion to numberHeight, so the slider
    // scales with its font. Numbers are left out when they do not fit.
    SliderGeometry(QSize size, int maximum, qreal numberHeight, qreal numberWidth);

    static constexpr int majorTicks = 11;

    int maximum() const { return maximum_; }
    // The width of a line (tick, outline) in pixels: 1 at the dialog font.
    qreal lineWidth() const { return unit_; }
    bool showsNumbers() const { return showsNumbers_; }
    bool showsTicks() const { return showsTicks_; }

    qreal trackLeft() const { return trackLeft_; }
    qreal trackRight() const { return trackRight_; }

    // Pixel column of a slider position (clamped to the range).
    qreal xFor(double position) const;
    // Slider position under a pixel column, clamped to 0..maximum.
    double positionAt(qreal x) const;

    QRectF numbersBand() const { return numbersBand_; }
    qreal tickTop() const { return tickTop_; }
    qreal tickBottom() const { return tickBottom_; }
    QRectF trackRect() const { return trackRect_; }
    // The pointer-shaped thumb at a position, tip towards the ticks.
    QPolygonF thumbAt(double position) const;
    QRectF thumbRectAt(double position) const;

private:
    int maximum_;
    qreal unit_;
    qreal halfThumb_;
    qreal trackLeft_;
    qreal trackRight_;
    bool showsNumbers_;
    bool showsTicks_;
    QRectF numbersBand_;
    qreal tickTop_;
    qreal tickBottom_;
    qreal thumbTop_;
    qreal thumbBottom_;
    QRectF trackRect_;
};

}  // namespace platform
