// The instrument widgets as the windows use them: what they show, how they paint, and which
// notifications the slider gives for the operator's mouse, keys and wheel.
#include <gtest/gtest.h>

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <limits>
#include <vector>

#include "platform/instruments/qt/CiAnalogDisplayX.h"
#include "platform/instruments/qt/CiLedRectangleX.h"
#include "platform/instruments/qt/CiLedRoundX.h"
#include "platform/instruments/qt/CiSliderX.h"
#include "platform/instruments/qt/SliderGeometry.h"

namespace {

bool near(const QColor& a, const QColor& b, int tolerance = 12) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

QImage picture(QWidget& widget) {
    return widget.grab().toImage();
}

int pixelsNear(const QImage& image, const QColor& color, const QRect& area, int tolerance = 40) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (near(image.pixelColor(x, y), color, tolerance)) {
                ++count;
            }
        }
    }
    return count;
}

// --- numeric display -------------------------------------------------------------------

TEST(NumericDisplay, showsTheValueWithItsDecimalsFollowedByItsUnits) {
    platform::CiAnalogDisplayX display;
    display.setUnitsText(" RPM");
    display.setPrecision(2);
    EXPECT_EQ(display.displayText(), "0.00 RPM");
    display.setValue(4015.88);
    EXPECT_EQ(display.displayText(), "4015.88 RPM");
    EXPECT_DOUBLE_EQ(display.value(), 4015.88);

    display.setPrecision(0);
    display.setUnitsText(" %");
    display.setValue(12.6);
    EXPECT_EQ(display.displayText(), "13 %");
}

TEST(NumericDisplay, withoutAPrecisionShowsOneDecimalIncludingNegativeValues) {
    platform::CiAnalogDisplayX display;
    display.setUnitsText(" F");
    display.setValue(-459.4);
    EXPECT_EQ(display.displayText(), "-459.4 F");
    display.setValue(-40.0);
    EXPECT_EQ(display.displayText(), "-40.0 F");

    display.setPrecision(3);
    display.setPrecision(-1);
    EXPECT_EQ(display.displayText(), "-40.0 F");
}

