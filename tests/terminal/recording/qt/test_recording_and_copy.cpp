// The window's recording and copy items: the context menu keeps About and gains Record,
// Stop and Copy all values; a trouble-code box and a multi-packet list, in a fixed-pitch
// font, copy their codes as tab-separated columns with Ctrl+C.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "DashboardFixture.h"
#include "terminal/recording/qt/SessionRecording.h"

namespace {

using RecordingAndCopy = DashboardFixture;

TEST_F(RecordingAndCopy, ContextMenuOffersAboutRecordStopAndCopy) {
    start();
    QStringList captions;
    for (QAction* action : window->actions()) {
        captions.append(action->text() + (action->isEnabled() ? "" : " (off)"));
    }
    EXPECT_EQ(
        captions.join('|').toStdString(),
        "&About Tessaly...|Record to CSV…|Stop recording (off)|Copy all values|Trends…|Sequence…|"
        "Actual size");
    auto& recording = window->recording();
    EXPECT_EQ(recording.recordAction()->shortcut(), QKeySequence("Ctrl+R"));

    ASSERT_TRUE(recording.startCsv(folder.filePath("run.csv")));
    EXPECT_FALSE(recording.recordAction()->isEnabled());
    EXPECT_TRUE(recording.stopAction()->isEnabled());
    recording.stopAction()->trigger();
    EXPECT_TRUE(recording.recordAction()->isEnabled());
    EXPECT_FALSE(recording.stopAction()->isEnabled());

    // Nothing is identified: the waiting look's 0 rpm and -459.4 F are no values to paste.
    window->copyAllValuesAction()->trigger();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              "No values: the link is disconnected\n");
}

TEST_F(RecordingAndCopy, TroubleCodeBoxAndListCopyTabSeparatedColumns) {
    start();
    auto* box = control<QLineEdit>(1043);
    EXPECT_TRUE(QFontInfo(box->font()).fixedPitch());
    box->setEnabled(true);
    box->setFocus();
    QApplication::clipboard()->clear();
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    // The zero row is no code: the heading alone.
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "SPN\tFMI\tOC\tCM\n");

    auto& dialog = window->engineDm2Dialog();
    dialog.setListText(window->core().multiPacketLists().engineDm2);
    auto* list = dialog.listBox();
    EXPECT_TRUE(QFontInfo(list->font()).fixedPitch());
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              "SPN\tFMI\tOC\tCM\n"
              "1172\t0\t1\t0\n"
              "1081\t1\t2\t0\n"
              "110\t2\t3\t0\n"
              "91\t3\t4\t0\n"
              "100\t4\t5\t0\n"
              "174\t5\t6\t0\n"
              "626\t6\t7\t0\n"
              "1172\t7\t8\t0\n"
              "110\t15\t9\t0\n");
}

}  // namespace
