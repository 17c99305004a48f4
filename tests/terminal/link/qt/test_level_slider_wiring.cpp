// How the operator's hands on the level slider reach the level's two handlers: what takes hold
// of it, and what lets go and so sends the level.

#include <QTest>
#include <QWheelEvent>
#include <string>

#include <gtest/gtest.h>

#include "platform/instruments/qt/CiSliderX.h"
#include "terminal/link/qt/LevelSliderWiring.h"

namespace {

struct WiredSlider {
    platform::CiSliderX slider;
    std::string calls;  // "g" for each grab, "c" for each chosen, in order

    WiredSlider() {
        slider.resize(300, 40);
        slider.setMaximum(100);
        terminal::ui::wireLevelSlider(
            slider, &slider, [this] { calls += 'g'; }, [this] { calls += 'c'; });
        slider.show();
    }
    QPoint track(double position) const {
        return QPoint(qRound(slider.sliderGeometry().xFor(position)), slider.height() / 2);
    }
};

TEST(LevelSliderWiring, aLeftPressTakesHoldAndItsReleaseLetsGo) {
    WiredSlider w;
    QTest::mousePress(&w.slider, Qt::LeftButton, {}, w.track(40));
    EXPECT_EQ("g", w.calls);
    QTest::mouseRelease(&w.slider, Qt::LeftButton, {}, w.track(40));
    EXPECT_EQ("gc", w.calls);
}

TEST(LevelSliderWiring, aRightPressDoesNotTakeHoldButItsReleaseStillLetsGo) {
    WiredSlider w;
    QTest::mousePress(&w.slider, Qt::RightButton, {}, w.track(40));
    EXPECT_EQ("", w.calls);
    QTest::mouseRelease(&w.slider, Qt::RightButton, {}, w.track(40));
    EXPECT_EQ("c", w.calls);
    QTest::mousePress(&w.slider, Qt::MiddleButton, {}, w.track(40));
    QTest::mouseRelease(&w.slider, Qt::MiddleButton, {}, w.track(40));
    EXPECT_EQ("cc", w.calls);
}

TEST(LevelSliderWiring, aKeyPressAndReleaseSendEvenWhenTheThumbCannotMove) {
    WiredSlider w;
    w.slider.setPosition(0);
    QTest::keyPress(&w.slider, Qt::Key_Left);  // already at 0
    EXPECT_EQ("g", w.calls);
    QTest::keyRelease(&w.slider, Qt::Key_Left);
    EXPECT_EQ("gc", w.calls);
    EXPECT_EQ(0, w.slider.getPosition());

    QTest::keyClick(&w.slider, Qt::Key_A);  // a key the slider has no use for
    EXPECT_EQ("gcgc", w.calls);
}

TEST(LevelSliderWiring, aWheelNotchTakesHoldAndLetsGoAroundItsStep) {
    WiredSlider w;
    const QPoint at = w.track(50);
    QWheelEvent notch(at, w.slider.mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&w.slider, &notch);
    EXPECT_EQ("gc", w.calls);
}

TEST(LevelSliderWiring, losingTheHoldWithoutAReleaseStillLetsGo) {
    WiredSlider w;
    QTest::mousePress(&w.slider, Qt::LeftButton, {}, w.track(40));
    w.slider.setEnabled(false);  // e.g. a disconnect while the operator holds it
    EXPECT_EQ("gc", w.calls);
}

}  // namespace
