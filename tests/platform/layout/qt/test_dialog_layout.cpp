// Window layouts typed as tables of dialog units: conversion, names and rectangles.
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>
#include <QtMath>
#include <array>

#include <gtest/gtest.h>

#include "platform/instruments/qt/CiLedRectangleX.h"
#include "platform/layout/qt/DialogLayout.h"
#include "platform/layout/qt/ScaledStyle.h"

using platform::ControlKind;
using platform::ControlRow;
using platform::DialogLayout;
namespace flags = platform::flags;

TEST(DialogUnits, FollowTheDialogFontsAverageLetterWidthAndHeight) {
    DialogLayout layout;
    QFontMetricsF metrics(DialogLayout::dialogFont());
    const QString letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    const qreal average = metrics.horizontalAdvance(letters) / 52.0;
    ASSERT_GT(average, 1.0);
    EXPECT_DOUBLE_EQ(layout.averageCharWidth(), average);
    // 4 horizontal units are one average letter, 8 vertical units one line.
    EXPECT_EQ(layout.toPixelsX(400), qRound(100 * average));
    EXPECT_EQ(layout.toPixelsY(8), QFontMetrics(DialogLayout::dialogFont()).height());
    EXPECT_EQ(layout.toPixelsY(800), 100 * QFontMetrics(DialogLayout::dialogFont()).height());
    // A table's 52 letters in a label 52 * 4 units wide fit it.
    EXPECT_GE(layout.toPixelsX(52 * 4) + 1, qCeil(metrics.horizontalAdvance(letters)));
}

TEST(DialogUnits, RoundToTheNearestPixel) {
    DialogLayout layout;
    const qreal cx = layout.averageCharWidth();
    const int cy = layout.charHeight();
    for (int units : {0, 1, 3, 7, 13, 75, 645}) {
        EXPECT_EQ(layout.toPixelsX(units), static_cast<int>(units * cx / 4.0 + 0.5)) << units;
        EXPECT_EQ(layout.toPixelsY(units), static_cast<int>(units * cy / 8.0 + 0.5)) << units;
    }
}

TEST(DialogUnits, ScaleWithALargerFont) {
    QFont big = DialogLayout::dialogFont();
    big.setPointSize(16);
    DialogLayout small;
    DialogLayout large(big);
    EXPECT_GT(large.toPixelsX(100), small.toPixelsX(100));
    EXPECT_GT(large.toPixelsY(100), small.toPixelsY(100));
}

namespace {

constexpr std::array<ControlRow, 8> sampleRows{{
    {0, ControlKind::groupBox, "Step 1: Connect", 22, 20, 290, 63},
    {1001, ControlKind::pushButton, "C&onnect", 30, 40, 50, 14, flags::defaultButton},
    {1005, ControlKind::pushButton, "D&isconnect", 90, 40, 50, 14, flags::disabled},
    {1009, ControlKind::checkBox, "D&ynamic", 30, 60, 40, 10},
    {0, ControlKind::label, "Port:", 150, 42, 20, 8},
    {1038, ControlKind::edit, "", 20, 100, 150, 12, flags::readOnly | flags::centred},
    {1048, ControlKind::edit, "", 29, 28, 82, 241,
     flags::readOnly | flags::multiLine | flags::rightAligned | flags::verticalScroll},
    {1070, ControlKind::ledRectangle, "A/C && Fan (985)", 540, 280, 80, 30, flags::wordWrap},
}};

}  // namespace

TEST(DialogTable, NamesEachControlByItsIdAndLeavesUnnumberedOnesNameless) {
    QWidget window;
    DialogLayout layout;
    auto controls = layout.build(&window, sampleRows);

    for (int id : {1001, 1005, 1009, 1038, 1048, 1070}) {
        QWidget* control = controls.widget(id);
        ASSERT_NE(control, nullptr) << id;
        EXPECT_EQ(control->objectName(), QString::number(id));
        EXPECT_EQ(control->parentWidget(), &window);
        EXPECT_EQ(window.findChild<QWidget*>(QString::number(id)), control);
    }
    EXPECT_EQ(controls.widget(4242), nullptr);
    EXPECT_EQ(controls.all().size(), 6u);
    for (auto* box : window.findChildren<QGroupBox*>()) {
        EXPECT_TRUE(box->objectName().isEmpty());
    }
}

