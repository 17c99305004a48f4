#pragma once
// A CSV recording written by `Tessaly --record` (or Record to CSV), read back for the Trends
// window and `--plot`: one point per row, the values of every numeric column it has. A row
// whose link is not "identified" is a gap, whatever its cells say (recordings made before
// such rows were left empty hold the reset's values there), and so is the row of the
// identification, written before any status line; an empty cell is a gap in its value only. Rows
// that do not fit the header (a row cut off when the program was killed) and rows without a
// readable time are left out and counted. A cell that holds no reading of its value (not a
// finite number, or outside the value's range) is no reading either, and is kept as left out,
// so a plot can mark it. Rows out of time order (the clock set back while recording) are put
// in time order, and counted.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "terminal/recording/CsvParser.h"
#include "terminal/trends/TrendData.h"

namespace terminal {

class Recording : public TrendData {
public:
    std::size_t size() const override { return times_.size(); }
    std::int64_t time(std::size_t index) const override { return times_[index]; }
    bool linked(std::size_t index) const override { return linked_[index] != 0; }
    double value(std::size_t index, std::size_t item) const override;
    void read(std::size_t first, std::size_t count, std::size_t item,
              TrendPoint* out) const override;

    // Whether the file has a column for the item; the items it has, in trendItems() order.
    bool has(std::size_t item) const;
    std::vector<std::size_t> items() const;
    // The values plotted when none are named (defaultTrendItems()) that the file has.
    std::vector<std::size_t> defaultItems() const;
    // The offset from UTC of the first row's time: the recording's own clock.
    int utcOffsetMinutes() const { return utcOffsetMinutes_; }
    // Rows left out: cut off, not fitting the header, or without a readable time.
    std::size_t skippedRows() const { return skippedRows_; }
    // The header's column names, as the file spells them.
    const std::vector<std::string>& columnNames() const { return columnNames_; }
    // Whether the cell of `item` at `index` held something that is no reading of it.
    bool leftOut(std::size_t index, std::size_t item) const;

    // Rows whose time was earlier than a row before them, now in time order; the first of
    // them (its row in the file, the header being row 1), its time and the latest before it.
    struct Disorder {
        std::size_t rows = 0;
        std::size_t firstRow = 0;
        std::int64_t firstTime = 0;
        std::int64_t latestBefore = 0;
    };
    const Disorder& disorder() const { return disorder_; }

private:
    friend class RecordingParser;

    std::vector<std::int64_t> times_;
    std::vector<std::uint8_t> linked_;
    std::vector<std::vector<float>> columns_;  // per trend item; infinity: left out
    std::vector<bool> present_;                // per trend item: the file has its column
    std::vector<std::string> columnNames_;
    int utcOffsetMinutes_ = 0;
    std::size_t skippedRows_ = 0;
    Disorder disorder_;
};

// Takes a recording's text piece by piece.
class RecordingParser {
public:
    RecordingParser();
    void feed(std::string_view text) { csv_.feed(text); }
    // The recording, or nothing with the reason in `error` ("is not a recording by
    // Tessaly: ...").
    std::optional<Recording> finish(std::string& error);

private:
    void row(const CsvParser::Row& fields);
    void header(const CsvParser::Row& fields);
    void putInTimeOrder();

    CsvParser csv_;
    Recording recording_;
    bool headerSeen_ = false;
    bool isRecording_ = false;
    bool previousLinked_ = true;  // a recording started mid-session begins with a reading
    std::size_t fieldCount_ = 0;
    std::size_t rowsSeen_ = 0;
    std::int64_t latest_ = 0;  // the latest time of the rows so far
    std::vector<std::pair<std::size_t, std::size_t>> columnItems_;  // (field, item)
};

// Reads the whole file; on failure nothing, with the reason (without the file's name).
std::optional<Recording> readRecording(const std::filesystem::path& path, std::string& error);

}  // namespace terminal