TEST(NumericDisplay, showsSaneTextForValuesThatAreNoNumberOrRoundToZero) {
    platform::CiAnalogDisplayX display;
    display.setUnitsText(" PSI");
    display.setValue(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(display.displayText(), "---- PSI");
    display.setValue(std::numeric_limits<double>::infinity());
    EXPECT_EQ(display.displayText(), "---- PSI");

    display.setValue(-0.04);
    EXPECT_EQ(display.displayText(), "0.0 PSI");
    display.setPrecision(2);
    display.setValue(-0.0);
    EXPECT_EQ(display.displayText(), "0.00 PSI");
}

TEST(NumericDisplay, paintsItsDigitsInTheDigitColourOnADarkFace) {
    platform::CiAnalogDisplayX display;
    display.resize(display.sizeHint());
    display.setUnitsText(" RPM");
    display.setPrecision(2);
    display.setValue(888.88);

    const QImage lime = picture(display);
    const QRect inside = lime.rect().adjusted(3, 3, -3, -3);
    EXPECT_TRUE(near(lime.pixelColor(4, lime.height() / 2), QColor(12, 16, 12), 30));
    EXPECT_GT(pixelsNear(lime, QColor(0, 255, 0), inside), 20);

    display.setDigitColor(Qt::red);
    const QImage red = picture(display);
    EXPECT_GT(pixelsNear(red, QColor(255, 0, 0), inside), 20);
    EXPECT_EQ(pixelsNear(red, QColor(0, 255, 0), inside), 0);
}

TEST(NumericDisplay, keepsALongNumberInsideTheFace) {
    platform::CiAnalogDisplayX display;
    display.resize(112, 23);
    display.setPrecision(2);
    display.setUnitsText(" mile");
    display.setValue(12345678.25);
    const QImage image = picture(display);
    // The text is right-aligned; had it been cut off at the left, no digit pixel would be
    // near the face's left half.
    EXPECT_GT(pixelsNear(image, QColor(0, 255, 0), QRect(3, 3, 50, 17)), 0);
}

// --- lamps --------------------------------------------------------------------------------

// A spot on the glass beside the label: left edge, half way down.
QColor lampEdgeColour(platform::CiLedRectangleX& lamp) {
    const QImage image = picture(lamp);
    return image.pixelColor(4, image.height() / 2);
}

TEST(RectangularLamp, showsItsActiveColourWhileActiveAndItsInactiveColourOtherwise) {
    platform::CiLedRectangleX lamp;
    lamp.resize(60, 24);
    lamp.setLabel("Cruise");
    EXPECT_FALSE(lamp.isActive());
    EXPECT_TRUE(near(lampEdgeColour(lamp), Qt::black));

    lamp.setActive(true);
    EXPECT_TRUE(lamp.isActive());
    EXPECT_TRUE(near(lampEdgeColour(lamp), lamp.activeColor()));

    lamp.setActiveColor(QColor(255, 128, 0));
    EXPECT_TRUE(near(lampEdgeColour(lamp), QColor(255, 128, 0)));

    lamp.setInactiveColor(Qt::white);
    lamp.setActive(false);
    EXPECT_TRUE(near(lampEdgeColour(lamp), Qt::white));
}

TEST(RectangularLamp, writesItsLabelInAColourThatReadsOnTheFill) {
    platform::CiLedRectangleX lamp;
    lamp.resize(60, 24);
    lamp.setLabel("WIF");
    const QRect middle(15, 6, 30, 12);

    lamp.setActiveColor(Qt::red);
    lamp.setActive(true);
    EXPECT_GT(pixelsNear(picture(lamp), Qt::white, middle), 3);

    lamp.setActiveColor(Qt::yellow);
    EXPECT_GT(pixelsNear(picture(lamp), Qt::black, middle), 3);
    EXPECT_EQ(pixelsNear(picture(lamp), Qt::white, middle, 10), 0);

    lamp.setActive(false);
    EXPECT_GT(pixelsNear(picture(lamp), Qt::white, middle), 3);
}

TEST(RectangularLamp, wrapsALongLabelOntoTwoLinesWhenSoConfigured) {
    platform::CiLedRectangleX lamp;
    lamp.resize(80, 30);
    lamp.setLabel("EPS Approaching Shutdown (1109)");
    lamp.setWordWrap(true);
    EXPECT_TRUE(lamp.wordWrap());
    const QImage image = picture(lamp);
    // White text on the dark lamp in both the upper and the lower half.
    EXPECT_GT(pixelsNear(image, Qt::white, QRect(3, 3, 74, 11)), 3);
    EXPECT_GT(pixelsNear(image, Qt::white, QRect(3, 16, 74, 11)), 3);
    EXPECT_EQ(lamp.label(), "EPS Approaching Shutdown (1109)");
}

TEST(RoundLamp, showsItsActiveOrInactiveColourInTheDisc) {
    platform::CiLedRoundX lamp;
    lamp.resize(28, 28);
    lamp.setActiveColor(Qt::red);
    lamp.setInactiveColor(Qt::white);
    // Right of the centre, away from the sheen at the upper left.
    const auto disc = [&lamp] { return picture(lamp).pixelColor(19, 16); };
    EXPECT_TRUE(near(disc(), Qt::white, 20));
    lamp.setActive(true);
    EXPECT_TRUE(lamp.isActive());
    EXPECT_TRUE(near(disc(), Qt::red, 20));
    // Outside the disc the lamp paints nothing of its colour.
    EXPECT_FALSE(near(picture(lamp).pixelColor(0, 0), Qt::red, 60));
}

// --- slider -------------------------------------------------------------------------------

class LevelSlider : public ::testing::Test {
protected:
    void SetUp() override {
        slider.resize(slider.sizeHint());
        slider.show();
    }
    // The pixel column of a position, as the slider lays itself out.
    int xOf(double position) const {
        return int(std::lround(slider.sliderGeometry().xFor(position)));
    }
    int trackY() const { return int(slider.sliderGeometry().trackRect().center().y()); }

    platform::CiSliderX slider;
};

TEST_F(LevelSlider, aLeftClickOnTheTrackJumpsThereBeforeTheReleaseIsReported) {
    std::vector<double> atPress;
    std::vector<double> atRelease;
    QObject::connect(&slider, &platform::CiSliderX::mouseDown,
                     [&](int, int, int, int) { atPress.push_back(slider.getPosition()); });
    QObject::connect(&slider, &platform::CiSliderX::mouseUp,
                     [&](int, int, int, int) { atRelease.push_back(slider.getPosition()); });
    QSignalSpy down(&slider, &platform::CiSliderX::mouseDown);
    QSignalSpy up(&slider, &platform::CiSliderX::mouseUp);

    const QPoint point(xOf(70), trackY());
    QTest::mouseClick(&slider, Qt::LeftButton, Qt::NoModifier, point);

    EXPECT_DOUBLE_EQ(slider.getPosition(), 70.0);
    ASSERT_EQ(atRelease.size(), 1u);
    EXPECT_DOUBLE_EQ(atRelease[0], 70.0);
    EXPECT_DOUBLE_EQ(atPress[0], 70.0);
    ASSERT_EQ(down.size(), 1);
    EXPECT_EQ(down[0][0].toInt(), 1);
    EXPECT_EQ(down[0][1].toInt(), 0);
    EXPECT_EQ(down[0][2].toInt(), point.x());
    EXPECT_EQ(down[0][3].toInt(), point.y());
    ASSERT_EQ(up.size(), 1);
    EXPECT_EQ(up[0][0].toInt(), 1);
    EXPECT_EQ(up[0][2].toInt(), point.x());
}

TEST_F(LevelSlider, otherButtonsAreReportedWithTheirBitsButDoNotMoveTheThumb) {
    slider.setPosition(20);
    QSignalSpy down(&slider, &platform::CiSliderX::mouseDown);
    QSignalSpy up(&slider, &platform::CiSliderX::mouseUp);

    QTest::mouseClick(&slider, Qt::RightButton, Qt::ShiftModifier, QPoint(xOf(80), trackY()));
    QTest::mouseClick(&slider, Qt::MiddleButton, Qt::ControlModifier | Qt::AltModifier,
                      QPoint(xOf(60), trackY()));

    EXPECT_DOUBLE_EQ(slider.getPosition(), 20.0);
    ASSERT_EQ(down.size(), 2);
    EXPECT_EQ(down[0][0].toInt(), 2);
    EXPECT_EQ(down[0][1].toInt(), 1);
    EXPECT_EQ(down[1][0].toInt(), 4);
    EXPECT_EQ(down[1][1].toInt(), 6);
    ASSERT_EQ(up.size(), 2);
    EXPECT_EQ(up[0][0].toInt(), 2);
    EXPECT_EQ(up[1][0].toInt(), 4);
}

TEST_F(LevelSlider, theThumbCanBeDraggedAndTheReleaseReportsWhereItWasLeft) {
    slider.setPosition(30);
    std::vector<double> atRelease;
    QObject::connect(&slider, &platform::CiSliderX::mouseUp,
                     [&](int, int, int, int) { atRelease.push_back(slider.getPosition()); });
    QSignalSpy moved(&slider, &platform::CiSliderX::positionChanged);

    // Taken a little right of its centre: the thumb must not jump to the pointer.
    const int grip = xOf(30) + 2;
    QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(grip, trackY()));
    EXPECT_DOUBLE_EQ(slider.getPosition(), 30.0);

    const int step = xOf(55) - xOf(30);
    QMouseEvent move(QEvent::MouseMove, QPointF(grip + step, trackY()),
                     slider.mapToGlobal(QPointF(grip + step, trackY())), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&slider, &move);
    EXPECT_DOUBLE_EQ(slider.getPosition(), 55.0);

    const int last = xOf(62) - xOf(30);
    QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(grip + last, trackY()));
    ASSERT_EQ(atRelease.size(), 1u);
    EXPECT_DOUBLE_EQ(atRelease[0], 62.0);
    EXPECT_EQ(moved.size(), 2);
}

