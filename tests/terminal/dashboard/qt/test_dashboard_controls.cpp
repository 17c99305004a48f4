// The dashboard's controls: every id of template 102, of the right kind, with its caption,
// property set and enabled state at creation, laid out without overlaps.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <vector>

#include "DashboardFixture.h"
#include "platform/instruments/qt/CiAnalogDisplayX.h"
#include "platform/instruments/qt/CiLedRectangleX.h"
#include "platform/instruments/qt/CiSliderX.h"
#include "platform/serial/qt/CMSComm.h"
#include "terminal/dashboard/qt/DashboardLayout.h"
#include "terminal/dashboard/qt/DashboardScaling.h"
#include "terminal/dashboard/qt/ProgramVersion.h"
#include "terminal/link/qt/LinkStatusBar.h"
#include "terminal/troublecodes/TroubleCodes.h"
#include "terminal/vehicle/EngineDashboardMap.h"

namespace {

const std::vector<int> buttonIds{1, 1001, 1005, 1007, 1008, 1012, 1045, 1046, 1047};
const std::vector<int> checkIds{1009, 1010, 1011, 1048};
const std::vector<int> editIds{1003, 1028, 1038, 1039, 1040, 1041,
                               1042, 1043, 1044, 1049, 1078, 1081};
const std::vector<int> displayIds{1013, 1014, 1015, 1016, 1017, 1018, 1019, 1020, 1021,
                                  1022, 1023, 1024, 1025, 1026, 1027, 1037, 1050, 1051,
                                  1052, 1053, 1054, 1073, 1074, 1075, 1076, 1077, 1079};
const std::vector<int> lampIds{1029, 1030, 1031, 1032, 1033, 1034, 1035, 1036, 1055,
                               1056, 1057, 1058, 1059, 1060, 1061, 1062, 1063, 1064,
                               1065, 1066, 1067, 1068, 1069, 1070, 1071, 1072, 1080};

QColor colourOf(terminal::LampColour colour) {
    switch (colour) {
        case terminal::LampColour::red:
            return QColor(255, 0, 0);
        case terminal::LampColour::amber:
            return QColor(255, 128, 0);
        case terminal::LampColour::yellow:
            return QColor(255, 255, 0);
        case terminal::LampColour::standard:
            break;
    }
    return platform::CiLedRectangleX().activeColor();
}

}  // namespace

using Dashboard = DashboardFixture;

TEST_F(Dashboard, HoldsEveryControlByIdAsTheRightKindOfWidget) {
    for (int id : buttonIds) {
        EXPECT_NE(control<QPushButton>(id), nullptr) << id;
    }
    for (int id : checkIds) {
        EXPECT_NE(control<QCheckBox>(id), nullptr) << id;
    }
    for (int id : editIds) {
        auto* box = control<QLineEdit>(id);
        ASSERT_NE(box, nullptr) << id;
        EXPECT_TRUE(box->isReadOnly()) << id;
    }
    for (int id : displayIds) {
        EXPECT_NE(control<platform::CiAnalogDisplayX>(id), nullptr) << id;
    }
    for (int id : lampIds) {
        EXPECT_NE(control<platform::CiLedRectangleX>(id), nullptr) << id;
    }
    ASSERT_NE(control<QComboBox>(1000), nullptr);
    EXPECT_TRUE(control<QComboBox>(1000)->isEditable());
    EXPECT_NE(control<platform::CiSliderX>(1006), nullptr);
    EXPECT_EQ(window->findChild<platform::CMSComm*>("1004"), &window->serialControl());

    // Every control is found by its name, the way a test of the running program finds it.
    for (const auto& [id, widget] : window->controls().all()) {
        EXPECT_EQ(window->findChild<QWidget*>(QString::number(id)), widget) << id;
    }
}

