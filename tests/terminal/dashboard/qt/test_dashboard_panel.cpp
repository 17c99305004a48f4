// The dashboard's look right after start, and the transfers between DashboardState and the
// controls.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>
#include <iterator>
#include <string>
#include <utility>

#include "DashboardFixture.h"
#include "platform/instruments/qt/CiAnalogDisplayX.h"
#include "platform/instruments/qt/CiLedRectangleX.h"
#include "terminal/dashboard/DashboardState.h"
#include "terminal/dashboard/qt/PanelTransfer.h"
#include "terminal/link/qt/PortList.h"

using terminal::DashboardState;

using DashboardAtStart = DashboardFixture;

TEST_F(DashboardAtStart, ShowsTheValuesOfLevelZeroAndTheWaitingTexts) {
    start();
    EXPECT_EQ(control<platform::CiAnalogDisplayX>(1013)->displayText(), "0.00 RPM");
    EXPECT_DOUBLE_EQ(control<platform::CiAnalogDisplayX>(1017)->value(), -40.0);
    EXPECT_TRUE(control<platform::CiAnalogDisplayX>(1017)->displayText().startsWith("-40"));
    EXPECT_TRUE(control<platform::CiAnalogDisplayX>(1050)->displayText().startsWith("-459.4"));
    EXPECT_EQ(control<platform::CiAnalogDisplayX>(1037)->displayText(),
              control<platform::CiAnalogDisplayX>(1050)->displayText());
    for (auto* lamp : window->findChildren<platform::CiLedRectangleX*>()) {
        EXPECT_FALSE(lamp->isActive()) << lamp->objectName().toStdString();
    }
    EXPECT_EQ(control<QLineEdit>(1078)->text(), "Not Available Yet!");
    EXPECT_EQ(control<QLineEdit>(1049)->text(), "Not Found Yet!");
    EXPECT_EQ(control<QLineEdit>(1081)->text(), "Not Found Yet!");
    EXPECT_EQ(control<QLineEdit>(1028)->text(), "0:0");
    EXPECT_EQ(control<QLineEdit>(1003)->text(), "0");
    for (int id : {1038, 1039, 1040}) {
        EXPECT_EQ(control<QLineEdit>(id)->text(), "Address Claimed Info not available.") << id;
    }
    // The zero row, without its line end, in all four trouble-code boxes.
    for (int id : {1041, 1042, 1043, 1044}) {
        EXPECT_EQ(control<QLineEdit>(id)->text(), "   0     0      0     0") << id;
    }
    EXPECT_EQ(control<QComboBox>(1000)->currentText(), "COM1");
    EXPECT_FALSE(window->isControlEnabled(1005));
    EXPECT_TRUE(window->isControlEnabled(1001));
}

