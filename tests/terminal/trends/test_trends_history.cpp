// The Trends window's live side: the names it offers, the ring of the last hour, the feed
// from the session, and the reduction of readings to pixel columns.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FakeTerminalView.h"
#include "NullTerminalView.h"
#include "terminal/dashboard/DashboardUpdate.h"
#include "terminal/dashboard/SnapshotView.h"
#include "terminal/recording/DashboardExport.h"
#include "terminal/trends/TrendFeed.h"
#include "terminal/trends/TrendHistory.h"
#include "terminal/trends/TrendItems.h"
#include "terminal/trends/TrendReduction.h"

namespace {

using terminal::TrendHistory;

std::size_t item(const char* name) {
    const auto index = terminal::trendItemIndex(name);
    EXPECT_TRUE(index.has_value()) << name;
    return index.value_or(0);
}

// Points given by hand: time, linked, value of item 0 (NaN: no reading).
struct Point {
    std::int64_t time;
    bool linked;
    double value;
};

class PointData : public terminal::TrendData {
public:
    explicit PointData(std::vector<Point> points) : points_(std::move(points)) {}
    std::size_t size() const override { return points_.size(); }
    std::int64_t time(std::size_t i) const override { return points_[i].time; }
    bool linked(std::size_t i) const override { return points_[i].linked; }
    double value(std::size_t i, std::size_t) const override { return points_[i].value; }

private:
    std::vector<Point> points_;
};

const double gap = std::nan("");

// "c5 7..7 (7>7) to 5 joined away": each column that has something, then the entering line.
std::string describe(const platform::PlotTrace& trace) {
    std::string text;
    char part[96];
    if (trace.entering) {
        std::snprintf(part, sizeof part, "in %g to %d;", *trace.entering, trace.enteringHoldTo);
        text += part;
    }
    for (std::size_t c = 0; c < trace.columns.size(); ++c) {
        const platform::PlotColumn& column = trace.columns[c];
        if (column.any) {
            std::snprintf(part, sizeof part, " c%zu %g..%g (%g>%g) to %d%s%s", c, column.low,
                          column.high, column.first, column.last, column.holdTo,
                          column.joined ? " joined" : "", column.away ? " away" : "");
            text += part;
        } else if (column.away) {
            std::snprintf(part, sizeof part, " c%zu away", c);
            text += part;
        }
    }
    return text;
}

TEST(TrendItems, AreTheRecordingsNumericColumnsInItsOrder) {
    const std::vector<std::string> header = terminal::dashboardCsvHeader();
    const auto& items = terminal::trendItems();
    ASSERT_EQ(items.size(), 55u);
    // time, link, then the items one for one, then the four trouble-code boxes.
    ASSERT_EQ(header.size(), items.size() + 6);
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].name, header[i + 2]);
    }
    const struct {
        const char* name;
        const char* caption;
        const char* unit;
    } cases[] = {
        {"level", "level", ""},
        {"Engine RPM [RPM]", "Engine RPM", "RPM"},
        {"EGR Mass Flow Rate [kg/Hr]", "EGR Mass Flow Rate", "kg/Hr"},
        {"Engine Coolant Temp (F) [F]", "Engine Coolant Temp (F)", "F"},
        {"Parking", "Parking", ""},
        {"ABS Red Stop", "ABS Red Stop", ""},
    };
    for (const auto& c : cases) {
        const auto& entry = items[item(c.name)];
        EXPECT_EQ(entry.caption, c.caption);
        EXPECT_EQ(entry.unit, c.unit);
    }
    std::vector<std::string> defaults;
    for (std::size_t index : terminal::defaultTrendItems()) {
        defaults.push_back(items[index].name);
    }
    EXPECT_EQ(defaults, (std::vector<std::string>{"Engine RPM [RPM]", "Engine Coolant Temp (F) [F]",
                                                  "Speed (MPH) [MPH]", "level"}));
}

