#include "platform/instruments/qt/CiLedRoundX.h"

#include <QPainter>
#include <QRadialGradient>
#include <algorithm>

#include "platform/instruments/qt/LampLook.h"

namespace platform {

// An unlit green lamp: dark, but recognisably a lamp rather than a hole.
CiLedRoundX::CiLedRoundX(QWidget* parent) : CiLamp(parent, QColor(20, 60, 20)) {}

QSize CiLedRoundX::sizeHint() const {
    return {28, 28};
}

QSize CiLedRoundX::minimumSizeHint() const {
    return {8, 8};
}

void CiLedRoundX::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal diameter = std::min(width(), height()) - 2.0;
    if (diameter <= 2.0) {
        return;
    }
    const QRectF disc((width() - diameter) / 2.0, (height() - diameter) / 2.0, diameter, diameter);
    const QColor fill = currentColor();

    // Metal rim, then the lens: the pure colour over most of it, a sheen up and to the left.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(110, 110, 110));
    painter.drawEllipse(disc);
    const qreal rim = std::max(1.0, diameter / 12.0);
    const QRectF lens = disc.adjusted(rim, rim, -rim, -rim);
    QRadialGradient gradient(lens.center(), lens.width() / 2.0,
                             lens.center() - QPointF(lens.width() / 5.0, lens.height() / 5.0));
    gradient.setColorAt(0.0, lampLook::highlightOf(fill));
    gradient.setColorAt(0.45, fill);
    gradient.setColorAt(0.85, fill);
    gradient.setColorAt(1.0, lampLook::shadowOf(fill));
    painter.setBrush(gradient);
    painter.drawEllipse(lens);
}

}  // namespace platform