TEST_F(Dashboard, ShowsTheCaptionsOfItsButtonsGroupsAndLamps) {
    EXPECT_EQ(control<QPushButton>(1001)->text(), "C&onnect");
    EXPECT_TRUE(control<QPushButton>(1001)->isDefault());
    EXPECT_EQ(control<QPushButton>(1005)->text(), "D&isconnect");
    EXPECT_EQ(control<QPushButton>(1)->text(), "E&xit");
    EXPECT_EQ(control<QPushButton>(1012)->text(), "&Menu");
    EXPECT_EQ(control<QPushButton>(1007)->text(), "&Down");
    EXPECT_EQ(control<QPushButton>(1008)->text(), "&Up");
    EXPECT_EQ(control<QCheckBox>(1009)->text(), "D&ynamic");
    EXPECT_EQ(control<QCheckBox>(1010)->text(), "&Quiet");
    EXPECT_EQ(control<QCheckBox>(1011)->text(), "&Warnings");
    EXPECT_EQ(control<QCheckBox>(1048)->text(), "&Reset Eng DM2");
    EXPECT_EQ(control<QPushButton>(1045)->text(), "Multi-&Packets");
    EXPECT_EQ(control<QPushButton>(1047)->text(), "Multi-P&ackets");
    EXPECT_EQ(control<QPushButton>(1046)->text(), "Engine Configuration");
    EXPECT_EQ(control<platform::CiLedRectangleX>(1064)->label(), "EPS Approaching Shutdown (1109)");
    EXPECT_TRUE(control<platform::CiLedRectangleX>(1064)->wordWrap());
    EXPECT_FALSE(control<platform::CiLedRectangleX>(1031)->wordWrap());

    QStringList groups;
    for (auto* box : window->findChildren<QGroupBox*>()) {
        groups << box->title();
    }
    for (const char* title : {"Control Panel",
                              "Step 1: Connect to the J1939 Simulator",
                              "Serial Number",
                              "FW Version",
                              "CAN Baud Rate",
                              "Step 2: Remote Control the J1939 Simulator",
                              "Engine Idle Shutdown (IS)",
                              "Engine Protection System (EPS)",
                              "Engine Info and Warning Lamps",
                              "ABS Info and Warning Lamps",
                              "Transmission Info and Warning Lamps",
                              "Oil Temperature",
                              "Engine Basic Parameters",
                              "Vehicle Identification(VIN)",
                              "Engine Clock",
                              "Engine DM1",
                              "Engine DM2",
                              "Engine Configuration",
                              "ABS DM1",
                              "Transmission DM1",
                              "A/C && Refrigerant Switch",
                              "Engine RPM",
                              "Eng. Coolant Pressure(PSI)",
                              "EGR Mass Flow Rate "}) {
        EXPECT_TRUE(groups.contains(QString::fromUtf8(title))) << title;
    }
    EXPECT_EQ(window->windowTitle(), terminal::ui::programTitle());
    EXPECT_TRUE(window->windowTitle().startsWith("Tessaly "));
    EXPECT_TRUE(window->windowTitle().contains(" (build "));
}

TEST_F(Dashboard, GivesEachDisplayItsUnitsAndDecimalsAndEachLampItsColour) {
    EXPECT_EQ(control<platform::CiAnalogDisplayX>(1013)->unitsText(), " RPM");
    EXPECT_EQ(control<platform::CiAnalogDisplayX>(1013)->precision(), 2);
    EXPECT_EQ(control<platform::CiAnalogDisplayX>(1075)->precision(), 0);
    EXPECT_EQ(control<platform::CiAnalogDisplayX>(1077)->unitsText(), " kg/Hr");
    EXPECT_EQ(control<platform::CiAnalogDisplayX>(1026)->unitsText(), " mile");
    EXPECT_EQ(control<platform::CiAnalogDisplayX>(1037)->unitsText(), " F");
    EXPECT_EQ(control<platform::CiAnalogDisplayX>(1014)->precision(), -1);
    for (int id : displayIds) {
        EXPECT_EQ(control<platform::CiAnalogDisplayX>(id)->digitColor(), QColor(0, 255, 0)) << id;
    }
    EXPECT_EQ(control<platform::CiLedRectangleX>(1032)->activeColor(), QColor(255, 128, 0));
    EXPECT_EQ(control<platform::CiLedRectangleX>(1030)->activeColor(), QColor(255, 0, 0));
    EXPECT_EQ(control<platform::CiLedRectangleX>(1055)->activeColor(), QColor(255, 255, 0));
    for (int id : lampIds) {
        EXPECT_EQ(control<platform::CiLedRectangleX>(id)->inactiveColor(), QColor(Qt::black)) << id;
    }
}