// The live history keeps the level instead of 27 values: that holds only while every value
// the dashboard shows follows from the level alone, whatever the modes.
TEST(TrendItems, EveryShownValueFollowsFromTheLevelAlone) {
    for (const bool warnings : {false, true}) {
        for (const bool resetDm2 : {false, true}) {
            for (unsigned level = 0; level < 256; ++level) {
                testing_support::NullTerminalView null;
                terminal::SnapshotView view(null);
                terminal::DashboardState panel;
                panel.warningsOn = warnings;
                panel.resetEngineDm2On = resetDm2;
                terminal::applyLevel(static_cast<std::uint8_t>(level), view, panel, 2);
                for (std::size_t i = 0; i < terminal::trendItems().size(); ++i) {
                    const auto& entry = terminal::trendItems()[i];
                    if (entry.kind == terminal::TrendItemKind::display) {
                        ASSERT_EQ(view.snapshot().display(entry.id),
                                  terminal::engineValueAtLevel(i, static_cast<std::uint8_t>(level)))
                            << entry.name << " at level " << level;
                    }
                }
            }
        }
    }
    const struct {
        const char* name;
        unsigned level;
        double value;
    } known[] = {
        {"Engine RPM [RPM]", 50, 4015.875},      {"Engine Coolant Temp (F) [F]", 50, 185},
        {"Battery Voltage (V) [V]", 91, 375.25}, {"Engine Oil Temp (F) [F]", 0, -459.4f},
        {"Engine RPM [RPM]", 102, 0.5},
    };
    for (const auto& k : known) {
        EXPECT_EQ(terminal::engineValueAtLevel(item(k.name), static_cast<std::uint8_t>(k.level)),
                  k.value)
            << k.name;
    }
}

TEST(TrendHistory, KeepsTheNewestPointsUpToItsCapacity) {
    TrendHistory history(3);
    for (int i = 1; i <= 5; ++i) {
        history.addReading(i * 10, static_cast<std::uint8_t>(i), 0);
    }
    ASSERT_EQ(history.size(), 3u);
    const std::size_t level = item("level");
    EXPECT_EQ(history.time(0), 30);
    EXPECT_EQ(history.value(0, level), 3);
    EXPECT_EQ(history.time(2), 50);
    EXPECT_EQ(history.value(2, level), 5);
}

TEST(TrendHistory, WrapsAcrossItsStorageBlocksWithoutLosingOrder) {
    const std::size_t capacity = TrendHistory::blockPoints + 10;
    TrendHistory history(capacity);
    const std::size_t total = 2 * TrendHistory::blockPoints + 5;
    for (std::size_t i = 0; i < total; ++i) {
        history.addReading(static_cast<std::int64_t>(i), static_cast<std::uint8_t>(i % 101), 0);
    }
    ASSERT_EQ(history.size(), capacity);
    // 32773 points in, 16394 kept: the oldest kept is point 16379.
    EXPECT_EQ(history.time(0), 16379);
    EXPECT_EQ(history.value(0, item("level")), 16379 % 101);
    EXPECT_EQ(history.time(capacity - 1), 32772);
    for (std::size_t i = 1; i < capacity; ++i) {
        ASSERT_EQ(history.time(i), history.time(i - 1) + 1) << i;
    }
    // Points 16379 to 32772 lie in three blocks of 16384 points, 9 bytes each.
    EXPECT_EQ(history.storageBytes(), 442368u);

    // Drawing reads a block at a time: across the first block's end it reads what the points
    // say one by one. Point 16379 is at level 17: 1365.375 rpm.
    const std::size_t rpm = item("Engine RPM [RPM]");
    std::vector<terminal::TrendPoint> points(10);
    history.read(0, points.size(), rpm, points.data());
    EXPECT_EQ(points[0].value, 1365.375);
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(points[i].time, 16379 + static_cast<std::int64_t>(i));
        EXPECT_EQ(points[i].value, history.value(i, rpm)) << i;
        EXPECT_TRUE(points[i].linked);
    }
}

