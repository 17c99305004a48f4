// The engine's multi-packet lists: templates 130 and 132, the list placed in the box when the
// dialog opens, closed with OK.
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "DashboardFixture.h"
#include "terminal/troublecodes/qt/MultiPacketDialog.h"

using terminal::ui::MultiPacketDialog;

namespace {

QStringList titlesOf(QWidget& dialog) {
    QStringList titles;
    for (auto* box : dialog.findChildren<QGroupBox*>()) {
        titles << box->title();
    }
    return titles;
}

}  // namespace

TEST(MultiPacketDialogs, FollowTheirTemplates) {
    MultiPacketDialog dm1(MultiPacketDialog::List::engineDm1, nullptr);
    MultiPacketDialog dm2(MultiPacketDialog::List::engineDm2, nullptr);
    EXPECT_EQ(dm1.windowTitle(), "Vell Eng DM1 Multi-Packet");
    EXPECT_EQ(dm2.windowTitle(), "Vell Engine DM2 Multi-Packet");
    EXPECT_EQ(titlesOf(dm1), QStringList{"Engine DM1 Multi-Packet"});
    EXPECT_EQ(titlesOf(dm2), QStringList{"Engine DM2 Multi-Packet"});
    EXPECT_EQ(dm1.listBox()->objectName(), "1048");
    EXPECT_EQ(dm2.listBox()->objectName(), "1049");
    for (MultiPacketDialog* dialog : {&dm1, &dm2}) {
        EXPECT_EQ(dialog->findChild<QLabel*>()->text(), "SPN  FMI  OC  CM");
        EXPECT_TRUE(dialog->listBox()->isReadOnly());
        EXPECT_EQ(dialog->listBox()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        auto* ok = dialog->findChild<QPushButton*>("1");
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(ok->text(), "OK");
        EXPECT_TRUE(ok->isDefault());
        // The columns line up: a space is as wide as a digit.
        const QFontMetricsF metrics(dialog->listBox()->font());
        EXPECT_DOUBLE_EQ(metrics.horizontalAdvance(' '), metrics.horizontalAdvance('0'));
        EXPECT_DOUBLE_EQ(metrics.horizontalAdvance('1'), metrics.horizontalAdvance('0'));
    }
    platform::DialogLayout units;
    EXPECT_EQ(dm1.size(), units.toPixels(140, 300));
    EXPECT_EQ(dm2.size(), units.toPixels(149, 161));
    EXPECT_EQ(dm1.listBox()->geometry(), units.toPixels(29, 28, 82, 241));
    EXPECT_EQ(dm2.listBox()->geometry(), units.toPixels(33, 39, 82, 88));
}

TEST(MultiPacketDialogs, ShowTheListGivenWhenOpenedAndCloseWithOk) {
    MultiPacketDialog dialog(MultiPacketDialog::List::engineDm2, nullptr);
    dialog.setListText("1172     0      1     0\r\n 110    15      9     0");
    EXPECT_TRUE(dialog.listBox()->toPlainText().isEmpty());  // nothing until it opens
    dialog.show();
    EXPECT_EQ(dialog.listBox()->toPlainText(), "1172     0      1     0\n 110    15      9     0");
    EXPECT_EQ(dialog.listBox()->blockCount(), 2);  // no empty line after the last row

    // The widest row fits the box: no row is wrapped or cut off sideways.
    EXPECT_EQ(dialog.listBox()->horizontalScrollBar()->maximum(), 0);

    dialog.findChild<QPushButton*>("1")->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    dialog.setListText("1081     1      2     0");
    dialog.show();
    EXPECT_EQ(dialog.listBox()->toPlainText(), "1081     1      2     0");
    dialog.hide();
}

using DashboardDialogs = DashboardFixture;

TEST_F(DashboardDialogs, OwnsBothListsWhichHoldTheCoresTablesAfterStart) {
    start();
    const auto& lists = window->core().multiPacketLists();
    ASSERT_FALSE(lists.engineDm1.empty());
    ASSERT_FALSE(lists.engineDm2.empty());
    window->engineDm1Dialog().setListText(lists.engineDm1);
    window->engineDm1Dialog().show();
    EXPECT_EQ(window->engineDm1Dialog().listBox()->blockCount(), 64);
    window->engineDm1Dialog().hide();
    EXPECT_EQ(window->engineDm1Dialog().parentWidget(), window.get());
}
