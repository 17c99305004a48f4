#include "platform/instruments/qt/SliderPainter.h"

#include <QLinearGradient>
#include <QPainter>
#include <cmath>

#include "platform/instruments/qt/SliderGeometry.h"

namespace platform {

namespace {
// Ticks every tenth of the range, and a shorter one half way between each pair.
constexpr int tickIntervals = 2 * (SliderGeometry::majorTicks - 1);
}  // namespace

QFont SliderPainter::numberFont(const QFont& base) {
    // The labels' own font, scaled with the window as they are.
    return base;
}

void SliderPainter::paint(QPainter& painter, const SliderGeometry& shape, double position,
                          bool enabled, const QColor& ink, const QFont& font) {
    paintScale(painter, shape, enabled, ink, font);
    paintThumb(painter, shape, position, enabled);
}

void SliderPainter::paintScale(QPainter& painter, const SliderGeometry& shape, bool enabled,
                               const QColor& ink, const QFont& font) {
    painter.setRenderHint(QPainter::Antialiasing);
    if (shape.showsTicks()) {
        paintTicks(painter, shape, ink);
    }
    if (shape.showsNumbers()) {
        paintNumbers(painter, shape, ink, font);
    }
    paintTrack(painter, shape, enabled);
}

void SliderPainter::paintTicks(QPainter& painter, const SliderGeometry& shape, const QColor& ink) {
    const qreal line = std::max(1.0, std::round(shape.lineWidth()));
    painter.setPen(QPen(ink, line));
    const qreal minorTop = (shape.tickTop() + shape.tickBottom()) / 2.0;
    for (int i = 0; i <= tickIntervals; ++i) {
        const double at = double(shape.maximum()) * i / tickIntervals;
        // Centred on a pixel (or between two) so that the lines stay crisp.
        const qreal x = std::round(shape.xFor(at)) + std::fmod(line, 2.0) / 2.0;
        painter.drawLine(QPointF(x, i % 2 == 0 ? shape.tickTop() : minorTop),
                         QPointF(x, shape.tickBottom()));
    }
}

void SliderPainter::paintNumbers(QPainter& painter, const SliderGeometry& shape, const QColor& ink,
                                 const QFont& font) {
    painter.setFont(numberFont(font));
    painter.setPen(ink);
    const QRectF band = shape.numbersBand();
    for (int i = 0; i < SliderGeometry::majorTicks; ++i) {
        const int value =
            int(std::lround(double(shape.maximum()) * i / (SliderGeometry::majorTicks - 1)));
        const qreal x = shape.xFor(value);
        const qreal half = band.height() * 2.0;
        painter.drawText(QRectF(x - half, band.top(), 2.0 * half, band.height()), Qt::AlignCenter,
                         QString::number(value));
    }
}

void SliderPainter::paintTrack(QPainter& painter, const SliderGeometry& shape, bool enabled) {
    const QColor groove = enabled ? QColor(30, 90, 200) : QColor(160, 160, 160);
    painter.setPen(QPen(groove.darker(160), shape.lineWidth()));
    painter.setBrush(groove);
    painter.drawRoundedRect(shape.trackRect(), 2.0 * shape.lineWidth(), 2.0 * shape.lineWidth());
}

void SliderPainter::paintThumb(QPainter& painter, const SliderGeometry& shape, double position,
                               bool enabled) {
    painter.setRenderHint(QPainter::Antialiasing);
    // Shaded left to right like a raised key; flat and pale when disabled.
    const QPolygonF thumb = shape.thumbAt(position);
    const QRectF box = thumb.boundingRect();
    QLinearGradient shade(box.topLeft(), box.topRight());
    shade.setColorAt(0.0, enabled ? QColor(250, 250, 250) : QColor(225, 225, 225));
    shade.setColorAt(1.0, enabled ? QColor(170, 170, 175) : QColor(225, 225, 225));
    painter.setPen(QPen(enabled ? QColor(60, 60, 60) : QColor(150, 150, 150), shape.lineWidth()));
    painter.setBrush(shade);
    painter.drawPolygon(thumb.translated(0.5, 0.5));
}

}  // namespace platform