TEST_F(LevelSlider, clicksAndDragsBeyondTheEndsStopAtTheEnds) {
    QTest::mouseClick(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(0, trackY()));
    EXPECT_DOUBLE_EQ(slider.getPosition(), 0.0);
    QTest::mouseClick(&slider, Qt::LeftButton, Qt::NoModifier,
                      QPoint(slider.width() - 1, trackY()));
    EXPECT_DOUBLE_EQ(slider.getPosition(), 100.0);
}

TEST_F(LevelSlider, arrowAndPageKeysStepTheThumbWithinItsRange) {
    slider.setPosition(50);
    QTest::keyClick(&slider, Qt::Key_Right);
    EXPECT_DOUBLE_EQ(slider.getPosition(), 51.0);
    QTest::keyClick(&slider, Qt::Key_Left);
    QTest::keyClick(&slider, Qt::Key_Left);
    EXPECT_DOUBLE_EQ(slider.getPosition(), 49.0);
    QTest::keyClick(&slider, Qt::Key_PageUp);
    EXPECT_DOUBLE_EQ(slider.getPosition(), 59.0);
    QTest::keyClick(&slider, Qt::Key_PageDown);
    QTest::keyClick(&slider, Qt::Key_PageDown);
    EXPECT_DOUBLE_EQ(slider.getPosition(), 39.0);

    slider.setPosition(95);
    QTest::keyClick(&slider, Qt::Key_PageUp);
    EXPECT_DOUBLE_EQ(slider.getPosition(), 100.0);
    slider.setPosition(0.5);
    QTest::keyClick(&slider, Qt::Key_Left);
    EXPECT_DOUBLE_EQ(slider.getPosition(), 0.0);
}

