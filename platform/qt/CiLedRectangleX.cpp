#include "platform/qt/CiLedRectangleX.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

#include "platform/qt/LampAccessible.h"
#include "platform/qt/LampLook.h"

namespace {
constexpr int frame = 2;
constexpr int smallestTextPixels = 6;
}  // namespace

CiLedRectangleX::CiLedRectangleX(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CiLedRectangleX::setActive(bool active) {
    // Written on every update; repainted only when what it shows changes.
    if (active != active_) {
        active_ = active;
        update();
        LampAccessible::announceLit(this);
    }
}

void CiLedRectangleX::setActiveColor(const QColor& color) {
    activeColor_ = color;
    update();
}

void CiLedRectangleX::setInactiveColor(const QColor& color) {
    inactiveColor_ = color;
    update();
}

void CiLedRectangleX::setLabel(const QString& label) {
    label_ = label;
    updateGeometry();
    update();
}

void CiLedRectangleX::setWordWrap(bool wrap) {
    wordWrap_ = wrap;
    updateGeometry();
    update();
}

QSize CiLedRectangleX::sizeHint() const {
    const QFontMetrics metrics(font());
    const int textWidth = wordWrap_ ? metrics.horizontalAdvance(label_) / 2 + metrics.height()
                                    : metrics.horizontalAdvance(label_) + 8;
    const int lines = wordWrap_ && !label_.isEmpty() ? 2 : 1;
    return {std::max(50, textWidth + 2 * frame), std::max(20, lines * metrics.height() + 6)};
}

QSize CiLedRectangleX::minimumSizeHint() const {
    return {12, 8};
}

void CiLedRectangleX::paintEvent(QPaintEvent*) {
    if (width() <= 0 || height() <= 0) {
        return;
    }
    const QColor fill = currentColor();
    Look& look = looks_[active_ ? 1 : 0];
    const LookKey key{size(), fill.rgba(), label_, wordWrap_, font(), devicePixelRatioF()};
    if (look.picture.isNull() || !(look.key == key)) {
        look.picture = QPixmap(size() * key.pixelRatio);
        look.picture.setDevicePixelRatio(key.pixelRatio);
        QPainter picturePainter(&look.picture);
        draw(picturePainter, fill);
        look.key = key;
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, look.picture);
}

void CiLedRectangleX::draw(QPainter& painter, const QColor& fill) const {
    const QRect outer = rect();

    // Raised bezel around the glass.
    painter.fillRect(outer, QColor(90, 90, 90));
    painter.fillRect(QRect(0, 0, outer.width(), 1), QColor(200, 200, 200));
    painter.fillRect(QRect(0, 0, 1, outer.height()), QColor(200, 200, 200));
    const QRect glass = outer.adjusted(frame, frame, -frame, -frame);
    if (glass.isEmpty()) {
        return;
    }

    // Glassy face: a sheen at the top, the pure colour across the middle, a shade at the bottom.
    QLinearGradient gradient(glass.topLeft(), glass.bottomLeft());
    gradient.setColorAt(0.0, lampLook::highlightOf(fill));
    gradient.setColorAt(0.35, fill);
    gradient.setColorAt(0.65, fill);
    gradient.setColorAt(1.0, lampLook::shadowOf(fill));
    painter.fillRect(glass, gradient);

    if (label_.isEmpty()) {
        return;
    }
    const QRectF textArea = QRectF(glass).adjusted(2, 0, -2, 0);
    const int flags = Qt::AlignCenter | (wordWrap_ ? Qt::TextWordWrap : 0);
    QFont font = this->font();
    int pixels = QFontMetrics(font).height();
    font.setPixelSize(pixels);
    // Shrink the text until it fits: the dashboard's long labels sit on small lamps. The
    // smallest size is counted in device pixels, so a scaled-down window on a high-density
    // screen still gets its labels whole.
    const int smallest = std::max(1, qRound(smallestTextPixels / devicePixelRatioF()));
    while (pixels > smallest) {
        const QRectF needed = QFontMetricsF(font).boundingRect(textArea, flags, label_);
        if (needed.width() <= textArea.width() && needed.height() <= textArea.height()) {
            break;
        }
        --pixels;
        font.setPixelSize(pixels);
    }
    painter.setFont(font);
    painter.setPen(lampLook::textColorOn(fill));
    painter.drawText(textArea, flags, label_);
}
