#include "platform/instruments/qt/CiAnalogDisplayX.h"

#include <QAccessible>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "platform/instruments/qt/CiAnalogDisplayXAccessible.h"

namespace platform {

namespace {
// More decimals than a double carries would only show noise.
constexpr int maxPrecision = 15;
// Shown instead of a number when the value is not a finite number.
const QString noNumberText = QStringLiteral("----");
constexpr int bevel = 2;
}  // namespace

CiAnalogDisplayX::CiAnalogDisplayX(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    readoutTimer_.setSingleShot(true);
    connect(&readoutTimer_, &QTimer::timeout, this, [this] {
        sinceRepaint_.start();
        refresh();
        announceReadout();
    });
}

void CiAnalogDisplayX::setValue(double value) {
    // Written on every update; repainted only when what it shows changes.
    if (value == value_ || (std::isnan(value) && std::isnan(value_))) {
        return;
    }
    value_ = value;
    if (readoutTimer_.isActive()) {
        return;  // the repaint already asked for will show this value
    }
    QString text = displayText();
    if (text != shownText_) {
        shownText_ = std::move(text);
        repaintReadout();
    }
}

void CiAnalogDisplayX::refresh() {
    shownText_ = displayText();
    update();
}

void CiAnalogDisplayX::repaintReadout() {
    if (!sinceRepaint_.isValid() || sinceRepaint_.elapsed() >= readoutMs) {
        sinceRepaint_.start();
        update();
        announceReadout();
        return;
    }
    readoutTimer_.start(static_cast<int>(readoutMs - sinceRepaint_.elapsed()));
}

void CiAnalogDisplayX::announceReadout() {
    if (QAccessible::isActive() && shownText_ != announcedText_) {
        CiAnalogDisplayXAccessible::announceText(this, announcedText_, shownText_);
        announcedText_ = shownText_;
    }
}

void CiAnalogDisplayX::setPrecision(int decimals) {
    precision_ = decimals < 0 ? -1 : std::min(decimals, maxPrecision);
    refresh();
}

void CiAnalogDisplayX::setUnitsText(const QString& units) {
    units_ = units;
    refresh();
}

void CiAnalogDisplayX::setDigitColor(const QColor& color) {
    digitColor_ = color;
    refresh();
}

int CiAnalogDisplayX::effectivePrecision() const {
    return precision_ < 0 ? defaultPrecision : precision_;
}

QString CiAnalogDisplayX::displayText() const {
    if (!std::isfinite(value_)) {
        return noNumberText + units_;
    }
    QString number = QString::number(value_, 'f', effectivePrecision());
    // A small negative value rounds to zero; a minus sign in front of it would read as a fault.
    if (number.startsWith(QLatin1Char('-')) &&
        std::all_of(number.begin() + 1, number.end(),
                    [](QChar c) { return c == QLatin1Char('0') || c == QLatin1Char('.'); })) {
        number.remove(0, 1);
    }
    return number + units_;
}

QSize CiAnalogDisplayX::sizeHint() const {
    return {112, 23};
}

QSize CiAnalogDisplayX::minimumSizeHint() const {
    return {40, 12};
}

QFont CiAnalogDisplayX::fitReadout(QFont font, const QString& text, qreal faceHeight, qreal width) {
    font.setBold(true);
    font.setStyleHint(QFont::SansSerif);
    // Fill most of the face's height, then shrink until the whole text fits its width: in a
    // small window the display is small, and its digits with it.
    int pixelSize = std::max(1, int(faceHeight * 0.78));
    font.setPixelSize(pixelSize);
    while (pixelSize > 1 && QFontMetricsF(font).horizontalAdvance(text) > width) {
        font.setPixelSize(--pixelSize);
    }
    return font;
}

QFont CiAnalogDisplayX::fittedFont(const QString& text, qreal faceHeight, qreal width) {
    const QSizeF area(width, faceHeight);
    if (text == fittedText_ && area == fittedArea_ && font() == fittedBase_) {
        return fitted_;
    }
    fittedBase_ = font();
    fittedText_ = text;
    fittedArea_ = area;
    fitted_ = fitReadout(font(), text, faceHeight, width);
    return fitted_;
}

QRectF CiAnalogDisplayX::readoutArea() const {
    return QRectF(rect()).adjusted(bevel + 3, bevel, -bevel - 3, -bevel);
}

QFont CiAnalogDisplayX::readoutFont() const {
    const QRectF area = readoutArea();
    return fitReadout(font(), displayText(), area.height(), area.width());
}

void CiAnalogDisplayX::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF outer = QRectF(rect());

    // Sunken bezel: dark top-left edge, light bottom-right edge, black face inside.
    painter.fillRect(outer, QColor(150, 150, 150));
    painter.fillRect(QRectF(0, 0, outer.width(), 1), QColor(70, 70, 70));
    painter.fillRect(QRectF(0, 0, 1, outer.height()), QColor(70, 70, 70));
    const QRectF face = outer.adjusted(bevel, bevel, -bevel, -bevel);
    painter.fillRect(face, QColor(12, 16, 12));

    const QString text = displayText();
    const QRectF textArea = readoutArea();
    if (textArea.width() <= 0 || textArea.height() <= 0) {
        return;
    }
    painter.setFont(fittedFont(text, textArea.height(), textArea.width()));
    QColor digits = digitColor_;
    if (!isEnabled()) {
        digits = digits.darker(200);
    }
    painter.setPen(digits);
    painter.drawText(textArea, Qt::AlignRight | Qt::AlignVCenter, text);
}

}  // namespace platform