TEST_F(LevelSlider, everyKeyIsReportedPressedAfterItsStepAndReleasedOnce) {
    slider.setPosition(10);
    std::vector<double> atKeyDown;
    QObject::connect(&slider, &platform::CiSliderX::keyDown,
                     [&](int, int) { atKeyDown.push_back(slider.getPosition()); });
    QSignalSpy down(&slider, &platform::CiSliderX::keyDown);
    QSignalSpy up(&slider, &platform::CiSliderX::keyUp);

    QTest::keyClick(&slider, Qt::Key_Up, Qt::ShiftModifier);
    // The Shift key itself comes first: it too is a key pressed on the slider.
    ASSERT_EQ(down.size(), 2);
    EXPECT_EQ(down[0][0].toInt(), int(Qt::Key_Shift));
    EXPECT_EQ(down[1][0].toInt(), int(Qt::Key_Up));
    EXPECT_EQ(down[1][1].toInt(), 1);
    EXPECT_DOUBLE_EQ(atKeyDown[1], 11.0);
    ASSERT_EQ(up.size(), 2);
    EXPECT_EQ(up[0][0].toInt(), int(Qt::Key_Up));
    EXPECT_EQ(up[1][0].toInt(), int(Qt::Key_Shift));

    // A key that does not move the thumb is still a grab and a release.
    QTest::keyClick(&slider, Qt::Key_A);
    EXPECT_EQ(down.size(), 3);
    EXPECT_EQ(up.size(), 3);
    EXPECT_DOUBLE_EQ(slider.getPosition(), 11.0);

    // A held key repeats its press, but only the real release is reported.
    QTest::keyPress(&slider, Qt::Key_Right);
    QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, QString(), true);
    QCoreApplication::sendEvent(&slider, &repeatRelease);
    QKeyEvent repeatPress(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, QString(), true);
    QCoreApplication::sendEvent(&slider, &repeatPress);
    QTest::keyRelease(&slider, Qt::Key_Right);
    EXPECT_EQ(down.size(), 5);
    EXPECT_EQ(up.size(), 4);
    EXPECT_DOUBLE_EQ(slider.getPosition(), 13.0);
}

TEST_F(LevelSlider, aKeyPressedElsewhereIsNotReportedReleasedHere) {
    QSignalSpy down(&slider, &platform::CiSliderX::keyDown);
    QSignalSpy up(&slider, &platform::CiSliderX::keyUp);
    // The Tab (or Shift+Tab) that brings the focus: its press went to the control before.
    for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Shift, Qt::Key_Right}) {
        QTest::keyRelease(&slider, key);
    }
    EXPECT_EQ(down.size(), 0);
    EXPECT_EQ(up.size(), 0);
    QTest::keyClick(&slider, Qt::Key_Right);
    EXPECT_EQ(up.size(), 1);
}

TEST_F(LevelSlider, aWheelNotchIsFramedByChangeStartedAndChangeFinished) {
    slider.setPosition(40);
    std::vector<std::pair<char, double>> order;
    QObject::connect(&slider, &platform::CiSliderX::changeStarted,
                     [&] { order.emplace_back('s', slider.getPosition()); });
    QObject::connect(&slider, &platform::CiSliderX::changeFinished,
                     [&] { order.emplace_back('f', slider.getPosition()); });

    const auto wheel = [this](int delta) {
        const QPointF at(xOf(50), trackY());
        QWheelEvent event(at, slider.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&slider, &event);
    };
    wheel(120);
    wheel(-240);
    // Half notches add up before anything moves.
    wheel(60);
    EXPECT_EQ(order.size(), 4u);
    wheel(60);

    ASSERT_EQ(order.size(), 6u);
    EXPECT_EQ(order[0], std::make_pair('s', 40.0));
    EXPECT_EQ(order[1], std::make_pair('f', 41.0));
    EXPECT_EQ(order[2], std::make_pair('s', 41.0));
    EXPECT_EQ(order[3], std::make_pair('f', 39.0));
    EXPECT_EQ(order[5], std::make_pair('f', 40.0));
}