// The engine model names the same displays and lamps for its writes; both must agree.
TEST_F(Dashboard, AgreesWithTheEngineModelOnEveryDisplayAndLamp) {
    for (const auto& display : terminal::engineDisplays) {
        auto* widget = control<platform::CiAnalogDisplayX>(display.id);
        ASSERT_NE(widget, nullptr) << display.id;
        EXPECT_EQ(widget->unitsText().toStdString(), display.units) << display.id;
        EXPECT_EQ(widget->precision(), display.decimals) << display.id;
        QStringList titles;
        for (auto* box : window->findChildren<QGroupBox*>()) {
            if (box->geometry().contains(widget->geometry())) {
                titles << box->title();
            }
        }
        EXPECT_TRUE(titles.contains(
            QString::fromUtf8(display.caption.data(), qsizetype(display.caption.size()))))
            << display.id;
    }
    auto checkLamp = [this](int id, std::string_view label, terminal::LampColour colour) {
        auto* lamp = control<platform::CiLedRectangleX>(id);
        ASSERT_NE(lamp, nullptr) << id;
        EXPECT_EQ(lamp->label().toStdString(), label) << id;
        EXPECT_EQ(lamp->activeColor(), colourOf(colour)) << id;
    };
    for (const auto& lamp : terminal::engineLamps) {
        checkLamp(lamp.id, lamp.label, lamp.colour);
    }
    for (const auto& lamp : terminal::troubleCodeLamps) {
        checkLamp(lamp.id, lamp.label, lamp.colour);
    }
}

TEST_F(Dashboard, StartsWithOnlyTheLinkControlsEnabled) {
    for (int id : {1005, 1006, 1007, 1008, 1009, 1010, 1011, 1012, 1041, 1042, 1043, 1044, 1045,
                   1046, 1047, 1048}) {
        EXPECT_FALSE(window->isControlEnabled(id)) << id;
    }
    for (int id : {1, 1000, 1001, 1003, 1028, 1038, 1049, 1078, 1081, 1013, 1031}) {
        EXPECT_TRUE(window->isControlEnabled(id)) << id;
    }
    window->enableControl(1045, true);
    EXPECT_TRUE(control<QPushButton>(1045)->isEnabled());
    EXPECT_FALSE(window->isControlEnabled(4242));
}

TEST_F(Dashboard, LaysEveryControlInsideTheWindowWithoutOverlaps) {
    const QRect inside = window->rect();
    std::vector<std::pair<int, QRect>> placed;
    for (const auto& [id, widget] : window->controls().all()) {
        EXPECT_TRUE(inside.contains(widget->geometry())) << id;
        for (const auto& [otherId, other] : placed) {
            EXPECT_FALSE(widget->geometry().intersects(other)) << id << " overlaps " << otherId;
        }
        placed.emplace_back(id, widget->geometry());
    }
    // At the scale the window was fitted to its screen: the dashboard, the status bar below.
    platform::DialogLayout units;
    units.setScale(window->scaling().scale());
    const QSize dashboard = units.toPixels(645, 403);
    EXPECT_NEAR(window->width(), dashboard.width(), 1);
    EXPECT_NEAR(window->linkStatusBar().y(), dashboard.height(), 1);
    EXPECT_EQ(window->height(), window->linkStatusBar().y() + window->linkStatusBar().height());
    EXPECT_EQ(control<platform::CiSliderX>(1006)->geometry(), units.toPixels(27, 97, 279, 34));
}
