#include "platform/instruments/qt/CiSliderX.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "platform/instruments/qt/CiSliderXAccessible.h"
#include "platform/instruments/qt/SliderGeometry.h"
#include "platform/instruments/qt/SliderPainter.h"

namespace platform {

namespace {

constexpr int leftButtonBit = 1;
constexpr int rightButtonBit = 2;
constexpr int middleButtonBit = 4;
// One notch of an ordinary mouse wheel, in eighths of a degree.
constexpr int wheelNotch = 120;

int buttonBit(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return leftButtonBit;
        case Qt::RightButton:
            return rightButtonBit;
        case Qt::MiddleButton:
            return middleButtonBit;
        default:
            return 0;
    }
}

int shiftState(Qt::KeyboardModifiers modifiers) {
    return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) |
           (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0) |
           (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}

}  // namespace

CiSliderX::CiSliderX(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

CiSliderX::~CiSliderX() = default;

SliderGeometry CiSliderX::sliderGeometry() const {
    const QFontMetricsF metrics(SliderPainter::numberFont(font()));
    return SliderGeometry(size(), maximum_, metrics.height(),
                          metrics.horizontalAdvance(QString::number(maximum_)));
}

void CiSliderX::setPosition(double position) {
    if (std::isnan(position)) {
        return;
    }
    // Written on every status line; repainted only when it moves.
    const double clamped = std::clamp(position, 0.0, double(maximum_));
    if (clamped != position_) {
        position_ = clamped;
        update();
    }
}

void CiSliderX::setPositionByOperator(double position) {
    if (!isEnabled() || std::isnan(position)) {
        return;
    }
    emit changeStarted();
    moveTo(std::round(position));
    emit changeFinished();
}

void CiSliderX::setMaximum(int maximum) {
    maximum_ = std::max(1, maximum);
    position_ = std::min(position_, double(maximum_));
    update();
}

QSize CiSliderX::sizeHint() const {
    return {418, 55};
}

QSize CiSliderX::minimumSizeHint() const {
    return {60, 16};
}

void CiSliderX::moveTo(double position) {
    const double before = position_;
    setPosition(position);
    if (position_ != before) {
        emit positionChanged();
    }
}

void CiSliderX::moveBy(double delta) {
    moveTo(position_ + delta);
}

void CiSliderX::dragTo(int x) {
    // The operator picks whole steps with the mouse: the level sent is then the one pointed at.
    moveTo(std::round(sliderGeometry().positionAt(x - dragOffset_)));
}

void CiSliderX::endHold() {
    const bool wasHeld = heldButtons_ != 0 || !heldKeys_.isEmpty() || dragging_;
    heldButtons_ = 0;
    heldKeys_.clear();
    dragging_ = false;
    if (wasHeld) {
        emit holdLost();
    }
}

void CiSliderX::mousePressEvent(QMouseEvent* event) {
    const int bit = buttonBit(event->button());
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        const SliderGeometry shape = sliderGeometry();
        if (shape.thumbRectAt(position_).contains(event->position())) {
            dragOffset_ = event->position().x() - shape.xFor(position_);
        } else {
            dragOffset_ = 0.0;
            dragTo(at.x());
        }
        dragging_ = true;
    }
    heldButtons_ |= bit;
    emit mouseDown(bit, shiftState(event->modifiers()), at.x(), at.y());
}

void CiSliderX::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && event->buttons().testFlag(Qt::LeftButton)) {
        dragTo(event->position().toPoint().x());
    }
}

void CiSliderX::mouseReleaseEvent(QMouseEvent* event) {
    const int bit = buttonBit(event->button());
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && dragging_) {
        dragTo(at.x());
        dragging_ = false;
    }
    heldButtons_ &= ~bit;
    emit mouseUp(bit, shiftState(event->modifiers()), at.x(), at.y());
}

void CiSliderX::keyPressEvent(QKeyEvent* event) {
    bool handled = true;
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Down:
            moveBy(-arrowStep);
            break;
        case Qt::Key_Right:
        case Qt::Key_Up:
            moveBy(arrowStep);
            break;
        case Qt::Key_PageUp:
            moveBy(pageStep);
            break;
        case Qt::Key_PageDown:
            moveBy(-pageStep);
            break;
        case Qt::Key_Home:
            moveTo(0.0);
            break;
        case Qt::Key_End:
            moveTo(maximum_);
            break;
        default:
            handled = false;
    }
    heldKeys_.insert(event->key());
    emit keyDown(event->key(), shiftState(event->modifiers()));
    // Keys the slider has no use for (Return, Escape) still work the window.
    if (!handled) {
        event->ignore();
    }
}

