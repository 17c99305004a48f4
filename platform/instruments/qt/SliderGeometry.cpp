#include "platform/instruments/qt/SliderGeometry.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {
// The slider's parts are measured in the tick numbers' line height, so that they grow and
// shrink with the font: at the dialog font that line is 12 pixels high, and the parts below
// are in those pixels.
constexpr qreal numberLine = 12.0;
constexpr qreal sidePadding = 2.0;
constexpr qreal tickLength = 5.0;
constexpr qreal trackThickness = 5.0;
constexpr qreal smallestHalfThumb = 3.0;
constexpr qreal largestHalfThumb = 7.0;
// Below these heights the numbers, then the ticks, give way to the thumb and track.
constexpr qreal heightForNumbers = 36.0;
constexpr qreal heightForTicks = 20.0;
}  // namespace

SliderGeometry::SliderGeometry(QSize size, int maximum, qreal numberHeight, qreal numberWidth)
    : maximum_(std::max(1, maximum)), unit_(std::max(0.25, numberHeight / numberLine)) {
    const qreal width = size.width();
    const qreal height = size.height();
    halfThumb_ =
        std::clamp(std::floor(height / 6.0), smallestHalfThumb * unit_, largestHalfThumb * unit_);
    // The track ends where the thumb's centre can go, so the thumb never leaves the widget; it
    // also leaves room for half of the first and last tick number.
    const qreal edge = sidePadding * unit_ + std::max(halfThumb_, numberWidth / 2.0);
    trackLeft_ = edge;
    trackRight_ = std::max(edge + 1.0, width - edge);

    const qreal spacing = (trackRight_ - trackLeft_) / (majorTicks - 1);
    showsNumbers_ = height >= heightForNumbers * unit_ && spacing >= numberWidth + 3.0 * unit_;
    showsTicks_ = height >= heightForTicks * unit_;

    qreal top = unit_;
    if (showsNumbers_) {
        numbersBand_ = QRectF(0.0, top, width, numberHeight);
        top += numberHeight + unit_;
    }
    tickTop_ = top;
    tickBottom_ = showsTicks_ ? top + tickLength * unit_ : top;
    thumbTop_ = showsTicks_ ? tickBottom_ + 2.0 * unit_ : top;
    thumbBottom_ = std::max(thumbTop_ + 2.0 * halfThumb_ + 2.0 * unit_, height - 2.0 * unit_);

    // The track runs through the middle of the thumb's square body.
    const qreal bodyMiddle = (thumbTop_ + halfThumb_ + thumbBottom_) / 2.0;
    const qreal thickness = trackThickness * unit_;
    trackRect_ = QRectF(trackLeft_ - halfThumb_, bodyMiddle - thickness / 2.0,
                        trackRight_ - trackLeft_ + 2.0 * halfThumb_, thickness);
}

qreal SliderGeometry::xFor(double position) const {
    const double clamped = std::clamp(position, 0.0, double(maximum_));
    return trackLeft_ + (trackRight_ - trackLeft_) * clamped / maximum_;
}

double SliderGeometry::positionAt(qreal x) const {
    const double fraction = (x - trackLeft_) / (trackRight_ - trackLeft_);
    return std::clamp(fraction, 0.0, 1.0) * maximum_;
}

QPolygonF SliderGeometry::thumbAt(double position) const {
    const qreal x = xFor(position);
    return QPolygonF({QPointF(x, thumbTop_), QPointF(x + halfThumb_, thumbTop_ + halfThumb_),
                      QPointF(x + halfThumb_, thumbBottom_), QPointF(x - halfThumb_, thumbBottom_),
                      QPointF(x - halfThumb_, thumbTop_ + halfThumb_)});
}

QRectF SliderGeometry::thumbRectAt(double position) const {
    const qreal x = xFor(position);
    return QRectF(x - halfThumb_, thumbTop_, 2.0 * halfThumb_, thumbBottom_ - thumbTop_);
}

}  // namespace platform
