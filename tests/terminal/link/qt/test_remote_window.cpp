// The Step 2 controls, the Engine Configuration button and the About item on the real window,
// without a simulator: what each reaches in the core, and what shows when it fails.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "DashboardFixture.h"
#include "ModalDriver.h"
#include "platform/instruments/qt/CiSliderX.h"
#include "terminal/dashboard/ControlIds.h"
#include "terminal/dashboard/qt/AboutBox.h"
#include "terminal/dashboard/qt/AboutItem.h"
#include "terminal/vehicle/qt/EngineConfigurationDialog.h"

namespace ids = terminal::ids;
using terminal::ui::AboutBox;

namespace {

class RemoteWindow : public DashboardFixture {
protected:
    ~RemoteWindow() override { uitest::cancelModalDrivers(); }
    void startWithRemoteControlsEnabled() {
        start();
        for (int id : {ids::levelSlider, ids::menuButton, ids::downButton, ids::upButton,
                       ids::dynamicCheck, ids::quietCheck, ids::warningsCheck,
                       ids::resetEngineDm2Check, ids::engineConfigurationButton}) {
            window->enableControl(id, true);
        }
        window->show();
    }
    const terminal::SessionState& session() { return window->core().session(); }
    QAction* aboutAction() {
        for (QAction* action : window->actions()) {
            if (action->text() == "&About Tessaly...") {
                return action;
            }
        }
        return nullptr;
    }
};

TEST_F(RemoteWindow, aModeBoxClickKeepsItsNewStateAndHoldsItWithoutAPort) {
    startWithRemoteControlsEnabled();
    QTest::mouseClick(control<QCheckBox>(ids::dynamicCheck), Qt::LeftButton);
    EXPECT_TRUE(control<QCheckBox>(ids::dynamicCheck)->isChecked());
    EXPECT_TRUE(session().dynamicPending);
    EXPECT_TRUE(window->core().dashboard().dynamicOn);
    EXPECT_FALSE(session().quietPending || session().warningsPending || session().resetDm2Pending);

    QTest::mouseClick(control<QPushButton>(ids::menuButton), Qt::LeftButton);
    EXPECT_FALSE(session().warningsPending);
    QTest::mouseClick(control<QCheckBox>(ids::warningsCheck), Qt::LeftButton);
    EXPECT_TRUE(session().warningsPending);
}

TEST_F(RemoteWindow, thePanelsOwnWritesToTheBoxesHoldNothing) {
    startWithRemoteControlsEnabled();
    terminal::DashboardState state = window->core().dashboard();
    state.quietOn = true;
    state.resetEngineDm2On = true;
    window->writePanel(state);
    EXPECT_FALSE(session().quietPending || session().resetDm2Pending);
}

TEST_F(RemoteWindow, aRightPressOnTheSliderDoesNotHoldItButTheReleaseSendsAndHolds) {
    startWithRemoteControlsEnabled();
    auto* slider = control<platform::CiSliderX>(ids::levelSlider);
    // The window's context menu (the About item) must not take the release away.
    EXPECT_EQ(Qt::PreventContextMenu, slider->contextMenuPolicy());
    const QPoint middle(slider->width() / 2, slider->height() / 2);
    QTest::mousePress(slider, Qt::RightButton, {}, middle);
    EXPECT_FALSE(session().levelPending);
    QTest::mouseRelease(slider, Qt::RightButton, {}, middle);
    EXPECT_TRUE(session().levelPending);
}

TEST_F(RemoteWindow, aLeftPressOnTheSliderHoldsIt) {
    startWithRemoteControlsEnabled();
    auto* slider = control<platform::CiSliderX>(ids::levelSlider);
    QTest::mousePress(slider, Qt::LeftButton, {},
                      QPoint(slider->width() / 2, slider->height() / 2));
    EXPECT_TRUE(session().levelPending);
    QTest::mouseRelease(slider, Qt::LeftButton, {},
                        QPoint(slider->width() / 2, slider->height() / 2));
}

TEST_F(RemoteWindow, engineConfigurationOpensModallyAndClosingItChangesNothing) {
    startWithRemoteControlsEnabled();
    const terminal::DashboardState before = window->core().dashboard();
    bool opened = false;
    uitest::whenModalOpens<terminal::ui::EngineConfigurationDialog>(
        [&](terminal::ui::EngineConfigurationDialog* dialog) {
            opened = dialog == &window->engineConfigurationDialog();
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
    QTest::mouseClick(control<QPushButton>(ids::engineConfigurationButton), Qt::LeftButton);
    EXPECT_TRUE(opened);
    EXPECT_FALSE(window->engineConfigurationDialog().isVisible());
    EXPECT_EQ(before.vinText, window->core().dashboard().vinText);
    EXPECT_EQ(before.engineDm1Text, window->core().dashboard().engineDm1Text);
}

TEST_F(RemoteWindow, theAboutItemSitsInTheBackgroundsContextMenuWithF1) {
    start();
    QAction* about = aboutAction();
    ASSERT_NE(nullptr, about);
    EXPECT_EQ(QKeySequence(Qt::Key_F1), about->shortcut());
    EXPECT_EQ(Qt::ActionsContextMenu, window->contextMenuPolicy());
}

TEST_F(RemoteWindow, commandSixteenWithAnyLowBitsOpensTheAboutBoxAndNothingElseDoes) {
    start();
    int opened = 0;
    for (int command : {16, 16 | 0x7, 0xF060, 32, 0}) {
        uitest::whenModalOpens<AboutBox>(
            [&](AboutBox* box) {
                ++opened;
                box->ok();
            },
            300);
        const bool ran = window->systemCommand(command);
        EXPECT_EQ((command & 0xFFF0) == 16, ran) << command;
        uitest::cancelModalDrivers();  // the driver of a command that opened nothing
    }
    EXPECT_EQ(2, opened);
}

TEST_F(RemoteWindow, theAboutItemOpensTheBoxLockedOnAnEmptyRateWhileDisconnected) {
    start();
    bool allowed = true;
    QString rate = "?";
    uitest::whenModalOpens<AboutBox>([&](AboutBox* box) {
        allowed = box->changeAllowed();
        rate = box->rateBox()->currentText();
        box->close();
    });
    aboutAction()->trigger();
    EXPECT_FALSE(allowed);
    EXPECT_EQ("", rate);
}

TEST_F(RemoteWindow, aRateSentWhileThePortIsClosedShowsTheSerialErrorAndReconnectsNot) {
    start();
    QString message;
    uitest::whenModalOpens<AboutBox>([&](AboutBox* box) {
        // As if the link had gone while the box stood unlocked.
        uitest::whenModalOpens<QMessageBox>([&](QMessageBox* shown) {
            message = shown->text();
            shown->accept();
        });
        box->rateBox()->setEditText("1M bps");
        box->confirm();
    });
    aboutAction()->trigger();
    EXPECT_FALSE(message.isEmpty());
    EXPECT_FALSE(window->core().session().portOpen);
    EXPECT_FALSE(window->core().session().identificationAwaited);
}

}  // namespace
