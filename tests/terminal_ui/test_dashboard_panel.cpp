// The dashboard's look right after start, and the transfers between DashboardState and the
// controls.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "DashboardFixture.h"
#include "platform/qt/CiAnalogDisplayX.h"
#include "platform/qt/CiLedRectangleX.h"
#include "terminal/core/DashboardState.h"
#include "terminal/ui/PortList.h"

using terminal::DashboardState;

using DashboardAtStart = DashboardFixture;

TEST_F(DashboardAtStart, ShowsTheValuesOfLevelZeroAndTheWaitingTexts) {
    start();
    EXPECT_EQ(control<CiAnalogDisplayX>(1013)->displayText(), "0.00 RPM");
    EXPECT_DOUBLE_EQ(control<CiAnalogDisplayX>(1017)->value(), -40.0);
    EXPECT_TRUE(control<CiAnalogDisplayX>(1017)->displayText().startsWith("-40"));
    EXPECT_TRUE(control<CiAnalogDisplayX>(1050)->displayText().startsWith("-459.4"));
    EXPECT_EQ(control<CiAnalogDisplayX>(1037)->displayText(),
              control<CiAnalogDisplayX>(1050)->displayText());
    for (auto* lamp : window->findChildren<CiLedRectangleX*>()) {
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

TEST_F(PanelTransfer, WritesEveryFieldAndReadsTheSameRecordBack) {
    DashboardState shown;
    shown.portName = "COM7";
    shown.serialNumber = 305419896;
    shown.firmwareVersionText = " 0.2D";
    shown.canBaudText = "250K";
    shown.engineClockText = "12:34";
    shown.engineClaimText = "Engine claimed";
    shown.absClaimText = "ABS claimed";
    shown.transmissionClaimText = "Transmission claimed";
    shown.engineDm1Text = "168     1      1     0\r\n";
    shown.absDm1Text = "597     1     7     0\r\n";
    shown.transmissionDm1Text = "177     0    126     0\r\n";
    shown.engineDm2Text = "See @ Multi-Packets";
    shown.vinText = "1XKWDB0X57J211825";
    shown.dynamicOn = true;
    shown.quietOn = false;
    shown.warningsOn = true;
    shown.resetEngineDm2On = true;
    window->writePanel(shown);

    EXPECT_EQ(control<QLineEdit>(1003)->text(), "305419896");
    EXPECT_EQ(control<QLineEdit>(1041)->text(), "168     1      1     0");
    EXPECT_EQ(control<QLineEdit>(1049)->text(), " 0.2D");
    EXPECT_TRUE(control<QCheckBox>(1009)->isChecked());
    EXPECT_FALSE(control<QCheckBox>(1010)->isChecked());

    DashboardState taken;
    window->readPanel(taken);
    EXPECT_EQ(taken.portName, "COM7");
    EXPECT_EQ(taken.serialNumber, 305419896u);
    EXPECT_EQ(taken.firmwareVersionText, " 0.2D");
    EXPECT_EQ(taken.canBaudText, "250K");
    EXPECT_EQ(taken.engineClockText, "12:34");
    EXPECT_EQ(taken.engineClaimText, "Engine claimed");
    EXPECT_EQ(taken.absClaimText, "ABS claimed");
    EXPECT_EQ(taken.transmissionClaimText, "Transmission claimed");
    EXPECT_EQ(taken.engineDm1Text, "168     1      1     0\r\n");
    EXPECT_EQ(taken.absDm1Text, "597     1     7     0\r\n");
    EXPECT_EQ(taken.transmissionDm1Text, "177     0    126     0\r\n");
    EXPECT_EQ(taken.engineDm2Text, "See @ Multi-Packets");
    EXPECT_EQ(taken.vinText, "1XKWDB0X57J211825");
    EXPECT_TRUE(taken.dynamicOn);
    EXPECT_FALSE(taken.quietOn);
    EXPECT_TRUE(taken.warningsOn);
    EXPECT_TRUE(taken.resetEngineDm2On);
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
