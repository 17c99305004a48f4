// Recordings read back for the Trends window and --plot: the CSV text, the time column, a
// recording as Tessaly writes it, one cut off, and files that are not recordings.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "terminal/recording/CsvParser.h"
#include "terminal/recording/CsvWriter.h"
#include "terminal/recording/DashboardExport.h"
#include "terminal/recording/TimeText.h"
#include "terminal/trends/Recording.h"
#include "terminal/trends/TrendItems.h"

namespace {

std::vector<std::vector<std::string>> parseCsv(const std::string& text, std::size_t piece) {
    std::vector<std::vector<std::string>> rows;
    terminal::CsvParser parser([&](const terminal::CsvParser::Row& row) { rows.push_back(row); });
    for (std::size_t at = 0; at < text.size(); at += piece) {
        parser.feed(std::string_view(text).substr(at, piece));
    }
    parser.finish();
    return rows;
}

std::optional<terminal::Recording> parseRecording(const std::string& text, std::string& error) {
    terminal::RecordingParser parser;
    parser.feed(text);
    return parser.finish(error);
}

std::size_t item(const char* name) {
    return terminal::trendItemIndex(name).value();
}

using Rows = std::vector<std::vector<std::string>>;

TEST(RecordingCsv, ReadsWhatTheWriterWritesInAnyPieces) {
    const struct {
        const char* text;
        Rows rows;
    } cases[] = {
        {"a,b,c\r\n1,,3\r\n", {{"a", "b", "c"}, {"1", "", "3"}}},
        {"a,b\n1,2", {{"a", "b"}, {"1", "2"}}},  // LF only, no line end at the end
        {"\"1,5\",\"say \"\"hi\"\"\"\r\n", {{"1,5", "say \"hi\""}}},
        {"\" 110     0      1     0\r\n   0     0      0     0\"\r\n",
         {{" 110     0      1     0\r\n   0     0      0     0"}}},
        {"x,\"open quote never closed\r\n", {}},  // dropped: cut inside a quoted field
        {"a\"b,\"c\"d\r\n", {{"a\"b", "cd"}}},    // stray quotes kept as they stand
        {"\r\n", {{""}}},
    };
    for (const auto& c : cases) {
        for (std::size_t piece : {1u, 2u, 3u, 1000u}) {
            EXPECT_EQ(parseCsv(c.text, piece), c.rows) << c.text << " in pieces of " << piece;
        }
    }
    // And back: a row as the writer quotes it reads as the fields it was given.
    const std::vector<std::string> fields{"1,5", "\"q\"", "two\r\nlines", "", "plain"};
    EXPECT_EQ(parseCsv(terminal::csvRow(fields), 1), Rows{fields});
}

TEST(RecordingCsv, DropsARowLongerThanItsLimitWhole) {
    const std::string text = "a,b\r\n\"" + std::string(70000, 'x') + "\",2\r\nc,d\r\n";
    std::vector<std::vector<std::string>> rows;
    terminal::CsvParser parser([&](const terminal::CsvParser::Row& row) { rows.push_back(row); });
    parser.feed(text);
    parser.finish();
    EXPECT_EQ(rows, (Rows{{"a", "b"}, {"c", "d"}}));
    EXPECT_EQ(parser.droppedRows(), 1u);
}

TEST(RecordingTime, ReadsTheTimeColumnBackToUtc) {
    const struct {
        const char* text;
        std::optional<std::int64_t> utcMs;
        int offsetMinutes;
    } cases[] = {
        {"2025-03-14T09:26:53.589+01:00", 1741940813589, 60},
        {"2024-02-29T23:59:59.5-05:30", 1709270999500, -330},
        {"2025-01-01 00:00:00+0000", 1735689600000, 0},
        {"1999-12-31T23:59:60Z", 946684800000, 0},  // a leap second reads as the next one
        {"2025-03-14T09:26:53.123456+01:00", 1741940813123, 60},
        {"2023-02-29T00:00:00+00:00", std::nullopt, 0},
        {"2025-13-01T00:00:00+00:00", std::nullopt, 0},
        {"2025-03-14T24:00:00+00:00", std::nullopt, 0},
        {"2025-03-14T09:26:53", std::nullopt, 0},  // no offset: not the recording's format
        {"2025-03-14T09:26:53.+01:00", std::nullopt, 0},
        {"2025-03-14T09:26:53+01:00 ", std::nullopt, 0},
        {"", std::nullopt, 0},
    };
    for (const auto& c : cases) {
        const auto stamp = terminal::parseTimeText(c.text);
        ASSERT_EQ(stamp.has_value(), c.utcMs.has_value()) << c.text;
        if (stamp) {
            EXPECT_EQ(stamp->utcMs, *c.utcMs) << c.text;
            EXPECT_EQ(stamp->offsetMinutes, c.offsetMinutes) << c.text;
        }
    }
}

// Rows as the recorder writes them: the connect and the identification written before empty
// cells were the rule (the reset's level-0 values), a status line at level 50, the loss
// written the old way (the last values) and a reconnect written the new way (empty cells).
std::string sessionRecording() {
    std::string text = terminal::csvRow(terminal::dashboardCsvHeader());
    terminal::VehicleSnapshot shown;
    auto row = [&](const char* time, terminal::LinkState link) {
        shown.link = link;
        shown.readings = true;  // an older recorder wrote the values on every row
        text += terminal::csvRow(terminal::dashboardCsvRow(time, shown));
    };
    // The reset's look: level 0 without an identification in force.
    shown.record = terminal::statusRecord(0, {}, 0);
    row("2025-03-14T09:26:52.100+01:00", terminal::LinkState::connecting);
    row("2025-03-14T09:26:52.200+01:00", terminal::LinkState::identified);
    shown.level = 50;
    shown.record = terminal::statusRecord(50, {false, false, true, false}, 2);
    row("2025-03-14T09:26:53.589+01:00", terminal::LinkState::identified);
    row("2025-03-14T09:26:54.000+01:00", terminal::LinkState::lost);
    std::vector<std::string> empty(terminal::dashboardCsvHeader().size());
    empty[0] = "2025-03-14T09:26:55.250+01:00";
    empty[1] = "connecting";
    text += terminal::csvRow(empty);
    return text;
}

TEST(RecordingReader, ReadsARecordingWithItsGaps) {
    std::string error;
    const auto recording = parseRecording(sessionRecording(), error);
    ASSERT_TRUE(recording) << error;
    ASSERT_EQ(recording->size(), 5u);
    EXPECT_EQ(recording->skippedRows(), 0u);
    EXPECT_EQ(recording->utcOffsetMinutes(), 60);
    EXPECT_EQ(recording->time(2), 1741940813589);
    EXPECT_EQ(recording->time(4), 1741940815250);
    EXPECT_EQ(recording->items().size(), 55u);

    const std::size_t rpm = item("Engine RPM [RPM]");
    EXPECT_EQ(recording->value(2, rpm), 4015.875);
    EXPECT_EQ(recording->value(2, item("Engine Coolant Temp (F) [F]")), 185);
    EXPECT_EQ(recording->value(2, item("level")), 50);
    EXPECT_EQ(recording->value(2, item("Cruise")), 1);
    EXPECT_EQ(recording->value(2, item("Parking")), 0);
    const bool linked[] = {false, true, true, false, false};
    for (std::size_t row = 0; row < 5; ++row) {
        EXPECT_EQ(recording->linked(row), linked[row]) << row;
        if (row == 2) {
            continue;
        }
        // Not a reading: neither the old file's reset values nor the new file's empty cells.
        for (std::size_t i = 0; i < 55; ++i) {
            EXPECT_TRUE(std::isnan(recording->value(row, i))) << row << " " << i;
        }
    }
}

TEST(RecordingReader, LeavesOutWhatWasCutOffAndRowsThatDoNotFit) {
    const std::string whole = sessionRecording();
    const std::size_t lastRow = whole.rfind("2025-03-14T09:26:55");
    const struct {
        const char* what;
        std::string text;
        std::size_t rows;
        std::size_t skipped;
    } cases[] = {
        {"cut inside the last row's values", whole.substr(0, lastRow + 40), 4, 1},
        {"cut inside the status row's trouble codes", whole.substr(0, whole.find("110:0:1:0") + 4),
         2, 1},
        {"a row with one field too many",
         whole + "2025-03-14T09:27:00.000+01:00,x" + std::string(60, ',') + "\r\n", 5, 1},
        {"a row without a readable time", whole + "yesterday" + std::string(60, ',') + "\r\n", 5,
         1},
        {"the header alone", whole.substr(0, whole.find("\r\n") + 2), 0, 0},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto recording = parseRecording(c.text, error);
        ASSERT_TRUE(recording) << c.what << ": " << error;
        EXPECT_EQ(recording->size(), c.rows) << c.what;
        EXPECT_EQ(recording->skippedRows(), c.skipped) << c.what;
        EXPECT_TRUE(recording->has(item("Engine RPM [RPM]"))) << c.what;
    }
}

TEST(RecordingReader, RefusesFilesThatAreNotRecordings) {
    const struct {
        const char* what;
        std::string text;
        const char* error;
    } cases[] = {
        {"an empty file", "", "is empty"},
        {"another program's CSV", "time,value\r\n1,2\r\n",
         "is not a recording by Tessaly (its first line is not the header time,link,level,...)"},
        {"a spreadsheet's columns", "a,b,c\r\n1,2,3\r\n",
         "is not a recording by Tessaly (its first line is not the header time,link,level,...)"},
        {"a line log", "0.962 tx AT ID?\n0.981 rx ACK ID00042E10001072\n",
         "is not a recording by Tessaly (its first line is not the header time,link,level,...)"},
        {"binary bytes", std::string("\x89PNG\r\n\x1a\n\0\0", 10),
         "is not a recording by Tessaly (its first line is not the header time,link,level,...)"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(parseRecording(c.text, error)) << c.what;
        EXPECT_EQ(error, c.error) << c.what;
    }
    // A recording saved again by a spreadsheet, with a byte-order mark and fewer columns.
    std::string error;
    const auto trimmed = parseRecording(
        "\xEF\xBB\xBFtime,link,level,Engine RPM [RPM],Comment\r\n"
        "2025-03-14T09:26:53.589+01:00,identified,50,4015.875,warm\r\n",
        error);
    ASSERT_TRUE(trimmed) << error;
    EXPECT_EQ(trimmed->items(), (std::vector<std::size_t>{0, item("Engine RPM [RPM]")}));
    EXPECT_EQ(trimmed->value(0, item("Engine RPM [RPM]")), 4015.875);
    EXPECT_TRUE(std::isnan(trimmed->value(0, item("Speed (MPH) [MPH]"))));
}

TEST(RecordingReader, ACellThatIsNoFiniteNumberIsAGap) {
    std::string error;
    const auto recording = parseRecording(
        "time,link,level,Engine RPM [RPM]\r\n"
        "2025-03-14T09:26:53.589+01:00,identified,50,inf\r\n"
        "2025-03-14T09:26:53.789+01:00,identified,50,-inf\r\n"
        "2025-03-14T09:26:53.989+01:00,identified,50,nan\r\n"
        "2025-03-14T09:26:54.189+01:00,identified,50,12abc\r\n"
        "2025-03-14T09:26:54.389+01:00,identified,50,1e999\r\n"
        "2025-03-14T09:26:54.589+01:00,identified,50,812.5\r\n",
        error);
    ASSERT_TRUE(recording) << error;
    ASSERT_EQ(recording->size(), 6u);
    for (std::size_t row = 0; row < 5; ++row) {
        EXPECT_TRUE(std::isnan(recording->value(row, item("Engine RPM [RPM]")))) << row;
    }
    EXPECT_EQ(recording->value(5, item("Engine RPM [RPM]")), 812.5);
}

TEST(RecordingReader, ReportsAFileThatCannotBeRead) {
    std::string error;
    EXPECT_FALSE(terminal::readRecording("/nonexistent-folder/run.csv", error));
    EXPECT_EQ(error, "cannot be read: No such file or directory");
    EXPECT_FALSE(terminal::readRecording("/", error));
    EXPECT_EQ(error, "is a folder, not a recording");
}

}  // namespace
