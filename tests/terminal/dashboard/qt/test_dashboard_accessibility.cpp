// The dashboard through the accessibility layer and the keyboard: every object named from
// what the window shows, lamps told apart by their controller, the slider steered through
// its value, and Tab through the controls in reading order.

#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QSet>
#include <QTest>
#include <vector>

#include "DashboardFixture.h"
#include "platform/instruments/qt/CiLedRectangleX.h"
#include "platform/instruments/qt/CiSliderX.h"
#include "platform/instruments/qt/InstrumentAccessibility.h"
#include "terminal/dashboard/ControlIds.h"

namespace ids = terminal::ids;

namespace {

// Installed before the window is built, as the program does: Qt keeps the first interface it
// made for an object.
struct InstrumentAccessibilityFirst {
    InstrumentAccessibilityFirst() { platform::installInstrumentAccessibility(); }
};

class DashboardAccessibility : private InstrumentAccessibilityFirst, public DashboardFixture {
protected:
    QAccessibleInterface* accessible(int id) const {
        return QAccessible::queryAccessibleInterface(window->controls().widget(id));
    }
    QString nameOf(int id) const { return accessible(id)->text(QAccessible::Name); }

    void enableRemoteControls() {
        start();
        for (int id :
             {ids::levelSlider, ids::menuButton, ids::downButton, ids::upButton, ids::dynamicCheck,
              ids::quietCheck, ids::warningsCheck, ids::resetEngineDm2Check}) {
            window->enableControl(id, true);
        }
    }
    const terminal::SessionState& session() { return window->core().session(); }
};

// Every object below `root` without a name: its role and object name.
void collectNameless(QAccessibleInterface* root, std::vector<QString>& nameless) {
    for (int i = 0; i < root->childCount(); ++i) {
        QAccessibleInterface* child = root->child(i);
        if (child == nullptr) {
            continue;
        }
        if (child->text(QAccessible::Name).isEmpty()) {
            nameless.push_back(QString::number(child->role(), 16) + " " +
                               (child->object() ? child->object()->objectName() : QString()));
        }
        collectNameless(child, nameless);
    }
}

TEST_F(DashboardAccessibility, leavesNoObjectOfTheWindowUnnamed) {
    start();
    std::vector<QString> nameless;
    collectNameless(QAccessible::queryAccessibleInterface(window.get()), nameless);
    QString all;
    for (const QString& one : nameless) {
        all += one + "; ";
    }
    EXPECT_TRUE(nameless.empty()) << all.toStdString();
}

struct Named {
    int id;
    const char* name;
    const char* description;
};

const Named names[] = {
    {1013, "Engine RPM", ""},
    {1076, "EGR Mass Flow Rate", ""},
    {1037, "Oil Temperature", ""},
    {1031, "Engine Red Stop", ""},
    {1032, "Engine Amber", ""},
    {1033, "Transmission Red Stop", ""},
    {1035, "Transmission Amber", ""},
    {1034, "ABS Red Stop", ""},
    {1036, "ABS Amber", ""},
    {1070, "A/C High Pressure Fan Switch (985)", ""},
    {1080, "Parking", ""},
    {1003, "Serial Number", ""},
    {1049, "FW Version", ""},
    {1081, "CAN Baud Rate", ""},
    {1038, "Engine Info and Warning Lamps", ""},
    {1039, "ABS Info and Warning Lamps", ""},
    {1040, "Transmission Info and Warning Lamps", ""},
    {1041, "Engine DM1", "SPN  FMI  OC  CM"},
    {1044, "Engine DM2", "SPN  FMI  OC  CM"},
    {1042, "ABS DM1", "SPN  FMI  OC  CM"},
    {1043, "Transmission DM1", "SPN  FMI  OC  CM"},
    {1078, "Vehicle Identification(VIN)", ""},
    {1028, "Engine Clock", ""},
    {1045, "Engine DM1 Multi-Packets", ""},
    {1047, "Engine DM2 Multi-Packets", ""},
    {1046, "Engine Configuration", ""},
    {1006, "Level", ""},
    {1009, "Dynamic", ""},
    {1001, "Connect", ""},
};

TEST_F(DashboardAccessibility, namesEachControlByTheCaptionAReaderSeesForIt) {
    for (const Named& n : names) {
        SCOPED_TRACE(n.id);
        EXPECT_EQ(nameOf(n.id).toStdString(), n.name);
        EXPECT_EQ(accessible(n.id)->text(QAccessible::Description).toStdString(), n.description);
    }
}

// On Linux a list box's name is its current text; its label comes as a relation.
TEST_F(DashboardAccessibility, labelsThePortListByTheLabelBeforeIt) {
    QAccessibleInterface* list = accessible(ids::portCombo);
    const auto labels = list->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels.front().first->text(QAccessible::Name).toStdString(), "Port:");
    auto* box = window->controls().get<QComboBox>(ids::portCombo);
    EXPECT_EQ(box->lineEdit()->accessibleName().toStdString(), "Port");
}

