// Escape with a drop-down list or a menu open closes that alone; with nothing open it keeps
// its meaning for the dialog (closing it). The key is pressed on the dialog's own window, as
// a Wayland compositor delivers it (to the window that has the keyboard, not to the popup).
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include "platform/app/qt/PopupEscape.h"

namespace {

class PopupEscapeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static const bool installed = [] {
            platform::PopupEscape::install(*qApp);
            return true;
        }();
        (void)installed;
    }

    void SetUp() override {
        list = new QComboBox(&dialog);
        list->setObjectName("1000");
        list->addItems({"COM1", "COM2", "COM3"});
        dialog.resize(300, 200);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }

    void pressEscape() { QTest::keyClick(dialog.windowHandle(), Qt::Key_Escape); }

    QDialog dialog;
    QComboBox* list = nullptr;
};

TEST_F(PopupEscapeTest, ClosesAnOpenDropDownListAloneThenTheDialog) {
    list->showPopup();
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    pressEscape();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    // Nothing open now: Escape closes the dialog, as it always did.
    pressEscape();
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(PopupEscapeTest, ClosesAnOpenMenuAlone) {
    QMenu menu(&dialog);
    menu.addAction("About");
    bool menuWasOpen = false;
    QTimer::singleShot(0, &menu, [&] {
        menuWasOpen = QApplication::activePopupWidget() == &menu;
        pressEscape();
    });
    menu.exec(dialog.mapToGlobal(QPoint(10, 10)));
    EXPECT_TRUE(menuWasOpen);
    EXPECT_FALSE(menu.isVisible());
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(PopupEscapeTest, AnotherKeyBetweenLeavesTheNextEscapeToTheDialog) {
    list->showPopup();
    pressEscape();
    ASSERT_TRUE(dialog.isVisible());
    QTest::keyClick(dialog.windowHandle(), Qt::Key_Down);
    pressEscape();
    EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