TEST_F(DashboardAtStart, TakesThePortRememberedInTheSettingsFile) {
    QFile file(folder.filePath("vive1939.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("COM=12;\r\n");
    file.close();
    start();
    EXPECT_EQ(control<QComboBox>(1000)->currentText(), "COM12");
    EXPECT_EQ(window->core().dashboard().portName, "COM12");
}

using PanelTransfer = DashboardFixture;

namespace {

// The smallest group box around a control: the caption the operator reads it under.
QString captionAbove(QWidget* window, QWidget* control) {
    const QRect area(control->mapTo(window, QPoint(0, 0)), control->size());
    QString caption;
    int smallest = 0;
    for (auto* group : window->findChildren<QGroupBox*>()) {
        const QRect frame(group->mapTo(window, QPoint(0, 0)), group->size());
        const int size = frame.width() * frame.height();
        if (frame.contains(area) && (caption.isNull() || size < smallest)) {
            caption = group->title();
            smallest = size;
        }
    }
    return caption;
}

// Each text of the record by its box's id (a literal, not the program's own table) and the
// caption that box stands under, so two boxes swapped in either table show up.
struct TextBox {
    const char* id;
    std::string DashboardState::*field;
    const char* caption;
};
const TextBox textBoxes[] = {
    {"1049", &DashboardState::firmwareVersionText, "FW Version"},
    {"1081", &DashboardState::canBaudText, "CAN Baud Rate"},
    {"1028", &DashboardState::engineClockText, "Engine Clock"},
    {"1038", &DashboardState::engineClaimText, "Engine Info and Warning Lamps"},
    {"1039", &DashboardState::absClaimText, "ABS Info and Warning Lamps"},
    {"1040", &DashboardState::transmissionClaimText, "Transmission Info and Warning Lamps"},
    {"1041", &DashboardState::engineDm1Text, "Engine DM1"},
    {"1042", &DashboardState::absDm1Text, "ABS DM1"},
    {"1043", &DashboardState::transmissionDm1Text, "Transmission DM1"},
    {"1044", &DashboardState::engineDm2Text, "Engine DM2"},
    {"1078", &DashboardState::vinText, "Vehicle Identification(VIN)"},
};

struct CheckBox {
    const char* id;
    bool DashboardState::*field;
    const char* caption;
};
const CheckBox checkBoxes[] = {
    {"1009", &DashboardState::dynamicOn, "D&ynamic"},
    {"1010", &DashboardState::quietOn, "&Quiet"},
    {"1011", &DashboardState::warningsOn, "&Warnings"},
    {"1048", &DashboardState::resetEngineDm2On, "&Reset Eng DM2"},
};

const std::pair<const char*, const char*> displays[] = {
    {"1013", "Engine RPM"},
    {"1025", "Engine Load%"},
    {"1016", "Engine Oil Pressure (PSI)"},
    {"1022", "Inst. Fuel Rate"},
    {"1014", "Engine Hour (Hr)"},
    {"1017", "Engine Coolant Temp (F)"},
    {"1015", "Speed (MPH)"},
    {"1023", "Accelerator Position"},
    {"1050", "Engine Oil Temp (F)"},
    {"1019", "Fuel Level (%)"},
    {"1051", "Engine Oil Level (%)"},
    {"1054", "Engine Fuel Temp (F)"},
    {"1021", "Inst. Fuel Economy"},
    {"1024", "Inlet Air Temp (F)"},
    {"1052", "Eng. Coolant Pressure(PSI)"},
    {"1073", "Exhaust Gas Temp (F)"},
    {"1053", "Eng. Coolant Level (%)"},
    {"1026", "Engine Trip"},
    {"1018", "Battery Voltage (V)"},
    {"1027", "Total Vehicle Distance"},
    {"1020", "Engine Boost Pressure"},
    {"1075", "Nominal Friction-%Torque"},
    {"1074", "Actual Engine-%Torque"},
    {"1077", "Inlet Air Mass Flow Rate"},
    {"1076", "EGR Mass Flow Rate "},
    {"1079", "Engine Air Inlet Pressure "},
    {"1037", "Oil Temperature"},
};

}  // namespace

TEST_F(PanelTransfer, EveryBoxShowsItsOwnFieldUnderItsOwnCaption) {
    DashboardState shown;
    shown.portName = "COM7";
    shown.serialNumber = 305419896;
    int n = 0;
    for (const TextBox& box : textBoxes) {
        shown.*box.field = "text " + std::to_string(++n);
    }
    for (std::size_t i = 0; i < std::size(checkBoxes); ++i) {
        shown.*checkBoxes[i].field = i % 2 == 0;
    }
    window->writePanel(shown);

    n = 0;
    for (const TextBox& box : textBoxes) {
        auto* edit = window->findChild<QLineEdit*>(box.id);
        ASSERT_NE(edit, nullptr) << box.id;
        EXPECT_EQ(edit->text().toStdString(), "text " + std::to_string(++n)) << box.id;
        EXPECT_EQ(captionAbove(window.get(), edit), box.caption) << box.id;
    }
    auto* serialNumber = window->findChild<QLineEdit*>("1003");
    ASSERT_NE(serialNumber, nullptr);
    EXPECT_EQ(serialNumber->text(), "305419896");
    EXPECT_EQ(captionAbove(window.get(), serialNumber), "Serial Number");
    for (std::size_t i = 0; i < std::size(checkBoxes); ++i) {
        auto* check = window->findChild<QCheckBox*>(checkBoxes[i].id);
        ASSERT_NE(check, nullptr) << checkBoxes[i].id;
        EXPECT_EQ(check->isChecked(), i % 2 == 0) << checkBoxes[i].id;
        EXPECT_EQ(check->text(), checkBoxes[i].caption);
    }

    // The other way: each box typed into by its id reaches its own field.
    n = 0;
    for (const TextBox& box : textBoxes) {
        window->findChild<QLineEdit*>(box.id)->setText(QString("typed %1").arg(++n));
    }
    for (std::size_t i = 0; i < std::size(checkBoxes); ++i) {
        window->findChild<QCheckBox*>(checkBoxes[i].id)->setChecked(i % 2 == 1);
    }
    DashboardState taken;
    window->readPanel(taken);
    n = 0;
    for (const TextBox& box : textBoxes) {
        EXPECT_EQ(taken.*box.field, "typed " + std::to_string(++n)) << box.id;
    }
    for (std::size_t i = 0; i < std::size(checkBoxes); ++i) {
        EXPECT_EQ(taken.*checkBoxes[i].field, i % 2 == 1) << checkBoxes[i].id;
    }
    EXPECT_EQ(taken.serialNumber, 305419896u);
    EXPECT_EQ(taken.portName, "COM7");
}

TEST_F(PanelTransfer, EveryDisplayShowsItsOwnValueUnderItsOwnCaption) {
    double value = 10.0;
    for (const auto& [id, caption] : displays) {
        window->setDisplayValue(QString(id).toInt(), value);
        value += 1.5;
    }
    value = 10.0;
    for (const auto& [id, caption] : displays) {
        auto* display = window->findChild<platform::CiAnalogDisplayX*>(id);
        ASSERT_NE(display, nullptr) << id;
        EXPECT_EQ(display->value(), value) << id;
        EXPECT_EQ(captionAbove(window.get(), display), caption) << id;
        value += 1.5;
    }
}

TEST_F(PanelTransfer, TakesTheOperatorsClicksAndTypedPort) {
    DashboardState state;
    window->writePanel(state);
    control<QCheckBox>(1010)->setChecked(true);
    control<QComboBox>(1000)->setEditText("COM41");
    window->readPanel(state);
    EXPECT_TRUE(state.quietOn);
    EXPECT_FALSE(state.dynamicOn);
    EXPECT_EQ(state.portName, "COM41");
}

TEST_F(PanelTransfer, KeepsTheLargestSerialNumber) {
    DashboardState state;
    state.serialNumber = 4294967295u;
    window->writePanel(state);
    EXPECT_EQ(control<QLineEdit>(1003)->text(), "4294967295");
    DashboardState taken;
    window->readPanel(taken);
    EXPECT_EQ(taken.serialNumber, 4294967295u);
}

// On the screen a box written for every line takes its text at the window's paint: the last
// text written is the one painted, and the state read back meanwhile (what the core decides by
// and every export shows) is the last one too. A write from outside the line (a button, the
// link timer) is shown at once and drops a text still waiting.
TEST_F(PanelTransfer, OnTheScreenTheLastOfManyLineWritesIsPaintedAndReadBack) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    auto* clock = control<QLineEdit>(1028);
    auto* codes = control<QLineEdit>(1041);
    int clockChanges = 0;
    QObject::connect(clock, &QLineEdit::textChanged, [&] { ++clockChanges; });
    const terminal::ui::PanelBoxes panel(window->controls());
    DashboardState state;
    for (const char* text : {"12:1", "12:2", "12:3"}) {
        state.engineClockText = text;
        state.engineDm1Text = std::string("111:1:1:0 at ") + text + "\r\n";
        panel.write(state, true);
    }
    DashboardState taken;
    window->readPanel(taken);
    EXPECT_EQ(taken.engineClockText, "12:3");
    EXPECT_EQ(taken.engineDm1Text, "111:1:1:0 at 12:3\r\n");

    QEvent paint(QEvent::UpdateRequest);
    QApplication::sendEvent(window.get(), &paint);
    EXPECT_EQ(clock->text(), "12:3");
    EXPECT_EQ(codes->text(), "111:1:1:0 at 12:3");
    EXPECT_EQ(clockChanges, 1);
    window->readPanel(taken);
    EXPECT_EQ(taken.engineDm1Text, "111:1:1:0 at 12:3\r\n");

    state.engineClockText = "12:4";
    panel.write(state, true);
    state.engineClockText = "0:0";
    window->writePanel(state);
    EXPECT_EQ(clock->text(), "0:0");
    QApplication::sendEvent(window.get(), &paint);
    EXPECT_EQ(clock->text(), "0:0");
    window->readPanel(taken);
    EXPECT_EQ(taken.engineClockText, "0:0");
}

using PortCombo = DashboardFixture;

TEST_F(PortCombo, ListsComOneToFortyInOrder) {
    auto* combo = control<QComboBox>(1000);
    ASSERT_EQ(combo->count(), 40);
    EXPECT_EQ(combo->itemText(0), "COM1");
    EXPECT_EQ(combo->itemText(9), "COM10");
    EXPECT_EQ(combo->itemText(39), "COM40");
    EXPECT_FALSE(combo->itemData(2, Qt::ToolTipRole).toString().isEmpty());
}

TEST_F(PortCombo, SelectsTheFirstEntryThatBeginsWithTheNameIgnoringCase) {
    auto* combo = control<QComboBox>(1000);
    terminal::ui::showPortName(combo, "com4");
    EXPECT_EQ(combo->currentIndex(), 3);
    EXPECT_EQ(combo->currentText(), "COM4");
    terminal::ui::showPortName(combo, "COM1");
    EXPECT_EQ(combo->currentText(), "COM1");
    terminal::ui::showPortName(combo, "COM3");
    terminal::ui::showPortName(combo, "co");
    EXPECT_EQ(combo->currentText(), "COM1");
    terminal::ui::showPortName(combo, "COM12");
    EXPECT_EQ(combo->currentIndex(), 11);
}

TEST_F(PortCombo, ShowsANameThatBeginsNoEntryAsTyped) {
    auto* combo = control<QComboBox>(1000);
    terminal::ui::showPortName(combo, "COM41");
    EXPECT_EQ(combo->currentText(), "COM41");
    terminal::ui::showPortName(combo, "/dev/ttyUSB0");
    EXPECT_EQ(combo->currentText(), "/dev/ttyUSB0");
    EXPECT_EQ(combo->count(), 40);  // typing adds nothing to the list
    EXPECT_TRUE(combo->toolTip().contains("COM1"));
}