TEST(DialogTable, PlacesAControlAtItsRowsRectangle) {
    QWidget window;
    DialogLayout layout;
    auto controls = layout.build(&window, sampleRows);

    EXPECT_EQ(controls.widget(1001)->geometry(), layout.toPixels(30, 40, 50, 14));
    EXPECT_EQ(controls.widget(1048)->geometry(), layout.toPixels(29, 28, 82, 241));
    auto* box = window.findChild<QGroupBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->geometry(), layout.toPixels(22, 20, 290, 63));
}

TEST(DialogTable, GivesEachKindItsWidgetAndFlags) {
    QWidget window;
    DialogLayout layout;
    auto controls = layout.build(&window, sampleRows);

    auto* connect = controls.get<QPushButton>(1001);
    ASSERT_NE(connect, nullptr);
    EXPECT_TRUE(connect->isDefault());
    EXPECT_EQ(connect->text(), "C&onnect");
    EXPECT_FALSE(controls.get<QPushButton>(1005)->isDefault());
    EXPECT_FALSE(controls.widget(1005)->isEnabled());
    EXPECT_TRUE(controls.widget(1001)->isEnabled());
    ASSERT_NE(controls.get<QCheckBox>(1009), nullptr);

    auto* claim = controls.get<QLineEdit>(1038);
    ASSERT_NE(claim, nullptr);
    EXPECT_TRUE(claim->isReadOnly());
    EXPECT_TRUE(claim->alignment() & Qt::AlignHCenter);

    auto* list = controls.get<QPlainTextEdit>(1048);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isReadOnly());
    EXPECT_EQ(list->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_TRUE(list->document()->defaultTextOption().alignment() & Qt::AlignRight);

    auto* lamp = controls.get<platform::CiLedRectangleX>(1070);
    ASSERT_NE(lamp, nullptr);
    EXPECT_EQ(lamp->label(), "A/C & Fan (985)");
}

TEST(DialogTable, AnEditableComboKeepsItsWidthAndTheStylesHeight) {
    QWidget window;
    DialogLayout layout;
    const std::array<ControlRow, 1> rows{{
        {1020, ControlKind::editableCombo, "", 44, 54, 40, 45},
    }};
    auto controls = layout.build(&window, rows);
    auto* combo = controls.get<QComboBox>(1020);
    ASSERT_NE(combo, nullptr);
    EXPECT_TRUE(combo->isEditable());
    EXPECT_EQ(combo->geometry().topLeft(), layout.toPixels(44, 54, 40, 45).topLeft());
    EXPECT_EQ(combo->width(), layout.toPixelsX(40));
    EXPECT_LT(combo->height(), layout.toPixelsY(45));
}

TEST(DialogTable, SizesTheWindowAndGivesItTheDialogFont) {
    QWidget window;
    DialogLayout layout;
    layout.sizeWindow(&window, 320, 266);
    EXPECT_EQ(window.size(), layout.toPixels(320, 266));
    EXPECT_EQ(window.font(), DialogLayout::dialogFont());
    const std::array<ControlRow, 1> rows{{{1, ControlKind::checkBox, "&Quiet", 10, 10, 60, 10}}};
    EXPECT_EQ(qobject_cast<platform::ScaledStyle*>(layout.build(&window, rows).widget(1)->style()),
              nullptr);
}

