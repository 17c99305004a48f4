// A bench sequence run from the dashboard's Sequence window against j1939-sim: the steps tick
// as they pass with their verdicts (a failed one with expected and seen), an ask step is a
// dialog, the reports are written at the end, and the operator's own clicks on the steered
// controls are refused while it runs and accepted again once it has ended.
#include <QAbstractButton>
#include <QAccessible>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <memory>

#include <gtest/gtest.h>

#include "J1939SimProcess.h"
#include "MessageBoxCatcher.h"
#include "platform/instruments/qt/CiSliderX.h"
#include "terminal/dashboard/ControlIds.h"
#include "terminal/dashboard/qt/DashboardWindow.h"
#include "terminal/link/qt/LinkStatusBar.h"
#include "terminal/sequences/qt/AskDialog.h"
#include "terminal/sequences/qt/SequenceItem.h"
#include "terminal/sequences/qt/SequenceWindow.h"

namespace ids = terminal::ids;
using terminal::sequences::SequenceWindow;
using testing_support::J1939SimProcess;
using testing_support::waitUntil;

namespace {

// No other test uses them.
constexpr int simCom = 50;
constexpr int stopCom = 51;

int linesStartingWith(const J1939SimProcess& sim, const QString& start) {
    int count = 0;
    for (const auto& received : sim.received()) {
        count += received.line.startsWith(start) ? 1 : 0;
    }
    return count;
}

QStringList stepTexts(const QListWidget& list, int role) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i) {
        texts << list.item(i)->data(role).toString();
    }
    return texts;
}

TEST(SequenceWindowRun, StepsTickWithTheirVerdictsAndTheHandIsRefusedUntilTheEnd) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    J1939SimProcess sim(folder.path(), simCom);
    ASSERT_TRUE(sim.start({"--no-dynamic"}));
    terminal::ui::DashboardWindow window(folder.filePath("vive1939.ini").toStdString());
    uitest::MessageBoxCatcher boxes(&window, true);
    window.core().chooseDevicePath(sim.linkPath().toStdString());
    window.show();
    window.startSession();
    ASSERT_TRUE(waitUntil([&] { return window.isControlEnabled(ids::levelSlider); }, 8000))
        << sim.log().toStdString();

    const QString file = folder.filePath("bench.yaml");
    QFile yaml(file);
    ASSERT_TRUE(yaml.open(QIODevice::WriteOnly));
    yaml.write(
        "name: Window check\n"
        "steps:\n"
        "  - level: 30\n"
        "  - expect: {level: 30, within: 5}\n"
        "  - ask: Is the needle at 30?\n"
        "  - name: One more\n"
        "    expect: {level: 31}\n");
    yaml.close();

    SequenceWindow& sequence = window.sequences().open();
    ASSERT_EQ("", sequence.openFile(file.toStdString()));
    EXPECT_EQ(QStringList({"1. level 30: not run", "2. expect level 30 within 5 s: not run",
                           "3. ask \"Is the needle at 30?\": not run",
                           "4. One more: expect level 31: not run"}),
              stepTexts(*sequence.stepList(), Qt::AccessibleTextRole));
    sequence.run();
    ASSERT_TRUE(waitUntil([&] { return sequence.askDialog() != nullptr; }, 10000));
    EXPECT_EQ(QStringList({"1. level 30: passed", "2. expect level 30 within 5 s: passed",
                           "3. ask \"Is the needle at 30?\": running",
                           "4. One more: expect level 31: not run"}),
              stepTexts(*sequence.stepList(), Qt::AccessibleTextRole));

    // The operator's hand meanwhile: refused, put back, nothing sent.
    auto* dynamic = window.controls().get<QAbstractButton>(ids::dynamicCheck);
    ASSERT_FALSE(dynamic->isChecked());
    dynamic->click();
    EXPECT_FALSE(dynamic->isChecked());
    EXPECT_EQ("A sequence is running: hand input is refused until it ends or is stopped",
              window.linkStatusBar().currentMessage());
    auto* slider = window.controls().get<platform::CiSliderX>(ids::levelSlider);
    slider->setPositionByOperator(70);
    EXPECT_DOUBLE_EQ(30, slider->getPosition());
    window.controls().get<QAbstractButton>(ids::menuButton)->click();

    sequence.askDialog()->noteEdit()->setText("needle on 30");
    sequence.askDialog()->findChild<QPushButton*>("sequenceAskPass")->click();
    ASSERT_TRUE(waitUntil([&] { return !sequence.running(); }, 10000));
    EXPECT_EQ(QStringList({"1. level 30: passed", "2. expect level 30 within 5 s: passed",
                           "3. ask \"Is the needle at 30?\": passed (needle on 30)",
                           "4. One more: expect level 31: failed: expected level 31, seen "
                           "level 30 (not met)"}),
              stepTexts(*sequence.stepList(), Qt::AccessibleTextRole));
    EXPECT_TRUE(sequence.stepList()->item(3)->text().startsWith(QString::fromUtf8("\u2718 4.")));
    // What a screen reader is told: the list by its name, each step with its verdict.
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(sequence.stepList());
    ASSERT_NE(nullptr, list);
    EXPECT_EQ("Steps", list->text(QAccessible::Name));
    ASSERT_EQ(4, list->childCount());
    EXPECT_EQ("3. ask \"Is the needle at 30?\": passed (needle on 30)",
              list->child(2)->text(QAccessible::Name));
    if (const QString shot = qEnvironmentVariable("SEQUENCE_WINDOW_SHOT"); !shot.isEmpty()) {
        sequence.grab().save(shot);  // for a person to look at
    }
    EXPECT_EQ(1, linesStartingWith(sim, "AT %"));
    EXPECT_EQ(0, linesStartingWith(sim, "AT KI"));

    // The reports as --run writes them.
    QFile json(QString::fromStdString((sequence.reportFolder() / "report.json").string()));
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    const QByteArray report = json.readAll();
    EXPECT_TRUE(report.startsWith("{\"sequence\":\"Window check\",\"file\":\"" + file.toUtf8()))
        << report.toStdString();
    EXPECT_TRUE(report.contains("\"verdict\":\"failed\",\"passed\":false,\"exit_status\":1,"));
    for (const char* name : {"junit.xml", "report.html", "report.txt", "recording.csv"}) {
        EXPECT_TRUE(
            QFile::exists(QString::fromStdString((sequence.reportFolder() / name).string())))
            << name;
    }

    // Ended: the hand is back.
    dynamic->click();
    EXPECT_TRUE(dynamic->isChecked());
    EXPECT_TRUE(waitUntil([&] { return linesStartingWith(sim, "AT KI") == 1; }, 3000));
    EXPECT_TRUE(boxes.texts.empty()) << boxes.texts.join(" | ").toStdString();
}

