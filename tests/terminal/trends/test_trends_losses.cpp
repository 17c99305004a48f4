// What a plot needs to show every loss and every value that is no reading: the losses of the
// link in a trace, the cells a recording leaves out (not a number, or outside the value's
// J1939 range), and rows out of time order put in order and counted.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "terminal/trends/Recording.h"
#include "terminal/trends/TrendItems.h"
#include "terminal/trends/TrendReduction.h"

namespace {

std::size_t item(const char* name) {
    return terminal::trendItemIndex(name).value();
}

std::optional<terminal::Recording> parse(const std::string& text) {
    terminal::RecordingParser parser;
    parser.feed(text);
    std::string error;
    auto recording = parser.finish(error);
    EXPECT_TRUE(recording) << error;
    return recording;
}

TEST(TrendItems, KnowEachValuesRange) {
    const struct {
        const char* name;
        double value;
        bool within;
    } cases[] = {
        {"Engine RPM [RPM]", 8031.875, true},
        {"Engine RPM [RPM]", 8032, false},
        {"Engine RPM [RPM]", -0.5, false},
        {"Engine Coolant Temp (F) [F]", -40, true},
        {"Engine Coolant Temp (F) [F]", 410, true},
        {"Engine Coolant Temp (F) [F]", 413.6, false},  // raw 0xFC: an error indicator
        {"Exhaust Gas Temp (F) [F]", -459.4, true},
        {"Exhaust Gas Temp (F) [F]", 3154.94, true},
        {"Actual Engine-%Torque [%]", -125, true},
        {"Actual Engine-%Torque [%]", -126, false},
        {"Speed (MPH) [MPH]", 155.96, true},
        {"Speed (MPH) [MPH]", 156.5, false},
        {"Engine Hour (Hr) [Hr]", 999999, true},
        {"level", 255, true},
        {"level", 256, false},
        {"Parking", 1, true},
        {"Parking", 2, false},
        {"Engine RPM [RPM]", std::nan(""), false},
        {"Engine RPM [RPM]", HUGE_VAL, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(terminal::withinRange(item(c.name), c.value), c.within)
            << c.name << " " << c.value;
    }
}

TEST(RecordingReader, LeavesOutACellThatIsNoReadingOfItsValueAndMarksIt) {
    const struct {
        const char* cell;
        double value;  // NaN: no reading
        bool leftOut;
    } cases[] = {
        {"812.5", 812.5, false},       {"", std::nan(""), false},     {"inf", std::nan(""), true},
        {"nan", std::nan(""), true},   {"12abc", std::nan(""), true}, {"1e999", std::nan(""), true},
        {"99999", std::nan(""), true}, {"-1", std::nan(""), true},    {"8031.875", 8031.875, false},
    };
    for (const auto& c : cases) {
        const auto recording = parse(std::string("time,link,level,Engine RPM [RPM]\r\n"
                                                 "2025-03-14T09:26:53.589+01:00,identified,50,") +
                                     c.cell + "\r\n");
        ASSERT_TRUE(recording);
        const std::size_t rpm = item("Engine RPM [RPM]");
        const double value = recording->value(0, rpm);
        if (std::isnan(c.value)) {
            EXPECT_TRUE(std::isnan(value)) << c.cell;
        } else {
            EXPECT_EQ(value, c.value) << c.cell;
        }
        EXPECT_EQ(recording->leftOut(0, rpm), c.leftOut) << c.cell;
        terminal::TrendPoint point{};
        recording->read(0, 1, rpm, &point);
        EXPECT_EQ(point.leftOut, c.leftOut) << c.cell;
    }
}

TEST(RecordingReader, PutsRowsOutOfTimeOrderInOrderAndCountsThem) {
    const auto recording = parse(
        "time,link,level,ABS DM1\r\n"
        "2025-03-14T09:00:00.000+01:00,identified,10,\r\n"
        "2025-03-14T09:00:20.000+01:00,identified,30,\r\n"
        "2025-03-14T09:00:10.000+01:00,identified,20,\r\n"
        "2025-03-14T09:00:15.000+01:00,identified,25,\r\n"
        "2025-03-14T09:00:30.000+01:00,identified,40,\r\n");
    ASSERT_TRUE(recording);
    const double levels[] = {10, 20, 25, 30, 40};
    const std::int64_t start = 1741939200000;
    const std::int64_t times[] = {start, start + 10000, start + 15000, start + 20000,
                                  start + 30000};
    ASSERT_EQ(recording->size(), 5u);
    for (std::size_t row = 0; row < 5; ++row) {
        EXPECT_EQ(recording->time(row), times[row]) << row;
        EXPECT_EQ(recording->value(row, item("level")), levels[row]) << row;
    }
    EXPECT_EQ(recording->disorder().rows, 2u);
    EXPECT_EQ(recording->disorder().firstRow, 4u);  // the header is row 1
    EXPECT_EQ(recording->disorder().firstTime, start + 10000);
    EXPECT_EQ(recording->disorder().latestBefore, start + 20000);
    EXPECT_EQ(recording->columnNames(),
              (std::vector<std::string>{"time", "link", "level", "ABS DM1"}));
}

// Points given by hand: time, linked, reading (NaN: none), left out.
class Points : public terminal::TrendData {
public:
    explicit Points(std::vector<terminal::TrendPoint> points) : points_(std::move(points)) {}
    std::size_t size() const override { return points_.size(); }
    std::int64_t time(std::size_t i) const override { return points_[i].time; }
    bool linked(std::size_t i) const override { return points_[i].linked; }
    double value(std::size_t i, std::size_t) const override { return points_[i].value; }
    void read(std::size_t first, std::size_t count, std::size_t,
              terminal::TrendPoint* out) const override {
        std::copy_n(points_.begin() + static_cast<std::ptrdiff_t>(first), count, out);
    }

private:
    std::vector<terminal::TrendPoint> points_;
};

TEST(TrendReduction, ListsTheLossesInRangeAndMarksTheColumnsOfValuesLeftOut) {
    const double none = std::nan("");
    const Points data({{0, 1, true, false},
                       {1000, none, false, false},  // lost
                       {1500, none, false, false},  // connecting: the same loss
                       {3000, 2, true, false},
                       {4000, none, true, true},  // left out
                       {5000, 3, true, false},
                       {7000, none, false, false},  // lost to the end
                       {9000, none, false, false}});
    using Losses = std::vector<platform::PlotLoss>;
    const struct {
        std::int64_t from, to;
        Losses losses;
        std::vector<int> leftOutColumns;
    } cases[] = {
        {0, 10000, Losses{{1000, 3000}, {7000, 10000}}, {4}},
        {2000, 6000, Losses{{1500, 3000}}, {2}},  // begun before: from its last point before
        {3000, 6000, Losses{{1500, 3000}}, {1}},  // ended as the range begins (drawn as none)
        {7500, 8500, Losses{{7000, 8500}}, {}},
    };
    for (const auto& c : cases) {
        const platform::PlotTrace trace = terminal::reduceToColumns(
            data, 0, c.from, c.to, static_cast<int>((c.to - c.from) / 1000));
        EXPECT_EQ(trace.losses, c.losses) << c.from << " to " << c.to;
        std::vector<int> marked;
        for (std::size_t column = 0; column < trace.columns.size(); ++column) {
            if (trace.columns[column].leftOut) {
                marked.push_back(static_cast<int>(column));
            }
        }
        EXPECT_EQ(marked, c.leftOutColumns) << c.from << " to " << c.to;
    }
}

}  // namespace
