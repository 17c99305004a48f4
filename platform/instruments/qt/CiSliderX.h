#pragma once

#include <QFont>
#include <QPixmap>
#include <QSet>
#include <QWidget>
#include <optional>

#include "platform/instruments/qt/SliderGeometry.h"

namespace platform {

// Horizontal level slider, 0 to its maximum, with 11 numbered ticks above a blue track and a
// pointer-shaped thumb. Arrow keys move it by 1, PageUp/PageDown by 10, Home/End to the ends,
// each wheel notch by 1; a left press on the track jumps the thumb there and drags it.
//
// Notifications, with the event numbers of the device's slider:
//   9  mouseDown(button, shift, x, y)  any button pressed. On a left press beside the thumb
//                                      the thumb has already jumped to the point.
//   11 mouseUp(button, shift, x, y)    any button released. The position is final (the drag's
//                                      last move applied) before this is emitted, so a
//                                      handler may read it and send it.
//   14 keyDown(key, shift)             any key pressed (also auto-repeats), after its step.
//   15 keyUp(key, shift)               a key pressed on the slider really released
//                                      (auto-repeat releases are not reported, so a held
//                                      arrow key ends in one keyUp; nor is the release of a
//                                      key pressed elsewhere, such as the Tab that brought
//                                      the focus here).
//   18 changeStarted()                 a change with no press/release of its own (a wheel
//                                      notch, setPositionByOperator) is about to move the
//                                      thumb.
//   7  changeFinished()                that change has been made; the position is final.
//   13 holdLost()                      the slider lost focus or was disabled while a key or
//                                      mouse button was held on it: the hold ends without a
//                                      release notification.
// So 9 (left button), 14 and 18 mean "the operator took hold" and 11, 15, 7 and 13 mean "the
// operator let go or finished a change": every grab is followed by a release.
//   positionChanged()                  every move the operator makes, including each step of
//                                      a drag; not numbered and not a release - use it to
//                                      show the position, not to act on it.
// button: bit 0 left, bit 1 right, bit 2 middle. shift: bit 0 Shift, bit 1 Ctrl, bit 2 Alt.
// key: the Qt::Key code. setPosition and setMaximum emit nothing.
// With the keyboard focus the thumb is outlined in the palette's highlight colour.
class CiSliderX : public QWidget {
    Q_OBJECT
public:
    static constexpr int arrowStep = 1;
    static constexpr int pageStep = 10;
    static constexpr int wheelStep = 1;

    explicit CiSliderX(QWidget* parent = nullptr);
    ~CiSliderX() override;

    // Positions are clamped to 0..maximum; a position that is not a number is ignored.
    double getPosition() const { return position_; }
    void setPosition(double position);

    // An operator's change that comes with no press or release of its own (an assistive
    // tool setting the value): framed by changeStarted and changeFinished like a wheel notch,
    // moved to the nearest whole step as the mouse moves it. Ignored while disabled.
    void setPositionByOperator(double position);

    // At least 1; the position is clamped into the new range.
    void setMaximum(int maximum);
    int maximum() const { return maximum_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void mouseDown(int button, int shift, int x, int y);
    void mouseUp(int button, int shift, int x, int y);
    void keyDown(int key, int shift);
    void keyUp(int key, int shift);
    void changeStarted();
    void changeFinished();
    void holdLost();
    void positionChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

public:
    // Where the ticks, track and thumb sit at the widget's present size.
    SliderGeometry sliderGeometry() const;

private:
    // Moves the thumb for the operator; reports positionChanged when it really moved.
    void moveBy(double delta);
    void moveTo(double position);
    void dragTo(int x);
    void endHold();

    // What the scale picture was drawn for; a repaint with the same draws only the thumb.
    struct ScaleKey {
        QSize size;
        int maximum = 0;
        bool enabled = false;
        QRgb ink = 0;
        QFont font;
        qreal pixelRatio = 0.0;
        bool operator==(const ScaleKey&) const = default;
    };

    double position_ = 0.0;
    int maximum_ = 100;
    ScaleKey scaleKey_;
    QPixmap scale_;  // ticks, numbers and track, on a transparent ground
    std::optional<SliderGeometry> scaleShape_;

    // What lies behind the slider (window and group boxes, which do not change), taken once
    // and again after a move or resize. While it is missing the slider is not opaque.
    struct BackdropKey {
        QSize size;
        QPoint place;
        QSize parentSize;
        qreal pixelRatio = 0.0;
        bool operator==(const BackdropKey&) const = default;
    };
    BackdropKey backdropKey() const;
    void dropBackdrop();
    void takeBackdrop();
    QPixmap backdrop_;
    BackdropKey backdropKey_;
    bool drawingBackdrop_ = false;
    bool backdropPending_ = false;
    bool dragging_ = false;
    // Where on the thumb it was taken, so that a drag does not make the thumb jump.
    double dragOffset_ = 0.0;
    int heldButtons_ = 0;
    QSet<int> heldKeys_;
    int wheelRemainder_ = 0;
    // The position an accessibility client was last told of: it hears of the level as often
    // as the thumb is painted, not once per status line.
    double announcedPosition_ = 0.0;
};

}  // namespace platform
