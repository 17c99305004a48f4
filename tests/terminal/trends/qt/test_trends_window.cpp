// The Trends window: opened from the dashboard with its default plots, its choices kept for
// the next start, following the present until paused, a recording replacing the live view
// whole, the readings as the displays show them, and the picture it saves.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <QWheelEvent>

#include "DashboardFixture.h"
#include "J1939SimProcess.h"
#include "platform/chart/qt/TrendChart.h"
#include "terminal/trends/Recording.h"
#include "terminal/trends/TrendItems.h"
#include "terminal/trends/qt/TrendsItem.h"
#include "terminal/trends/qt/TrendsWindow.h"

namespace {

using terminal::TrendHistory;
using terminal::ui::TrendsWindow;

const QStringList defaultPlots{"Engine RPM [RPM]", "Engine Coolant Temp (F) [F]",
                               "Speed (MPH) [MPH]", "level"};

void writeFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QListWidgetItem* listEntry(TrendsWindow& window, const QString& name) {
    auto* list = window.findChild<QListWidget*>("trendsValues");
    const auto found = list->findItems(name, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.front();
}

using TrendsFromTheDashboard = DashboardFixture;

TEST_F(TrendsFromTheDashboard, CtrlTOpensTheDefaultPlotsOfAHistoryKeptSinceStartUp) {
    qputenv("XDG_CONFIG_HOME", folder.path().toUtf8());
    start();
    auto& trends = window->trends();
    EXPECT_EQ(trends.action()->text(), "Trends…");
    EXPECT_EQ(trends.action()->shortcut(), QKeySequence("Ctrl+T"));
    // The start-up's disconnected state is in the history before the window is ever opened.
    ASSERT_GE(trends.history().size(), 1u);
    EXPECT_FALSE(trends.history().linked(0));
    EXPECT_EQ(trends.trendsWindow(), nullptr);

    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_T, Qt::ControlModifier);
    ASSERT_NE(trends.trendsWindow(), nullptr);
    TrendsWindow& opened = *trends.trendsWindow();
    EXPECT_TRUE(opened.isVisible());
    EXPECT_FALSE(opened.isModal());
    EXPECT_EQ(opened.parentWidget(), window.get());
    EXPECT_EQ(opened.plottedNames(), defaultPlots);
    EXPECT_EQ(opened.span(), 5);
    EXPECT_EQ(listEntry(opened, "level")->checkState(), Qt::Checked);
    EXPECT_EQ(listEntry(opened, "Parking")->checkState(), Qt::Unchecked);
    // Closed and asked for again: the same window comes back.
    opened.close();
    trends.action()->trigger();
    EXPECT_EQ(trends.trendsWindow(), &opened);
    EXPECT_TRUE(opened.isVisible());
}

class TrendsWindowTest : public ::testing::Test {
protected:
    QString settings() const { return folder.filePath("Tessaly.conf"); }
    std::unique_ptr<TrendsWindow> open() {
        return std::make_unique<TrendsWindow>(history, settings(), nullptr, [this] { return now; });
    }