TEST(TrendHistory, ForgetsWhatIsOlderThanAnHourButTheLastPointBeforeIt) {
    const struct {
        std::vector<std::int64_t> times;
        std::vector<std::int64_t> kept;
    } cases[] = {
        {{0, 500, 900, 1600, 2000}, {900, 1600, 2000}},
        {{0, 2500}, {0, 2500}},
        {{0, 100, 5000, 5001}, {100, 5000, 5001}},
        {{100, 50, 40}, {100, 100, 100}},  // a time before the newest counts as the newest
    };
    for (const auto& c : cases) {
        TrendHistory history(100, 1000);
        for (std::int64_t time : c.times) {
            history.addGap(time);
        }
        std::vector<std::int64_t> kept;
        for (std::size_t i = 0; i < history.size(); ++i) {
            kept.push_back(history.time(i));
        }
        EXPECT_EQ(kept, c.kept) << c.times.size() << " points";
    }
}

TEST(TrendHistory, KeepsItsTimesAfterFiftyDaysOfRunning) {
    TrendHistory history(100, 1000);
    history.addReading(0, 10, 0);
    history.addGap(5'000'000'000);
    history.addReading(5'000'000'500, 20, 0);
    ASSERT_EQ(history.size(), 3u);
    EXPECT_EQ(history.time(0), 4'999'998'999);  // the hour's first point, moved up
    EXPECT_EQ(history.time(1), 5'000'000'000);
    EXPECT_EQ(history.time(2), 5'000'000'500);
    EXPECT_EQ(history.value(2, item("level")), 20);
}

TEST(TrendFeed, RecordsReadingsOnlyWhileIdentifiedAndAGapAtEveryLinkChange) {
    TrendHistory history;
    std::int64_t clock = 1000;
    terminal::TrendFeed feed(history, [&] { return clock; });
    terminal::VehicleSnapshot shown;
    terminal::DashboardState panel;
    shown.level = 50;
    shown.setDisplay(1013, 4015.875);
    shown.setLamp(1080, true);  // Parking: the first lamp
    shown.setLamp(1034, true);  // ABS Red Stop: the last

    const struct {
        terminal::LinkState link;
        bool linkChange;
        bool reading;
    } steps[] = {
        {terminal::LinkState::connecting, true, false},
        {terminal::LinkState::identified, true, false},  // no status line yet
        {terminal::LinkState::identified, false, true},
        {terminal::LinkState::lost, true, false},
        {terminal::LinkState::refused, false, false},  // a status line with the gate shut
        {terminal::LinkState::silent, false, false},
    };
    for (const auto& step : steps) {
        shown.link = step.link;
        if (step.linkChange) {
            feed.linkChanged(shown, panel);
        } else {
            feed.statusShown(shown, panel);
        }
        clock += 100;
    }
    ASSERT_EQ(history.size(), 6u);
    for (std::size_t i = 0; i < history.size(); ++i) {
        EXPECT_EQ(history.time(i), 1000 + 100 * static_cast<std::int64_t>(i));
        EXPECT_EQ(history.linked(i), steps[i].reading) << i;
        EXPECT_EQ(std::isnan(history.value(i, item("Engine RPM [RPM]"))), !steps[i].reading);
    }
    EXPECT_EQ(history.value(2, item("Engine RPM [RPM]")), 4015.875);
    EXPECT_EQ(history.value(2, item("level")), 50);
    EXPECT_EQ(history.value(2, item("Parking")), 1);
    EXPECT_EQ(history.value(2, item("ABS Red Stop")), 1);
    EXPECT_EQ(history.value(2, item("Cruise")), 0);
    EXPECT_EQ(terminal::lampBits(shown), (1u << 0) | (1u << 26));

    // Read a block at a time, the same.
    for (const char* name : {"Engine RPM [RPM]", "level", "ABS Red Stop", "Cruise"}) {
        std::vector<terminal::TrendPoint> points(history.size());
        history.read(0, points.size(), item(name), points.data());
        for (std::size_t i = 0; i < points.size(); ++i) {
            EXPECT_EQ(points[i].linked, steps[i].reading) << name << " " << i;
            EXPECT_EQ(std::isnan(points[i].value), !steps[i].reading) << name << " " << i;
            if (steps[i].reading) {
                EXPECT_EQ(points[i].value, history.value(i, item(name))) << name;
            }
        }
    }
}

TEST(TrendReduction, KeepsEachColumnsExtremesAndWhereItsLineGoes) {
    const struct {
        const char* what;
        std::vector<Point> points;
        std::int64_t from, to;
        int columns;
        const char* expected;
    } cases[] = {
        {"a column holding one point", {{5, true, 7}}, 0, 10, 10, " c5 7..7 (7>7) to 5"},
        {"many readings in one column",
         {{10, true, 3}, {12, true, 9}, {15, true, -2}, {19, true, 4}},
         0,
         100,
         10,
         " c1 -2..9 (3>4) to 1"},
        {"readings joined across empty columns",
         {{10, true, 1}, {50, true, 2}},
         0,
         100,
         10,
         " c1 1..1 (1>1) to 5 c5 2..2 (2>2) to 5 joined"},
        {"a loss of the link ends the line and is away until the next reading",
         {{10, true, 1}, {30, false, gap}, {50, true, 2}},
         0,
         100,
         10,
         " c1 1..1 (1>1) to 3 c3 away c4 away c5 2..2 (2>2) to 5 away"},
        {"an empty cell ends the line but is not away",
         {{10, true, 1}, {30, true, gap}, {50, true, 2}},
         0,
         100,
         10,
         " c1 1..1 (1>1) to 3 c5 2..2 (2>2) to 5"},
        {"the reading before the range enters from the left edge",
         {{-5, true, 4}, {30, true, 6}},
         0,
         100,
         10,
         "in 4 to 3; c3 6..6 (6>6) to 3 joined"},
        {"a point past the right edge carries the line to it",
         {{50, true, 1}, {150, true, 2}},
         0,
         100,
         10,
         " c5 1..1 (1>1) to 10"},
        {"a point at the range's end belongs to the next range",
         {{50, true, 1}, {100, true, 9}},
         0,
         100,
         10,
         " c5 1..1 (1>1) to 10"},
        {"a loss before the range that lasts through it",
         {{-5, false, gap}},
         0,
         40,
         4,
         " c0 away c1 away c2 away c3 away"},
        {"a loss inside one column, readings on both sides",
         {{10, true, 1}, {12, false, gap}, {14, true, 3}},
         0,
         100,
         10,
         " c1 1..3 (1>3) to 1 away"},
        {"nothing at all", {}, 0, 100, 10, ""},
        {"no columns", {{5, true, 1}}, 0, 100, 0, ""},
        {"a range that runs backwards", {{5, true, 1}}, 100, 0, 10, ""},
    };
    for (const auto& c : cases) {
        const PointData data(c.points);
        EXPECT_EQ(describe(terminal::reduceToColumns(data, 0, c.from, c.to, c.columns)), c.expected)
            << c.what;
    }
}

TEST(TrendReduction, ReadsTheValueShownAtAMoment) {
    const PointData data({{10, true, 1}, {20, false, gap}, {30, true, 3}, {30, true, 4}});
    const struct {
        std::int64_t when;
        std::optional<double> reading;
    } cases[] = {{9, std::nullopt},  {10, 1}, {19, 1},  {20, std::nullopt},
                 {29, std::nullopt}, {30, 4}, {1000, 4}};
    for (const auto& c : cases) {
        EXPECT_EQ(terminal::readingAt(data, 0, c.when), c.reading) << c.when;
    }
}

}  // namespace