TEST(SequenceWindowRun, StopEndsTheStepRunningLeavesTheRestAndGivesTheHandBack) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    J1939SimProcess sim(folder.path(), stopCom);
    ASSERT_TRUE(sim.start({"--no-dynamic"}));
    terminal::ui::DashboardWindow window(folder.filePath("vive1939.ini").toStdString());
    uitest::MessageBoxCatcher boxes(&window, true);
    window.core().chooseDevicePath(sim.linkPath().toStdString());
    window.show();
    window.startSession();
    ASSERT_TRUE(waitUntil([&] { return window.isControlEnabled(ids::levelSlider); }, 8000));
    const QString file = folder.filePath("long.yaml");
    QFile yaml(file);
    ASSERT_TRUE(yaml.open(QIODevice::WriteOnly));
    yaml.write("steps:\n  - level: 20\n  - wait: 60\n  - level: 40\n");
    yaml.close();

    SequenceWindow& sequence = window.sequences().open();
    ASSERT_EQ("", sequence.openFile(file.toStdString()));
    sequence.findChild<QPushButton*>("sequenceRun")->click();
    ASSERT_TRUE(waitUntil(
        [&] {
            return sequence.stepList()->item(1)->data(Qt::AccessibleTextRole) ==
                   "2. wait 60 s: running";
        },
        10000));
    sequence.findChild<QPushButton*>("sequenceStop")->click();
    EXPECT_FALSE(sequence.running());
    EXPECT_EQ(QStringList({"1. level 20: passed", "2. wait 60 s: failed (stopped by the operator)",
                           "3. level 40: not run"}),
              stepTexts(*sequence.stepList(), Qt::AccessibleTextRole));
    EXPECT_TRUE(sequence.findChild<QLabel*>("sequenceVerdict")
                    ->text()
                    .startsWith("Verdict: stopped at step 2 (line 3); report in "));
    EXPECT_TRUE(
        QFile::exists(QString::fromStdString((sequence.reportFolder() / "junit.xml").string())));

    window.controls().get<QAbstractButton>(ids::menuButton)->click();
    EXPECT_TRUE(waitUntil([&] { return linesStartingWith(sim, "AT KI") == 1; }, 3000));
    EXPECT_EQ(1, linesStartingWith(sim, "AT %"));
}

}  // namespace