void CiSliderX::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) {
        return;
    }
    if (!heldKeys_.remove(event->key())) {
        // Pressed elsewhere: moving the focus here is no change of the slider.
        event->ignore();
        return;
    }
    emit keyUp(event->key(), shiftState(event->modifiers()));
}

void CiSliderX::wheelEvent(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    // Fine-grained wheels send parts of a notch: count whole notches only.
    wheelRemainder_ += delta.y() != 0 ? delta.y() : delta.x();
    const int notches = wheelRemainder_ / wheelNotch;
    wheelRemainder_ -= notches * wheelNotch;
    if (notches != 0) {
        emit changeStarted();
        moveBy(notches * wheelStep);
        emit changeFinished();
    }
    event->accept();
}

void CiSliderX::focusOutEvent(QFocusEvent* event) {
    endHold();
    QWidget::focusOutEvent(event);
}

void CiSliderX::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        endHold();
    }
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
        scale_ = QPixmap();  // drawn anew with the new look
        dropBackdrop();
    }
    QWidget::changeEvent(event);
}

void CiSliderX::moveEvent(QMoveEvent* event) {
    dropBackdrop();
    QWidget::moveEvent(event);
}

void CiSliderX::resizeEvent(QResizeEvent* event) {
    dropBackdrop();
    QWidget::resizeEvent(event);
}

CiSliderX::BackdropKey CiSliderX::backdropKey() const {
    const QWidget* parent = parentWidget();
    return {size(), pos(), parent ? parent->size() : QSize(), devicePixelRatioF()};
}

void CiSliderX::dropBackdrop() {
    backdrop_ = QPixmap();
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void CiSliderX::takeBackdrop() {
    // Drawn outside any paint event: the parent is rendered with its children, this slider
    // painting nothing meanwhile, so the picture is what lies behind it.
    QWidget* parent = parentWidget();
    if (parent == nullptr || !isVisible() || width() <= 0 || height() <= 0) {
        return;
    }
    const BackdropKey key = backdropKey();
    QPixmap backdrop(size() * key.pixelRatio);
    backdrop.setDevicePixelRatio(key.pixelRatio);
    backdrop.fill(palette().color(QPalette::Window));
    drawingBackdrop_ = true;
    parent->render(&backdrop, QPoint(), QRegion(geometry()),
                   QWidget::DrawWindowBackground | QWidget::DrawChildren);
    drawingBackdrop_ = false;
    backdrop_ = backdrop;
    backdropKey_ = key;
    // From now on the slider paints every pixel itself, so a moving thumb no longer repaints
    // the window and the group boxes it sits on.
    setAttribute(Qt::WA_OpaquePaintEvent, true);
}

void CiSliderX::paintEvent(QPaintEvent*) {
    if (drawingBackdrop_ || width() <= 0 || height() <= 0) {
        return;  // the backdrop is what lies behind the slider, without it
    }
    QPainter painter(this);
    if (!backdrop_.isNull() && backdropKey() == backdropKey_) {
        painter.drawPixmap(0, 0, backdrop_);
    } else {
        if (testAttribute(Qt::WA_OpaquePaintEvent)) {
            // Moved or resized since the backdrop was taken: a plain ground for this frame.
            painter.fillRect(rect(), palette().color(QPalette::Window));
        }
        if (!backdropPending_ && parentWidget() != nullptr) {
            backdropPending_ = true;
            QTimer::singleShot(0, this, [this] {
                backdropPending_ = false;
                takeBackdrop();
            });
        }
    }
    // At a saturated line the thumb moves every frame; the ticks, the numbers with their text
    // layout and the track are drawn once and kept as a picture.
    const QColor ink =
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText);
    const ScaleKey key{size(), maximum_, isEnabled(), ink.rgba(), font(), devicePixelRatioF()};
    if (!(key == scaleKey_) || scale_.isNull()) {
        scale_ = QPixmap(size() * key.pixelRatio);
        scale_.setDevicePixelRatio(key.pixelRatio);
        scale_.fill(Qt::transparent);
        scaleShape_ = sliderGeometry();
        QPainter scalePainter(&scale_);
        SliderPainter::paintScale(scalePainter, *scaleShape_, key.enabled, ink, key.font);
        scaleKey_ = key;
    }
    painter.drawPixmap(0, 0, scale_);
    SliderPainter::paintThumb(painter, *scaleShape_, position_, isEnabled());
    if (hasFocus()) {
        // The keyboard focus shows on the thumb itself; the slider has no focus rectangle.
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawPolygon(scaleShape_->thumbAt(position_).translated(0.5, 0.5));
    }
    if (position_ != announcedPosition_) {
        announcedPosition_ = position_;
        CiSliderXAccessible::announceValue(this, position_);
    }
}

}  // namespace platform
