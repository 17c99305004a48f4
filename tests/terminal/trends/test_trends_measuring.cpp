// Measuring in the Trends window and --plot: the range a view may show as it is zoomed and
// panned, the readings at two cursors and their difference, --from and --to, and the visible
// range exported as a recording that reads back as it was.
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "terminal/trends/Recording.h"
#include "terminal/trends/TrendExport.h"
#include "terminal/trends/TrendHistory.h"
#include "terminal/trends/TrendItems.h"
#include "terminal/trends/TrendView.h"

namespace {

using terminal::TimeRange;
using terminal::ViewLimits;

std::size_t item(const char* name) {
    return terminal::trendItemIndex(name).value();
}

TEST(TrendView, ZoomsAndPansWithinTheHourHeld) {
    const ViewLimits hour{0, 3'600'000, 100};
    enum class Move { zoom, pan, zoomTo, clamp };
    const struct {
        const char* what;
        Move move;
        TimeRange range;
        std::int64_t a;  // the anchor, the shift, or the stretch's ends
        std::int64_t b;
        double factor;
        TimeRange expected;
    } cases[] = {
        {"in about the middle",
         Move::zoom,
         {1'000'000, 1'300'000},
         1'150'000,
         0,
         0.5,
         {1'075'000, 1'225'000}},
        {"in about the left edge",
         Move::zoom,
         {1'000'000, 1'300'000},
         1'000'000,
         0,
         0.5,
         {1'000'000, 1'150'000}},
        {"in about a third", Move::zoom, {0, 300'000}, 100'000, 0, 0.8, {20'000, 260'000}},
        {"out, never past the hour", Move::zoom, {0, 3'000'000}, 1'500'000, 0, 2, {0, 3'600'000}},
        {"out at the right end",
         Move::zoom,
         {3'300'000, 3'600'000},
         3'600'000,
         0,
         1.25,
         {3'225'000, 3'600'000}},
        {"in, no shorter than a tenth", Move::zoom, {1000, 1200}, 1100, 0, 0.1, {1050, 1150}},
        {"pan back stops at the start",
         Move::pan,
         {1'000'000, 1'300'000},
         -2'000'000,
         0,
         0,
         {0, 300'000}},
        {"pan on stops at now",
         Move::pan,
         {3'000'000, 3'500'000},
         200'000,
         0,
         0,
         {3'100'000, 3'600'000}},
        {"pan inside", Move::pan, {1'000'000, 1'300'000}, -30'000, 0, 0, {970'000, 1'270'000}},
        {"stretch dragged leftwards",
         Move::zoomTo,
         {},
         1'250'000,
         1'200'000,
         0,
         {1'200'000, 1'250'000}},
        {"stretch too short widens", Move::zoomTo, {}, 5000, 5040, 0, {4970, 5070}},
        {"stretch past the end", Move::zoomTo, {}, 3'590'000, 3'700'000, 0, {3'490'000, 3'600'000}},
        {"a range past now moves back",
         Move::clamp,
         {3'500'000, 3'800'000},
         0,
         0,
         0,
         {3'300'000, 3'600'000}},
        {"a range longer than the hour", Move::clamp, {-10, 4'000'000}, 0, 0, 0, {0, 3'600'000}},
    };
    for (const auto& c : cases) {
        TimeRange got;
        switch (c.move) {
            case Move::zoom:
                got = terminal::zoomAbout(c.range, c.a, c.factor, hour);
                break;
            case Move::pan:
                got = terminal::panBy(c.range, c.a, hour);
                break;
            case Move::zoomTo:
                got = terminal::zoomTo(c.a, c.b, hour);
                break;
            case Move::clamp:
                got = terminal::clampRange(c.range, hour);
                break;
        }
        EXPECT_EQ(got.from, c.expected.from) << c.what;
        EXPECT_EQ(got.to, c.expected.to) << c.what;
    }
}

TEST(TrendView, ReadsBothCursorsAndTheirDifferenceButNothingInAGap) {
    terminal::TrendHistory history;
    history.addReading(1000, 40, 0);
    history.addReading(3000, 60, 0);
    history.addGap(5000);
    history.addReading(7000, 80, 0);
    const std::size_t level = item("level");
    using Time = std::optional<std::int64_t>;
    using Value = std::optional<double>;
    const struct {
        Time a;
        Time b;
        Value readingA;
        Value readingB;
        Value delta;
        std::optional<std::int64_t> span;
    } cases[] = {
        {1500, 3500, 40, 60, 20, 2000},
        {3500, 1500, 60, 40, -20, -2000},
        {3000, 7000, 60, 80, 20, 4000},                      // each on a point's own time
        {6000, 7500, std::nullopt, 80, std::nullopt, 1500},  // A in the gap
        {500, 1000, std::nullopt, 40, std::nullopt, 500},    // A before the first point
        {4999, 5000, 60, std::nullopt, std::nullopt, 1},     // B on the gap itself
        {1500, std::nullopt, 40, std::nullopt, std::nullopt, std::nullopt},
        {std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        const terminal::CursorReadings got = terminal::cursorReadings(history, level, c.a, c.b);
        const std::string which =
            "A " + std::to_string(c.a.value_or(-1)) + ", B " + std::to_string(c.b.value_or(-1));
        EXPECT_EQ(got.a, c.readingA) << which;
        EXPECT_EQ(got.b, c.readingB) << which;
        EXPECT_EQ(got.delta, c.delta) << which;
        EXPECT_EQ(terminal::cursorSpan(c.a, c.b), c.span) << which;
    }
}

TEST(TrendView, TakesFromAndToAsSecondsOrClockTimesWithinTheRecording) {
    // 2025-03-14 09:26:53.589 to 10:26:53.000, at UTC+01:00.
    const std::int64_t first = 1'741'940'813'589;
    const std::int64_t last = 1'741'944'413'000;
    using Text = std::optional<std::string_view>;
    const struct {
        Text from;
        Text to;
        std::optional<TimeRange> range;
        const char* error;
    } cases[] = {
        {std::nullopt, std::nullopt, TimeRange{first, last + 1}, ""},
        {"10", "70.5", TimeRange{first + 10'000, first + 70'500}, ""},
        {"0", std::nullopt, TimeRange{first, last + 1}, ""},
        {"09:27:00", "10:00:00", TimeRange{1'741'940'820'000, 1'741'942'800'000}, ""},
        {"9:27:00.25", std::nullopt, TimeRange{1'741'940'820'250, last + 1}, ""},
        // The start's own second, before its milliseconds, is in it.
        {"09:26:53", "10:26:53", TimeRange{1'741'940'813'000, last + 1}, ""},
        {"3600", std::nullopt, std::nullopt,
         "--from 3600 is outside the recording, which runs from 09:26:53 to 10:26:53 (0 to "
         "3599.411 s)"},
        {std::nullopt, "09:00:00", std::nullopt,
         "--to 09:00:00 is outside the recording, which runs from 09:26:53 to 10:26:53 (0 to "
         "3599.411 s)"},
        {"60", "30", std::nullopt, "--from 60 is not before --to 30"},
        {"30", "30", std::nullopt, "--from 30 is not before --to 30"},
        {"10:00:00", "09:30:00", std::nullopt, "--from 10:00:00 is not before --to 09:30:00"},
        {std::nullopt, "09:26:53", std::nullopt,
         "--to 09:26:53 is not after the recording's start"},
        {"-5", std::nullopt, std::nullopt,
         "--from takes seconds from the recording's start or a clock time HH:MM:SS, not '-5'"},
        {std::nullopt, "25:00:00", std::nullopt,
         "--to takes seconds from the recording's start or a clock time HH:MM:SS, not "
         "'25:00:00'"},
        {"1e3", std::nullopt, std::nullopt,
         "--from takes seconds from the recording's start or a clock time HH:MM:SS, not '1e3'"},
        {"12.5.3", std::nullopt, std::nullopt,
         "--from takes seconds from the recording's start or a clock time HH:MM:SS, not "
         "'12.5.3'"},
        {"", std::nullopt, std::nullopt,
         "--from takes seconds from the recording's start or a clock time HH:MM:SS, not ''"},
    };
    for (const auto& c : cases) {
        std::string error;
        const std::optional<TimeRange> got =
            terminal::plotRange(c.from, c.to, first, last, 60, error);
        const std::string which =
            std::string(c.from.value_or("-")) + " to " + std::string(c.to.value_or("-"));
        EXPECT_EQ(got, c.range) << which;
        EXPECT_EQ(error, c.error) << which;
    }
}

TEST(TrendView, TakesAClockTimeAfterMidnightOnTheNextDay) {
    const std::int64_t first = 1'741'996'790'000;  // 2025-03-14 23:59:50 UTC
    std::string error;
    const auto range = terminal::plotRange("00:00:05", "23:59:55", first, first + 60'000, 0, error);
    EXPECT_FALSE(range);
    EXPECT_EQ(error, "--from 00:00:05 is not before --to 23:59:55");
    EXPECT_EQ(terminal::rangeTime("00:00:05", first, 0), 1'741'996'805'000);
    EXPECT_EQ(terminal::rangeTime("23:59:55", first, 0), 1'741'996'795'000);
}

TEST(TrendExport, WritesTimesOnTheDataOwnClock) {
    const struct {
        std::int64_t utcMs;
        int offsetMinutes;
        const char* text;
    } cases[] = {
        {1'741'940'000'000, 60, "2025-03-14T09:13:20.000+01:00"},
        {1'741'940'000'589, -330, "2025-03-14T02:43:20.589-05:30"},
        {0, 0, "1970-01-01T00:00:00.000+00:00"},
        {1'741'996'799'999, 0, "2025-03-14T23:59:59.999+00:00"},
        {1'741'996'799'999, 1, "2025-03-15T00:00:59.999+00:01"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(terminal::recordingTimeText(c.utcMs, c.offsetMinutes), c.text) << c.text;
    }
}

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(TrendExport, TheVisibleRangeReadsBackAsTheSamePointsAndGaps) {
    const std::int64_t t = 1'741'940'000'000;  // 09:13:20 at UTC+01:00
    terminal::TrendHistory history;
    history.addReading(t + 1000, 40, 0);
    history.addReading(t + 2000, 50, 1u << 0);  // Parking lit
    history.addGap(t + 3000);
    history.addReading(t + 4000, 60, 0);
    history.addReading(t + 5000, 70, 0);
    const auto folder =
        std::filesystem::temp_directory_path() /
        ("trend-export-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         std::to_string(reinterpret_cast<std::uintptr_t>(&history)));
    std::filesystem::create_directories(folder);
    const auto path = folder / "visible.csv";

    std::string error;
    const auto rows = terminal::exportTrendCsv(history, {item("Parking"), item("Engine RPM [RPM]")},
                                               {t + 2000, t + 5000}, 60, path, error);
    ASSERT_TRUE(rows) << error;
    EXPECT_EQ(*rows, 4u);  // the reading after the gap comes with its identification row
    const std::string text = fileText(path);
    EXPECT_TRUE(
        text.starts_with("time,link,level,Engine RPM [RPM],Parking\r\n"
                         "2025-03-14T09:13:22.000+01:00,identified,50,"))
        << text;
    EXPECT_NE(text.find("\r\n2025-03-14T09:13:23.000+01:00,,,,\r\n"
                        "2025-03-14T09:13:24.000+01:00,identified,,,\r\n"
                        "2025-03-14T09:13:24.000+01:00,identified,60,"),
              std::string::npos)
        << text;

    const auto back = terminal::readRecording(path, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->utcOffsetMinutes(), 60);
    EXPECT_EQ(back->skippedRows(), 0u);
    EXPECT_EQ(back->items(),
              (std::vector<std::size_t>{item("level"), item("Engine RPM [RPM]"), item("Parking")}));
    ASSERT_EQ(back->size(), 4u);
    const std::int64_t times[] = {t + 2000, t + 3000, t + 4000, t + 4000};
    const bool linked[] = {true, false, true, true};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(back->time(i), times[i]) << i;
        EXPECT_EQ(back->linked(i), linked[i]) << i;
    }
    const std::optional<double> levels[] = {50, std::nullopt, 60, 60};
    const std::int64_t at[] = {t + 2500, t + 3500, t + 4500, t + 6000};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(terminal::readingAt(*back, item("level"), at[i]), levels[i]) << i;
    }
    EXPECT_EQ(terminal::readingAt(*back, item("Parking"), t + 2500), 1);
    EXPECT_EQ(terminal::readingAt(*back, item("Parking"), t + 4500), 0);
    // Every reading as the history has it, the gap a gap; the point at t + 5000 is not shown.
    const std::int64_t when[] = {t + 2500, t + 3500, t + 4500, t + 6000};
    for (const std::int64_t at : when) {
        for (const char* name : {"level", "Engine RPM [RPM]", "Parking"}) {
            const auto expected =
                terminal::readingAt(history, item(name), at == t + 6000 ? t + 4500 : at);
            EXPECT_EQ(terminal::readingAt(*back, item(name), at), expected)
                << name << " at +" << at - t;
        }
    }
    std::filesystem::remove_all(folder);

    // A folder that is not there: said so, nothing written.
    EXPECT_FALSE(terminal::exportTrendCsv(history, {}, {t, t + 1}, 60, folder / "none.csv", error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
