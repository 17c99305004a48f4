// The loader window through the accessibility layer and the keyboard: every object named
// from the captions the window shows, the status lamps among them, and Tab through
// the four steps in reading order.

#include <QAccessible>
#include <vector>

#include "WindowFixture.h"
#include "platform/instruments/qt/InstrumentAccessibility.h"

namespace ids = loader::ids;

namespace {

// Installed before the window is built, as the program does: Qt keeps the first interface it
// made for an object.
struct InstrumentAccessibilityFirst {
    InstrumentAccessibilityFirst() { platform::installInstrumentAccessibility(); }
};

class LoaderAccessibility : private InstrumentAccessibilityFirst,
                            public testing_support::LoaderWindowTest {
protected:
    QAccessibleInterface* accessible(int id) {
        return QAccessible::queryAccessibleInterface(window.controls().widget(id));
    }
    std::string nameOf(int id) { return accessible(id)->text(QAccessible::Name).toStdString(); }
};

void collectNameless(QAccessibleInterface* root, std::vector<std::string>& nameless) {
    for (int i = 0; i < root->childCount(); ++i) {
        QAccessibleInterface* child = root->child(i);
        if (child == nullptr) {
            continue;
        }
        if (child->text(QAccessible::Name).isEmpty()) {
            nameless.push_back(
                std::to_string(child->role()) + " " +
                (child->object() ? child->object()->objectName().toStdString() : std::string()));
        }
        collectNameless(child, nameless);
    }
}

TEST_F(LoaderAccessibility, LeavesNoObjectOfTheWindowUnnamed) {
    std::vector<std::string> nameless;
    collectNameless(QAccessible::queryAccessibleInterface(&window), nameless);
    std::string all;
    for (const std::string& one : nameless) {
        all += one + "; ";
    }
    EXPECT_TRUE(nameless.empty()) << all;
}

TEST_F(LoaderAccessibility, NamesBoxesBarsAndLampsByTheCaptionsAroundThem) {
    const std::pair<int, const char*> names[] = {
        {ids::fileNameEdit, "Step 1: Load Program File"},
        {ids::identLineEdit, "Step 3: Connect to the Traget Board"},
        {ids::totalBytesEdit, "Total Bytes"},
        {ids::bytesSentEdit, "Bytes Sent"},
        {ids::eraseBar, "Flash Erasing"},
        {ids::programBar, "Programming"},
        {ids::linkLamp, "Connection status On"},
        {ids::waitingLamp, "Connection status Off"},
        {ids::connectButton, "Connect"},
    };
    for (const auto& [id, name] : names) {
        EXPECT_EQ(nameOf(id), name) << id;
    }
}

// On Linux a list box's name is its current text; its label comes as a relation.
TEST_F(LoaderAccessibility, LabelsPortAndSpeedListsByTheLabelsBeforeThem) {
    const std::pair<int, const char*> lists[] = {
        {ids::portCombo, "Port :"},
        {ids::speedCombo, "Speed :"},
    };
    for (const auto& [id, label] : lists) {
        const auto labels = accessible(id)->relations(QAccessible::Label);
        ASSERT_EQ(labels.size(), 1) << id;
        EXPECT_EQ(labels.front().first->text(QAccessible::Name).toStdString(), label);
    }
}

TEST_F(LoaderAccessibility, TabGoesThroughTheStepsInReadingOrder) {
    for (int id : {ids::connectButton, ids::programButton}) {
        window.controls().widget(id)->setEnabled(true);
    }
    std::vector<int> order;
    QWidget* first = window.controls().widget(ids::loadFileButton);
    QWidget* at = first;
    do {
        const bool control = window.controls().widget(at->objectName().toInt()) == at;
        if (control && (at->focusPolicy() & Qt::TabFocus) && at->isEnabled()) {
            order.push_back(at->objectName().toInt());
        }
        at = at->nextInFocusChain();
    } while (at != first && order.size() < 50);
    const std::vector<int> reading = {1017, 1016, 1020, 1023, 1024, 1021, 1018, 1006, 1};
    EXPECT_EQ(order, reading);
}

}  // namespace