TEST_F(DashboardAccessibility, givesEveryLampANameOfItsOwn) {
    QSet<QString> lampNames;
    int lamps = 0;
    for (const auto& [id, widget] : window->controls().all()) {
        if (qobject_cast<platform::CiLedRectangleX*>(widget) != nullptr) {
            ++lamps;
            lampNames.insert(nameOf(id));
        }
    }
    EXPECT_EQ(lamps, 27);
    EXPECT_EQ(lampNames.size(), 27);
}

TEST_F(DashboardAccessibility, aLevelSetThroughTheSliderIsHeldAsTheOperatorsChoice) {
    enableRemoteControls();
    QAccessibleValueInterface* level = accessible(ids::levelSlider)->valueInterface();
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->currentValue().toDouble(), 0.0);
    level->setCurrentValue(40);
    EXPECT_EQ(window->getSliderPosition(), 40.0);
    EXPECT_TRUE(session().levelPending);
}

TEST_F(DashboardAccessibility, tabGoesThroughTheControlsInReadingOrder) {
    enableRemoteControls();
    for (int id : {ids::disconnectButton, ids::engineDm1Edit, ids::engineDm2Edit, ids::absDm1Edit,
                   ids::transmissionDm1Edit, ids::engineDm1MultiPacketButton,
                   ids::engineDm2MultiPacketButton, ids::engineConfigurationButton}) {
        window->enableControl(id, true);
    }
    QSet<QWidget*> controls;
    for (const auto& [id, widget] : window->controls().all()) {
        controls.insert(widget);
    }
    std::vector<int> order;
    QWidget* first = window->controls().widget(ids::portCombo);
    QWidget* at = first;
    do {
        if (controls.contains(at) && (at->focusPolicy() & Qt::TabFocus) && at->isEnabled()) {
            order.push_back(at->objectName().toInt());
        }
        at = at->nextInFocusChain();
    } while (at != first && order.size() < 100);
    const std::vector<int> reading = {1000, 1001, 1005, 1,    1003, 1049, 1081, 1006, 1012,
                                      1007, 1008, 1009, 1010, 1011, 1048, 1038, 1039, 1040,
                                      1078, 1028, 1041, 1045, 1044, 1047, 1046, 1042, 1043};
    EXPECT_EQ(order, reading);
}

TEST_F(DashboardAccessibility, tabbingOntoTheSliderSendsNoLevelButAnArrowKeyDoes) {
    enableRemoteControls();
    auto* slider = window->controls().get<platform::CiSliderX>(ids::levelSlider);
    // The Tab's press goes to the box before the slider; its release reaches the slider.
    QTest::keyPress(window->controls().widget(ids::canBaudEdit), Qt::Key_Tab);
    QTest::keyRelease(slider, Qt::Key_Tab);
    EXPECT_FALSE(session().levelPending);
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(window->getSliderPosition(), 1.0);
    EXPECT_TRUE(session().levelPending);
}

}  // namespace
