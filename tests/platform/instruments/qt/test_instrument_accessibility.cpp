// The instruments as a screen reader or a GUI test tool sees them through the accessibility
// layer: the display's caption and shown text, a lamp's name and lit state, the slider's range
// and position, and a value set through it taking the operator's path.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QSignalSpy>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "platform/instruments/qt/CiAnalogDisplayX.h"
#include "platform/instruments/qt/CiLedRectangleX.h"
#include "platform/instruments/qt/CiLedRoundX.h"
#include "platform/instruments/qt/CiSliderX.h"
#include "platform/instruments/qt/InstrumentAccessibility.h"

namespace {

// Installed before any instrument exists, as the programs do: Qt keeps the first interface
// it made for an object.
class InstrumentAccessibility : public ::testing::Test {
protected:
    InstrumentAccessibility() { platform::installInstrumentAccessibility(); }
};

QAccessibleInterface* accessibleOf(QWidget& widget) {
    return QAccessible::queryAccessibleInterface(&widget);
}

struct DisplayCase {
    double value;
    int decimals;
    const char* units;
    const char* shown;
};

const DisplayCase displayCases[] = {
    {4015.875, 2, " RPM", "4015.88 RPM"},
    {-40.0, -1, " F", "-40.0 F"},
    {-0.001, 1, " %", "0.0 %"},
    {std::numeric_limits<double>::quiet_NaN(), 2, " PSI", "---- PSI"},
};

TEST_F(InstrumentAccessibility, aDisplayIsNamedByItsCaptionAndReadsWhatItsFaceShows) {
    for (const DisplayCase& c : displayCases) {
        SCOPED_TRACE(c.shown);
        platform::CiAnalogDisplayX display;
        display.setAccessibleName("Engine RPM");
        display.setPrecision(c.decimals);
        display.setUnitsText(c.units);
        display.setValue(c.value);
        QAccessibleInterface* face = accessibleOf(display);
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(face->role(), QAccessible::StaticText);
        EXPECT_EQ(face->text(QAccessible::Name), "Engine RPM");
        EXPECT_EQ(face->text(QAccessible::Value), c.shown);
        EXPECT_TRUE(face->state().readOnly);
        QAccessibleTextInterface* text = face->textInterface();
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->text(0, -1), c.shown);
        EXPECT_EQ(text->characterCount(), int(std::string(c.shown).size()));
    }
}

TEST_F(InstrumentAccessibility, aDisplaysTextFollowsTheLastValueAndCutsAtTheTextsEnds) {
    platform::CiAnalogDisplayX display;
    display.setPrecision(2);
    display.setUnitsText(" V");
    QAccessibleTextInterface* text = accessibleOf(display)->textInterface();
    display.setValue(12.5);
    display.setValue(18.75);  // within one readout period of the first: not yet repainted
    EXPECT_EQ(text->text(0, -1), "18.75 V");
    EXPECT_EQ(text->text(3, 5), "75");
    EXPECT_EQ(text->text(5, 99), " V");
    EXPECT_EQ(text->text(-4, 2), "18");
    EXPECT_EQ(text->text(6, 2), "");
    EXPECT_EQ(text->text(0, 0), "");
}

struct LampCase {
    bool round;
    const char* givenName;
    const char* label;
    bool lit;
    const char* heard;
};

const LampCase lampCases[] = {
    {false, "Engine Red Stop", "Red Stop", true, "Engine Red Stop"},
    {false, "", "Cruise", false, "Cruise"},
    {true, "Connection status On", "", true, "Connection status On"},
    {true, "Connection status Off", "", false, "Connection status Off"},
};

TEST_F(InstrumentAccessibility, aLampIsAReadOnlyCheckBoxCheckedWhileLit) {
    for (const LampCase& c : lampCases) {
        SCOPED_TRACE(c.heard);
        platform::CiLedRectangleX rectangle;
        platform::CiLedRoundX round;
        QWidget& lamp = c.round ? static_cast<QWidget&>(round) : rectangle;
        lamp.setAccessibleName(c.givenName);
        rectangle.setLabel(c.label);
        QAccessibleInterface* face = accessibleOf(lamp);
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(face->role(), QAccessible::CheckBox);
        EXPECT_EQ(face->text(QAccessible::Name), c.heard);
        EXPECT_FALSE(face->state().checked);
        rectangle.setActive(c.lit);
        round.setActive(c.lit);
        EXPECT_EQ(face->state().checked, c.lit);
        EXPECT_TRUE(face->state().readOnly);
    }
}

TEST_F(InstrumentAccessibility, theSliderGivesItsRangeAndPosition) {
    platform::CiSliderX slider;
    slider.setAccessibleName("Level");
    slider.setPosition(37.5);
    QAccessibleInterface* face = accessibleOf(slider);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::Slider);
    EXPECT_EQ(face->text(QAccessible::Name), "Level");
    QAccessibleValueInterface* value = face->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->minimumValue().toDouble(), 0.0);
    EXPECT_EQ(value->maximumValue().toDouble(), 100.0);
    EXPECT_EQ(value->minimumStepSize().toDouble(), 1.0);
    EXPECT_EQ(value->currentValue().toDouble(), 37.5);
    slider.setMaximum(60);
    EXPECT_EQ(value->maximumValue().toDouble(), 60.0);
}

struct ValueSetCase {
    QVariant asked;
    double position;   // where the thumb ends
    const char* told;  // s: changeStarted (position at the time), f: changeFinished
};

TEST_F(InstrumentAccessibility, aValueSetThroughTheSliderIsAnOperatorsChangeInWholeSteps) {
    const ValueSetCase cases[] = {
        {QVariant(40), 40.0, "s20 f40"},
        {QVariant(37.6), 38.0, "s20 f38"},
        {QVariant(250.0), 100.0, "s20 f100"},
        {QVariant(-3), 0.0, "s20 f0"},
        {QVariant(20), 20.0, "s20 f20"},  // a change to where it is still frames a change
        {QVariant(QStringLiteral("level")), 20.0, ""},
        {QVariant(std::nan("")), 20.0, ""},
    };
    for (const ValueSetCase& c : cases) {
        SCOPED_TRACE(c.told);
        platform::CiSliderX slider;
        slider.setPosition(20);
        std::string heard;
        QObject::connect(&slider, &platform::CiSliderX::changeStarted,
                         [&] { heard += "s" + std::to_string(int(slider.getPosition())) + " "; });
        QObject::connect(&slider, &platform::CiSliderX::changeFinished,
                         [&] { heard += "f" + std::to_string(int(slider.getPosition())); });
        accessibleOf(slider)->valueInterface()->setCurrentValue(c.asked);
        EXPECT_EQ(slider.getPosition(), c.position);
        EXPECT_EQ(heard, c.told);
    }
}

TEST_F(InstrumentAccessibility, aDisabledSliderTakesNoValue) {
    platform::CiSliderX slider;
    slider.setPosition(20);
    slider.setEnabled(false);
    QSignalSpy started(&slider, &platform::CiSliderX::changeStarted);
    accessibleOf(slider)->valueInterface()->setCurrentValue(70);
    EXPECT_EQ(slider.getPosition(), 20.0);
    EXPECT_EQ(started.size(), 0);
}

}  // namespace
