#include "platform/instruments/qt/CiLedRectangleX.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

#include "platform/instruments/qt/LampLook.h"

namespace platform {

namespace {
// The bezel is as wide as a sixth of a line of the labels' text (2 pixels at the dialog font),
// so that it grows and shrinks with the window.
constexpr qreal linesPerBezel = 6.5;
constexpr qreal sizeStep = 0.05;  // of the labels' size, for a caption that fits no other way
}  // namespace

CiLedRectangleX::CiLedRectangleX(QWidget* parent) : CiLamp(parent, Qt::black) {
    setAttribute(Qt::WA_OpaquePaintEvent);
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
    return {std::max(50, textWidth + 4 * bezel()), std::max(20, lines * metrics.height() + 6)};
}

QSize CiLedRectangleX::minimumSizeHint() const {
    return {12, 8};
}

void CiLedRectangleX::paintEvent(QPaintEvent*) {
    if (width() <= 0 || height() <= 0) {
        return;
    }
    const QColor fill = currentColor();
    Look& look = looks_[isActive() ? 1 : 0];
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
    const int frame = bezel();

    // Raised bezel around the glass, lit from the top left.
    const int edge = std::max(1, frame / 2);
    painter.fillRect(outer, QColor(90, 90, 90));
    painter.fillRect(QRect(0, 0, outer.width(), edge), QColor(200, 200, 200));
    painter.fillRect(QRect(0, 0, edge, outer.height()), QColor(200, 200, 200));
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
    const QRectF textArea = captionArea();
    painter.setFont(captionFont());
    painter.setPen(lampLook::textColorOn(fill));
    painter.drawText(textArea, captionFlags(), label_);
}

int CiLedRectangleX::bezel() const {
    return std::max(1, qRound(QFontMetricsF(font()).height() / linesPerBezel));
}

QRectF CiLedRectangleX::captionArea() const {
    const int frame = bezel();
    return QRectF(rect().adjusted(2 * frame, frame, -2 * frame, -frame));
}

int CiLedRectangleX::captionFlags() const {
    return Qt::AlignCenter | (wordWrap_ ? Qt::TextWordWrap : 0);
}

bool CiLedRectangleX::captionFits(const QFont& font) const {
    const QRectF area = captionArea();
    const QRectF needed = QFontMetricsF(font).boundingRect(area, captionFlags(), label_);
    return needed.width() <= area.width() + 0.01 && needed.height() <= area.height() + 0.01;
}

QFont CiLedRectangleX::captionFont() const {
    // The widget's font is the size of the labels around the lamp, and every caption is set
    // at that size, so that lamps side by side read alike: a long caption wraps onto two
    // lines first, then is set narrower. Only a caption that fits no other way goes smaller.
    const QFont labels = font();
    const bool inPoints = labels.pointSizeF() > 0;
    const qreal floor = inPoints ? labels.pointSizeF() : qreal(std::max(1, labels.pixelSize()));
    QFont font = labels;
    const auto setSize = [&font, inPoints](qreal size) {
        if (inPoints) {
            font.setPointSizeF(size);
        } else {
            font.setPixelSize(std::max(1, qRound(size)));
        }
    };
    if (captionFits(font)) {
        return font;
    }
    for (int stretch : {int(QFont::SemiCondensed), int(QFont::Condensed)}) {
        font.setStretch(stretch);
        if (captionFits(font)) {
            return font;
        }
    }
    for (qreal ratio = 1.0 - sizeStep; ratio > sizeStep / 2; ratio -= sizeStep) {
        setSize(floor * ratio);
        if (captionFits(font)) {
            break;
        }
    }
    return font;
}

}  // namespace platform
