// The Trends window: opened from the dashboard with its default plots, its choices kept for
// the next start, following the present until paused, a recording replacing the live view
// whole, the readings as the displays show them, and the picture it saves.
#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QListWidget>
#include <QSettings>
#include <QTest>

#include "DashboardFixture.h"
#include "J1939SimProcess.h"
#include "platform/chart/qt/TrendChart.h"
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

}  // namespace