// The test platform's screen is 800 pixels wide: the dashboard's 645 x 403 units do not fit.
TEST(DialogTable, LaysAWindowTooLargeForItsScreenOutSmallerAsAWhole) {
    QWidget window;
    DialogLayout layout;
    const QSize full = DialogLayout().toPixels(645, 403);
    layout.sizeWindow(&window, 645, 403);
    const QRect room = DialogLayout::roomOnScreen(&window);
    EXPECT_GT(full.width(), room.width());
    EXPECT_LE(window.width(), room.width());
    EXPECT_LE(window.height(), room.height());
    EXPECT_GT(window.width(), room.width() - 4);
    EXPECT_LT(layout.scale(), 1.0);
    EXPECT_NEAR(window.font().pointSizeF(), 8.0 * layout.scale(), 0.01);
    // Its controls draw through a style at the same scale, their parts too.
    const std::array<ControlRow, 2> rows{{{1, ControlKind::checkBox, "&Quiet", 10, 10, 60, 10},
                                          {2, ControlKind::editableCombo, "", 10, 30, 60, 80}}};
    const platform::DialogControls controls = layout.build(&window, rows);
    auto* style = qobject_cast<platform::ScaledStyle*>(controls.widget(1)->style());
    ASSERT_NE(style, nullptr);
    EXPECT_DOUBLE_EQ(style->scale(), layout.scale());
    EXPECT_EQ(controls.get<QComboBox>(2)->lineEdit()->style(), style);
}

TEST(Captions, ALabelShowsOneAmpersandForTwoAndDropsTheMnemonicMark) {
    EXPECT_EQ(DialogLayout::plainCaption("A/C && Refrigerant Switch"), "A/C & Refrigerant Switch");
    EXPECT_EQ(DialogLayout::plainCaption("&Port:"), "Port:");
    EXPECT_EQ(DialogLayout::plainCaption("Tom & Jerry &"), "Tom  Jerry &");
    EXPECT_EQ(DialogLayout::plainCaption(nullptr), "");

    QWidget window;
    DialogLayout layout;
    const std::array<ControlRow, 1> rows{
        {{1019, ControlKind::label, "&Port && Speed", 0, 0, 60, 8}}};
    auto controls = layout.build(&window, rows);
    EXPECT_EQ(controls.get<QLabel>(1019)->text(), "Port & Speed");
}

namespace {

// Where a window's client area may go: the available area less the frame, and less a panel's
// height where the platform reports no work area.
TEST(DialogRoom, LeavesTheFrameAndAnUnreportedPanelFree) {
    const struct {
        const char* what;
        QRect available;
        QMargins frame;
        int panel;
        QRect room;
    } cases[] = {
        {"Qt's own title bar, a panel kept", QRect(0, 0, 1280, 720), QMargins(3, 30, 3, 3), 48,
         QRect(3, 54, 1274, 639)},
        {"a window manager's frame, the work area known", QRect(0, 32, 1366, 736),
         QMargins(1, 29, 1, 1), 0, QRect(1, 61, 1364, 706)},
        {"a small screen at 200 %", QRect(0, 0, 683, 384), QMargins(3, 30, 3, 3), 48,
         QRect(3, 54, 677, 303)},
        {"an odd panel height", QRect(0, 0, 800, 600), QMargins(), 7, QRect(0, 3, 800, 593)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DialogLayout::roomIn(c.available, c.frame, c.panel), c.room) << c.what;
    }
    // Without a frame known: room for a typical window manager's, as before a window is shown.
    EXPECT_EQ(DialogLayout::roomIn(QRect(0, 0, 1280, 720)), QRect(8, 24, 1264, 672));
}

TEST(DialogRoom, KeepsPanelRoomOnlyWhereThePlatformHidesTheWorkArea) {
    const QRect whole(0, 0, 1280, 720);
    const struct {
        const char* platform;
        QRect available;
        int panel;
    } cases[] = {
        {"wayland", whole, 48},
        {"wayland-egl", whole, 48},
        {"wayland", QRect(0, 32, 1280, 688), 0},  // a compositor that tells it after all
        {"xcb", whole, 0},                        // no panel: X11 reports them
        {"xcb", QRect(0, 32, 1280, 688), 0},
        {"offscreen", whole, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DialogLayout::unreportedPanelRoom(c.platform, c.available, whole), c.panel)
            << c.platform;
    }
}

TEST(DialogRoom, ANotYetShownWindowAllowsForATypicalFrame) {
    QWidget window;
    EXPECT_EQ(DialogLayout::frameMargins(&window), QMargins(8, 24, 8, 24));
}

}  // namespace
