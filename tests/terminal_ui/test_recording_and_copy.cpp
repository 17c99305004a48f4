// The window's recording and copy items: the context menu keeps About and gains Record,
// Stop and Copy all values; a trouble-code box and a multi-packet list copy their rows under
// the caption with Ctrl+C, in a fixed-pitch font.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "DashboardFixture.h"
#include "terminal/ui/SessionRecording.h"

namespace {

using RecordingAndCopy = DashboardFixture;

TEST_F(RecordingAndCopy, ContextMenuOffersAboutRecordStopAndCopy) {
    start();
    QStringList captions;
    for (QAction* action : window->actions()) {
        captions.append(action->text() + (action->isEnabled() ? "" : " (off)"));
    }
    EXPECT_EQ(captions.join('|').toStdString(),
              "&About Tessaly...|Record to CSV…|Stop recording (off)|Copy all values|Actual size");
    auto& recording = window->recording();
    EXPECT_EQ(recording.recordAction()->shortcut(), QKeySequence("Ctrl+R"));

    ASSERT_TRUE(recording.startCsv(folder.filePath("run.csv")));
    EXPECT_FALSE(recording.recordAction()->isEnabled());
    EXPECT_TRUE(recording.stopAction()->isEnabled());
    recording.stopAction()->trigger();
    EXPECT_TRUE(recording.recordAction()->isEnabled());
    EXPECT_FALSE(recording.stopAction()->isEnabled());

    window->copyAllValuesAction()->trigger();
    const QString values = QApplication::clipboard()->text();
    EXPECT_TRUE(values.startsWith("Engine RPM\t0\tRPM\nEngine Load%\t0\t%\n"))
        << values.toStdString();
    EXPECT_TRUE(values.contains("\nEngine Oil Temp (F)\t-459.4\tF\n")) << values.toStdString();
}

TEST_F(RecordingAndCopy, TroubleCodeBoxAndListCopyTheirRowsUnderTheCaption) {
    start();
    auto* box = control<QLineEdit>(1043);
    EXPECT_TRUE(QFontInfo(box->font()).fixedPitch());
    box->setEnabled(true);
    box->setFocus();
    QApplication::clipboard()->clear();
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              "SPN  FMI  OC  CM\n   0     0      0     0\n");

    auto& dialog = window->engineDm2Dialog();
    dialog.setListText(window->core().multiPacketLists().engineDm2);
    auto* list = dialog.listBox();
    EXPECT_TRUE(QFontInfo(list->font()).fixedPitch());
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              "SPN  FMI  OC  CM\n"
              "1172     0      1     0\n"
              "1081     1      2     0\n"
              " 110     2      3     0\n"
              "  91     3      4     0\n"
              " 100     4      5     0\n"
              " 174     5      6     0\n"
              " 626     6      7     0\n"
              "1172     7      8     0\n"
              " 110    15      9     0\n");
}

}  // namespace
