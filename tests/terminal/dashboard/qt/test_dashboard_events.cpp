// Event handlers of the dashboard: an error of the serial layer ends the handler and its text
// is shown in a message box; Exit closes the window.
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "DashboardFixture.h"

namespace {

// Closes the next message box once it is up, keeping its text and icon.
struct MessageCatcher {
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int seen = 0;

    void arm() {
        QTimer::singleShot(0, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            text = box->text();
            icon = box->icon();
            ++seen;
            box->accept();
        });
    }
};

}  // namespace

using DashboardEvents = DashboardFixture;

TEST_F(DashboardEvents, ConnectToAPortWithoutADeviceShowsTheSerialLayersTextAndGoesIdle) {
    start();
    control<QComboBox>(1000)->setEditText("COM40");  // the test's port map holds no links
    MessageCatcher catcher;
    catcher.arm();
    control<QPushButton>(1001)->click();
    EXPECT_EQ(catcher.seen, 1);
    EXPECT_TRUE(catcher.text.contains("COM40")) << catcher.text.toStdString();
    EXPECT_FALSE(window->core().session().portOpen);
    EXPECT_FALSE(window->isControlEnabled(1005));
}

TEST_F(DashboardEvents, TheFirmwareMessageCarriesAnExclamationIcon) {
    MessageCatcher catcher;
    catcher.arm();
    window->showMessage("This release requires ...", terminal::MessageIcon::exclamation);
    EXPECT_EQ(catcher.seen, 1);
    EXPECT_EQ(catcher.icon, QMessageBox::Warning);
    EXPECT_EQ(catcher.text, "This release requires ...");

    catcher.arm();
    window->showMessage("Cannot Open the selected Serial Port!", terminal::MessageIcon::none);
    EXPECT_EQ(catcher.seen, 2);
    EXPECT_EQ(catcher.icon, QMessageBox::NoIcon);
}

TEST_F(DashboardEvents, ExitClosesTheWindowWithOk) {
    start();
    window->show();
    control<QPushButton>(1)->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Accepted);
}

TEST_F(DashboardEvents, TheKeepAliveTimerRunsOnlyWhileStarted) {
    window->startTimer(2, 1000);
    auto* timer = window->findChild<QTimer*>();
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 1000);
    window->stopTimer(2);
    EXPECT_FALSE(timer->isActive());
    window->startTimer(2, 1000);
    EXPECT_EQ(window->findChildren<QTimer*>().size(), 1);  // the same timer again
    window->stopTimer(2);
}