TEST_F(LevelSlider, setPositionClampsIgnoresNoNumberAndReportsNothing) {
    QSignalSpy moved(&slider, &platform::CiSliderX::positionChanged);
    QSignalSpy finished(&slider, &platform::CiSliderX::changeFinished);
    slider.setPosition(37.9);
    EXPECT_DOUBLE_EQ(slider.getPosition(), 37.9);
    slider.setPosition(150);
    EXPECT_DOUBLE_EQ(slider.getPosition(), 100.0);
    slider.setPosition(-5);
    EXPECT_DOUBLE_EQ(slider.getPosition(), 0.0);
    slider.setPosition(std::numeric_limits<double>::quiet_NaN());
    EXPECT_DOUBLE_EQ(slider.getPosition(), 0.0);

    slider.setPosition(80);
    slider.setMaximum(50);
    EXPECT_DOUBLE_EQ(slider.getPosition(), 50.0);
    slider.setMaximum(0);
    EXPECT_EQ(slider.maximum(), 1);
    EXPECT_EQ(moved.size(), 0);
    EXPECT_EQ(finished.size(), 0);
}

TEST_F(LevelSlider, aHoldThatEndsWithoutAReleaseIsReportedOnce) {
    QSignalSpy lost(&slider, &platform::CiSliderX::holdLost);
    slider.setEnabled(false);
    slider.setEnabled(true);
    EXPECT_EQ(lost.size(), 0);

    QTest::keyPress(&slider, Qt::Key_Right);
    slider.setEnabled(false);
    EXPECT_EQ(lost.size(), 1);
    slider.setEnabled(true);

    QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(xOf(20), trackY()));
    slider.setEnabled(false);
    EXPECT_EQ(lost.size(), 2);
}

TEST_F(LevelSlider, aDisabledSliderLooksGreyAndIgnoresTheOperator) {
    const QImage enabled = picture(slider);
    const QColor blue(30, 90, 200);
    EXPECT_GT(pixelsNear(enabled, blue, enabled.rect(), 20), 50);

    slider.setEnabled(false);
    slider.setPosition(10);
    QSignalSpy down(&slider, &platform::CiSliderX::mouseDown);
    QSignalSpy keys(&slider, &platform::CiSliderX::keyDown);
    QTest::mouseClick(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(xOf(90), trackY()));
    QTest::keyClick(&slider, Qt::Key_PageUp);
    EXPECT_DOUBLE_EQ(slider.getPosition(), 10.0);
    EXPECT_EQ(down.size(), 0);
    EXPECT_EQ(keys.size(), 0);

    const QImage disabled = picture(slider);
    EXPECT_EQ(pixelsNear(disabled, blue, disabled.rect(), 20), 0);
}

TEST(SliderLayout, mapsPositionsToColumnsAndBackAndDropsNumbersThatDoNotFit) {
    const platform::SliderGeometry wide(QSize(418, 55), 100, 12.0, 18.0);
    EXPECT_TRUE(wide.showsNumbers());
    EXPECT_TRUE(wide.showsTicks());
    for (double position : {0.0, 25.0, 50.0, 100.0}) {
        EXPECT_NEAR(wide.positionAt(wide.xFor(position)), position, 1e-9);
    }
    EXPECT_LT(wide.xFor(0), wide.xFor(1));
    EXPECT_GE(wide.thumbRectAt(0).left(), 0.0);
    EXPECT_LE(wide.thumbRectAt(100).right(), 418.0);
    EXPECT_LE(wide.numbersBand().bottom(), wide.tickTop());
    EXPECT_LE(wide.tickBottom(), wide.thumbRectAt(0).top());

    EXPECT_FALSE(platform::SliderGeometry(QSize(120, 55), 100, 12.0, 18.0).showsNumbers());
    EXPECT_FALSE(platform::SliderGeometry(QSize(418, 24), 100, 12.0, 18.0).showsNumbers());
    EXPECT_FALSE(platform::SliderGeometry(QSize(418, 16), 100, 12.0, 18.0).showsTicks());
}

}  // namespace

namespace {

// Windows squeeze widgets; painting must cope with any size down to a single pixel.
TEST(EveryWidget, paintsAtTinySizesAndGivesAUsableSizeHint) {
    platform::CiAnalogDisplayX display;
    display.setUnitsText(" RPM");
    display.setValue(4015.88);
    platform::CiLedRectangleX lamp;
    lamp.setLabel("Refrigerant High Pressure Switch (605)");
    lamp.setWordWrap(true);
    lamp.setActive(true);
    platform::CiLedRoundX round;
    platform::CiSliderX slider;
    slider.setPosition(50);
    for (QWidget* widget : std::vector<QWidget*>{&display, &lamp, &round, &slider}) {
        EXPECT_GE(widget->sizeHint().width(), 20);
        EXPECT_GE(widget->sizeHint().height(), 14);
        for (const QSize size : {QSize(1, 1), QSize(5, 3), QSize(12, 8), QSize(30, 12)}) {
            widget->resize(size);
            EXPECT_EQ(picture(*widget).size(), size);
        }
    }
}

}  // namespace