    QTemporaryDir folder;
    TrendHistory history;
    std::int64_t now = 1'741'940'000'000;
};

TEST_F(TrendsWindowTest, KeepsTheChosenValuesSpanAndOpenStateForTheNextStart) {
    {
        auto trends = open();
        listEntry(*trends, "level")->setCheckState(Qt::Unchecked);
        listEntry(*trends, "Parking")->setCheckState(Qt::Checked);
        listEntry(*trends, "Battery Voltage (V) [V]")->setCheckState(Qt::Checked);
        trends->setSpan(15);
        trends->show();
        // The program ends with the window open: it opens again at the next start.
    }
    EXPECT_TRUE(TrendsWindow::leftOpen(settings()));
    auto again = open();
    EXPECT_EQ(again->plottedNames(),
              (QStringList{"Engine RPM [RPM]", "Engine Coolant Temp (F) [F]", "Speed (MPH) [MPH]",
                           "Parking", "Battery Voltage (V) [V]"}));
    EXPECT_EQ(again->span(), 15);
    EXPECT_EQ(listEntry(*again, "Parking")->checkState(), Qt::Checked);
    again->show();
    again->close();
    EXPECT_FALSE(TrendsWindow::leftOpen(settings()));
    again.reset();

    // A name an older or newer version wrote that is no column now is passed over.
    QSettings(settings(), QSettings::IniFormat)
        .setValue("trends/values", QStringList{"Engine Torque [Nm]", "level", "level"});
    EXPECT_EQ(open()->plottedNames(), QStringList{"level"});
}

TEST_F(TrendsWindowTest, FollowsThePresentUntilPaused) {
    history.addGap(now - 120'000);
    history.addReading(now - 60'000, 40, 0);
    auto trends = open();
    trends->show();
    auto& chart = trends->chart();
    EXPECT_EQ(chart.to(), now);
    EXPECT_EQ(chart.from(), now - 5 * 60'000);

    now += 10'000;
    ASSERT_TRUE(testing_support::waitUntil([&] { return chart.to() == now; }, 3000));
    const std::int64_t pausedAt = now;
    trends->setPaused(true);
    now += 10'000;
    QTest::qWait(1200);  // the paused window still refreshes once a second
    EXPECT_EQ(chart.to(), pausedAt);
    trends->setSpan(1);
    EXPECT_EQ(chart.from(), pausedAt - 60'000);
    trends->setPaused(false);
    EXPECT_EQ(chart.to(), now);
}

TEST_F(TrendsWindowTest, ARecordingReplacesWhatIsShownWhole) {
    const QString first = folder.filePath("first.csv");
    const QString second = folder.filePath("second.csv");
    writeFile(first,
              "time,link,level,Engine RPM [RPM]\r\n"
              "2025-03-14T09:00:00.000+01:00,identified,10,803.125\r\n"
              "2025-03-14T09:30:00.000+01:00,identified,20,1606.375\r\n");
    writeFile(second,
              "time,link,level,Engine RPM [RPM],Parking\r\n"
              "2025-03-15T10:00:00.000+00:00,identified,50,4015.875,0\r\n"
              "2025-03-15T10:00:05.000+00:00,lost,,,\r\n"
              "2025-03-15T10:00:09.000+00:00,identified,,,\r\n"
              "2025-03-15T10:00:10.000+00:00,identified,60,4819.25,1\r\n");
    auto trends = open();
    auto* spans = trends->findChild<QComboBox*>("trendsSpan");
    ASSERT_TRUE(trends->openRecording(first, true));
    EXPECT_EQ(trends->span(), 0);  // all of it
    EXPECT_EQ(trends->chart().from(), 1741939200000);
    EXPECT_EQ(trends->chart().to(), 1741941000001);
    EXPECT_EQ(listEntry(*trends, "Speed (MPH) [MPH]")->toolTip(), "Not in this recording");

    ASSERT_TRUE(trends->openRecording(second, true));
    EXPECT_EQ(trends->chart().from(), 1742032800000);
    EXPECT_EQ(trends->chart().to(), 1742032810001);
    EXPECT_EQ(spans->count(), 5);  // one "All", not two
    EXPECT_EQ(listEntry(*trends, "Parking")->toolTip(), "");

    // Not a recording: said so, and the recording shown stays.
    EXPECT_FALSE(trends->openRecording(folder.filePath("missing.csv"), true));
    EXPECT_EQ(trends->lastError(), "missing.csv cannot be read: No such file or directory.");
    EXPECT_EQ(trends->chart().from(), 1742032800000);

    // Shorter than the span: the recording starts at the left edge.
    trends->setSpan(1);
    EXPECT_EQ(trends->chart().from(), 1742032800000);
    EXPECT_EQ(trends->chart().to(), 1742032860000);

    trends->showLive();
    EXPECT_FALSE(trends->showingRecording());
    EXPECT_EQ(spans->count(), 4);
    EXPECT_EQ(trends->span(), 5);
    EXPECT_EQ(trends->chart().to(), now);
}

TEST_F(TrendsWindowTest, ReadsOutEachValueAsItsDisplayShowsIt) {
    history.addReading(1000, 50, 1u << 0);  // Parking lit
    history.addGap(2000);
    terminal::ui::TrendsSource source;
    source.show(&history, 0);
    const struct {
        const char* name;
        std::int64_t when;
        const char* text;
    } cases[] = {
        {"Engine RPM [RPM]", 1500, "4015.88 RPM"},
        {"Engine Hour (Hr) [Hr]", 1500, "625.0 Hr"},
        {"Actual Engine-%Torque [%]", 1500, "62 %"},
        {"level", 1500, "50"},
        {"Parking", 1500, "lit"},
        {"Cruise", 1500, "dark"},
        {"Engine RPM [RPM]", 2000, "no reading"},
        {"Engine RPM [RPM]", 999, "no reading"},
    };
    for (const auto& c : cases) {
        source.setItems({terminal::trendItemIndex(c.name).value()});
        EXPECT_EQ(source.readingText(0, c.when), c.text) << c.name << " at " << c.when;
    }
}

TEST_F(TrendsWindowTest, SavesThePlotsAsAPictureOfTheWindowsSize) {
    auto trends = open();
    trends->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(trends.get()));
    const QString png = folder.filePath("trends.png");
    ASSERT_TRUE(trends->savePicture(png)) << trends->lastError().toStdString();
    EXPECT_EQ(QImage(png).size(), trends->chart().size() * trends->chart().devicePixelRatioF());
    EXPECT_FALSE(trends->savePicture(folder.filePath("none/trends.png")));
    EXPECT_EQ(trends->lastError(),
              "Cannot save " + folder.filePath("none/trends.png") + ": No such file or directory.");
}

// A point over the top plot at the time `when`: the first pixel column showing it or later.
QPoint pointAt(platform::TrendChart& chart, std::int64_t when) {
    int y = 0;
    while (y < chart.height() && !chart.plotAt(QPoint(chart.width() / 2, y + 30))) {
        ++y;
    }
    int x = 0;
    while (x < chart.width() && chart.timeAtX(x) < when) {
        ++x;
    }
    return {x, y + 30};
}

TEST_F(TrendsWindowTest, MeasuresBetweenTwoCursorsZoomsByKeyAndMouseAndExportsWhatIsVisible) {
    history.addReading(now - 120'000, 40, 0);
    history.addReading(now - 60'000, 60, 0);
    history.addGap(now - 30'000);
    history.addReading(now - 20'000, 80, 0);
    auto trends = open();
    trends->resize(1000, 680);
    trends->show();
    trends->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(trends.get()));
    auto& chart = trends->chart();
    auto* readout = trends->findChild<QLabel*>("trendsCursors");
    ASSERT_NE(readout, nullptr);
    const QString hint = readout->text();
    EXPECT_TRUE(hint.startsWith("Click: cursor A, Shift+click: cursor B.")) << hint.toStdString();

    // A click sets A, Shift+click B; each plot and the read-out show both and the difference.
    QTest::mouseClick(&chart, Qt::LeftButton, Qt::NoModifier, pointAt(chart, now - 100'000));
    QTest::mouseClick(&chart, Qt::LeftButton, Qt::ShiftModifier, pointAt(chart, now - 50'000));
    ASSERT_TRUE(chart.cursorA() && chart.cursorB());
    EXPECT_GE(*chart.cursorA(), now - 100'000);
    EXPECT_LT(*chart.cursorA(), now - 99'000);
    EXPECT_GE(*chart.cursorB(), now - 50'000);
    EXPECT_LT(*chart.cursorB(), now - 49'000);
    EXPECT_TRUE(trends->cursorReadoutInFull().endsWith("; level: A 40   B 60   Δ +20"))
        << trends->cursorReadoutInFull().toStdString();
    EXPECT_TRUE(readout->text().endsWith(" · level Δ +20")) << readout->text().toStdString();
    // The read-out is what a screen reader gets.
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(readout);
    ASSERT_NE(spoken, nullptr);
    EXPECT_EQ(spoken->text(QAccessible::Name), readout->text());
    EXPECT_EQ(spoken->text(QAccessible::Description), trends->cursorReadoutInFull());

    // Exactly placed, on the time axis in seconds from the start; B in the gap has no reading.
    trends->setTimeFromStart(true);
    trends->placeCursor(now - 90'000, false);
    trends->placeCursor(now - 30'000, true);
    EXPECT_TRUE(readout->text().startsWith("A 30.000 s   B 90.000 s   Δt 60.000 s"))
        << readout->text().toStdString();
    EXPECT_TRUE(trends->cursorReadoutInFull().endsWith("; level: A 40   B no reading"))
        << trends->cursorReadoutInFull().toStdString();
    chart.setFocus();
    QTest::keyClick(&chart, Qt::Key_Escape);
    EXPECT_FALSE(chart.cursorA() || chart.cursorB());
    EXPECT_EQ(readout->text(), hint);

    // Zoom in by key while following: about the present, still following.
    QTest::keyClick(&chart, Qt::Key_Plus);
    EXPECT_EQ(chart.from(), now - 240'000);
    EXPECT_EQ(chart.to(), now);
    EXPECT_FALSE(trends->paused());
    // Panned back: stops there; Home follows the 5 minutes again.
    QTest::keyClick(&chart, Qt::Key_Left);
    EXPECT_EQ(chart.from(), now - 264'000);
    EXPECT_EQ(chart.to(), now - 24'000);
    EXPECT_TRUE(trends->paused());
    QTest::keyClick(&chart, Qt::Key_Home);
    EXPECT_EQ(chart.from(), now - 300'000);
    EXPECT_EQ(chart.to(), now);
    EXPECT_FALSE(trends->paused());
    // Never out past the hour held.
    for (int i = 0; i < 12; ++i) {
        QTest::keyClick(&chart, Qt::Key_Minus);
    }
    EXPECT_EQ(chart.to() - chart.from(), 3'600'000);

    // Ctrl+drag zooms to the stretch dragged over.
    QTest::keyClick(&chart, Qt::Key_Home);
    QTest::mousePress(&chart, Qt::LeftButton, Qt::ControlModifier, pointAt(chart, now - 130'000));
    QTest::mouseMove(&chart, pointAt(chart, now - 90'000));
    QTest::mouseMove(&chart, pointAt(chart, now - 50'000));
    QTest::mouseRelease(&chart, Qt::LeftButton, Qt::ControlModifier, pointAt(chart, now - 50'000));
    EXPECT_NEAR(static_cast<double>(chart.from()), now - 130'000.0, 1000);
    EXPECT_NEAR(static_cast<double>(chart.to()), now - 50'000.0, 1000);
    EXPECT_TRUE(trends->paused());
    EXPECT_FALSE(chart.cursorA());  // a drag sets no cursor

    // A plain drag pans: dragged to the right, earlier times come in.
    const std::int64_t before = chart.from();
    const std::int64_t zoomed = chart.to() - chart.from();
    QTest::mousePress(&chart, Qt::LeftButton, Qt::NoModifier, pointAt(chart, now - 100'000));
    QTest::mouseMove(&chart, pointAt(chart, now - 90'000));
    QTest::mouseMove(&chart, pointAt(chart, now - 80'000));
    QTest::mouseRelease(&chart, Qt::LeftButton, Qt::NoModifier, pointAt(chart, now - 80'000));
    EXPECT_LT(chart.from(), before - 15'000);
    EXPECT_EQ(chart.to() - chart.from(), zoomed);

    // The wheel zooms about the pointer: the time under it stays there.
    const QPoint over = pointAt(chart, chart.from() + (chart.to() - chart.from()) / 4);
    const std::int64_t under = chart.timeAtX(over.x());
    const std::int64_t span = chart.to() - chart.from();
    QWheelEvent notch(over, chart.mapToGlobal(over), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&chart, &notch);
    EXPECT_NEAR(static_cast<double>(chart.to() - chart.from()), span * 0.8, 2);
    EXPECT_NEAR(static_cast<double>(chart.timeAtX(over.x())), static_cast<double>(under), 200);

    // The visible range exported reads back as a recording of just those points.
    trends->zoomToTimes(now - 130'000, now - 50'000);
    const QString csv = folder.filePath("visible.csv");
    ASSERT_TRUE(trends->exportVisible(csv)) << trends->lastError().toStdString();
    QFile written(csv);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readLine(),
              "time,link,level,Engine RPM [RPM],Engine Coolant Temp (F) [F],Speed (MPH) [MPH]\r\n");
    std::string error;
    const auto back = terminal::readRecording(csv.toStdString(), error);
    ASSERT_TRUE(back) << error;
    ASSERT_EQ(back->size(), 2u);
    EXPECT_EQ(back->time(0), now - 120'000);
    EXPECT_EQ(back->time(1), now - 60'000);
    EXPECT_EQ(back->value(0, terminal::trendItemIndex("level").value()), 40);
    EXPECT_EQ(back->value(1, terminal::trendItemIndex("level").value()), 60);
    // Open recording takes it back too.
    ASSERT_TRUE(trends->openRecording(csv, true)) << trends->lastError().toStdString();
    EXPECT_EQ(trends->chart().from(), now - 120'000);
    EXPECT_EQ(trends->chart().to(), now - 60'000 + 1);

    EXPECT_FALSE(trends->exportVisible(folder.filePath("none/visible.csv")));
    EXPECT_TRUE(
        trends->lastError().startsWith("Cannot export to " + folder.filePath("none/visible.csv")))
        << trends->lastError().toStdString();
}

TEST_F(TrendsWindowTest, EveryNewActionHasAShortcutAndAName) {
    auto trends = open();
    const struct {
        const char* id;
        const char* text;
        const char* key;
    } actions[] = {
        {"trendsCursorA", "Set cursor A", "A"},
        {"trendsCursorB", "Set cursor B", "B"},
        {"trendsClearCursors", "Clear cursors", "Esc"},
        {"trendsZoomIn", "Zoom in", "+"},
        {"trendsZoomOut", "Zoom out", "-"},
        {"trendsPanLeft", "Earlier", "Left"},
        {"trendsPanRight", "Later", "Right"},
        {"trendsHome", "Live view", "Home"},
        {"trendsFixedRange", "Fixed value range", "F"},
    };
    for (const auto& a : actions) {
        auto* action = trends->chart().findChild<QAction*>(a.id);
        ASSERT_NE(action, nullptr) << a.id;
        EXPECT_EQ(action->text(), a.text);
        EXPECT_EQ(action->shortcut(), QKeySequence(a.key)) << a.id;
    }
    auto* exporting = trends->findChild<QPushButton*>("trendsExport");
    ASSERT_NE(exporting, nullptr);
    EXPECT_EQ(exporting->text(), "Export visible range…");
    EXPECT_EQ(exporting->shortcut(), QKeySequence("Ctrl+E"));
    EXPECT_EQ(exporting->accessibleName(), "Export visible range");
    auto* axis = trends->findChild<QComboBox*>("trendsTimeAxis");
    ASSERT_NE(axis, nullptr);
    EXPECT_EQ(axis->accessibleName(), "Time axis");
}

TEST_F(TrendsWindowTest, AFixedRangeHoldsAPlotsAxisWhateverItShows) {
    history.addReading(now - 120'000, 40, 0);
    history.addReading(now - 60'000, 60, 0);
    auto trends = open();
    trends->setPlottedNames({"level"});
    trends->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(trends.get()));
    (void)trends->picture();  // drawn once, so the plot has an axis
    const auto fitted = trends->chart().scaleShown(0);
    ASSERT_TRUE(fitted);
    EXPECT_EQ(fitted->low, 40);
    EXPECT_EQ(fitted->high, 60);
    trends->setFixedRange(0, true);
    EXPECT_TRUE(trends->fixedRange(0));
    // Zoomed to where the level is 60 alone: the fitted axis would centre on 60.
    trends->zoomToTimes(now - 50'000, now - 40'000);
    (void)trends->picture();
    EXPECT_EQ(trends->chart().scaleShown(0)->low, 40);
    EXPECT_EQ(trends->chart().scaleShown(0)->high, 60);
    trends->setFixedRange(0, false);
    (void)trends->picture();
    EXPECT_NE(trends->chart().scaleShown(0)->low, 40);
}

}  // namespace

namespace {

TEST_F(TrendsWindowTest, ShowsItselfToAScreenReaderAsAFrameWithEachPlotAndTheLossesReadable) {
    const QString csv = folder.filePath("run.csv");
    writeFile(csv,
              "time,link,level,Engine RPM [RPM]\r\n"
              "2025-03-15T10:00:00.000+00:00,identified,50,4015.875\r\n"
              "2025-03-15T10:00:05.000+00:00,lost,,\r\n"
              "2025-03-15T10:00:06.000+00:00,identified,,\r\n"
              "2025-03-15T10:00:07.000+00:00,identified,60,4819.125\r\n"
              "2025-03-15T10:00:08.000+00:00,silent,,\r\n"
              "2025-03-15T10:00:09.000+00:00,identified,,\r\n"
              "2025-03-15T10:00:10.000+00:00,identified,50,4015.875\r\n");
    auto trends = open();
    trends->setPlottedNames({"Engine RPM [RPM]", "level"});
    ASSERT_TRUE(trends->openRecording(csv, true));
    trends->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(trends.get()));

    QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(trends.get());
    EXPECT_EQ(frame->role(), QAccessible::Window);
    QAccessibleInterface* chart = QAccessible::queryAccessibleInterface(&trends->chart());
    ASSERT_EQ(chart->childCount(), 3);
    const struct {
        QString name;
        QString text;
        QAccessible::Role role;
    } parts[] = {
        {"Engine RPM [RPM]", "4015.88 RPM", QAccessible::Chart},
        {"level", "50", QAccessible::Chart},
        {"Losses in view", "2 losses in view", QAccessible::StaticText},
    };
    for (int i = 0; i < 3; ++i) {
        QAccessibleInterface* part = chart->child(i);
        ASSERT_NE(part, nullptr);
        EXPECT_EQ(part->text(QAccessible::Name), parts[i].name);
        EXPECT_EQ(part->text(QAccessible::Description), parts[i].text);
        EXPECT_EQ(part->role(), parts[i].role);
        ASSERT_NE(part->textInterface(), nullptr);
        EXPECT_EQ(part->textInterface()->text(0, -1), parts[i].text);
        EXPECT_EQ(chart->indexOfChild(part), i);
        EXPECT_EQ(part->parent(), chart);
    }
    // With cursors set, a plot reads out A's and B's values as its heading does.
    trends->placeCursor(1742032800500, false);
    trends->placeCursor(1742032807500, true);
    EXPECT_EQ(chart->child(1)->text(QAccessible::Description), "A 50   B 60   Δ +10");

    // The read-out under the plots as text, the value list and both scroll bars named.
    QAccessibleInterface* readout =
        QAccessible::queryAccessibleInterface(trends->findChild<QLabel*>("trendsCursors"));
    ASSERT_NE(readout->textInterface(), nullptr);
    EXPECT_EQ(readout->textInterface()->text(0, -1), trends->cursorReadout());
    auto* values = trends->findChild<QListWidget*>("trendsValues");
    EXPECT_EQ(values->accessibleName(), "Values to plot");
    EXPECT_EQ(values->verticalScrollBar()->accessibleName(), "Values to plot, scroll bar");
    EXPECT_EQ(trends->findChild<QScrollBar*>("trendsScroll")->accessibleName(), "Earlier or later");
}

}  // namespace
