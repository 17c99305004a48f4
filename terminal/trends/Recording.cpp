#include "terminal/trends/Recording.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <numeric>

#include "terminal/recording/ExportNames.h"
#include "terminal/recording/TimeText.h"
#include "terminal/trends/TrendItems.h"

namespace terminal {

namespace {

constexpr const char* notARecording =
    "is not a recording by Tessaly (its first line is not the header time,link,level,...)";

// Stored for a cell that holds no reading of its value.
constexpr float leftOutCell = HUGE_VALF;

// A number cell: NaN for an empty cell; leftOutCell for anything that is not a reading of
// the item (no finite number, or outside its range).
float cellValue(std::string_view cell, std::size_t item) {
    cell = withoutPadding(cell);
    if (cell.empty()) {
        return std::nanf("");
    }
    double value = 0;
    const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
    if (error != std::errc() || end != cell.data() + cell.size() || !withinRange(item, value)) {
        return leftOutCell;
    }
    return static_cast<float>(value);
}

double readingOf(float cell) {
    return cell == leftOutCell ? std::nan("") : cell;
}

}  // namespace

double Recording::value(std::size_t index, std::size_t item) const {
    if (!has(item)) {
        return std::nan("");
    }
    return readingOf(columns_[item][index]);
}

bool Recording::leftOut(std::size_t index, std::size_t item) const {
    return has(item) && columns_[item][index] == leftOutCell;
}

void Recording::read(std::size_t first, std::size_t count, std::size_t item,
                     TrendPoint* out) const {
    const std::vector<float>* column = has(item) ? &columns_[item] : nullptr;
    for (std::size_t i = first; i < first + count; ++i, ++out) {
        const float cell = column ? (*column)[i] : std::nanf("");
        *out = {times_[i], readingOf(cell), linked_[i] != 0, cell == leftOutCell};
    }
}

bool Recording::has(std::size_t item) const {
    return item < present_.size() && present_[item];
}

std::vector<std::size_t> Recording::defaultItems() const {
    std::vector<std::size_t> shown;
    for (const std::size_t item : defaultTrendItems()) {
        if (has(item)) {
            shown.push_back(item);
        }
    }
    return shown;
}

std::vector<std::size_t> Recording::items() const {
    std::vector<std::size_t> present;
    for (std::size_t item = 0; item < columns_.size(); ++item) {
        if (has(item)) {
            present.push_back(item);
        }
    }
    return present;
}

RecordingParser::RecordingParser() : csv_([this](const CsvParser::Row& fields) { row(fields); }) {
    recording_.columns_.resize(trendItems().size());
    recording_.present_.resize(trendItems().size());
}

void RecordingParser::header(const CsvParser::Row& fields) {
    headerSeen_ = true;
    fieldCount_ = fields.size();
    // A spreadsheet that saved the file again may have put a byte-order mark first.
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    std::string_view first = fields.empty() ? std::string_view() : fields[0];
    if (first.starts_with(byteOrderMark)) {
        first.remove_prefix(byteOrderMark.size());
    }
    recording_.columnNames_ = fields;
    if (!fields.empty()) {
        recording_.columnNames_[0] = std::string(first);
    }
    if (fields.size() < 3 || first != "time" || fields[1] != "link" || fields[2] != "level") {
        return;
    }
    for (std::size_t field = 2; field < fields.size(); ++field) {
        const std::optional<std::size_t> item = trendItemIndex(fields[field]);
        if (item && !recording_.present_[*item]) {
            recording_.present_[*item] = true;
            columnItems_.emplace_back(field, *item);
        }
    }
    isRecording_ = true;
}

void RecordingParser::row(const CsvParser::Row& fields) {
    ++rowsSeen_;
    if (!headerSeen_) {
        header(fields);
        return;
    }
    if (!isRecording_) {
        return;
    }
    const std::optional<TimeStamp> stamp =
        fields.size() == fieldCount_ ? parseTimeText(fields[0]) : std::nullopt;
    if (!stamp) {
        ++recording_.skippedRows_;
        return;
    }
    std::vector<std::int64_t>& times = recording_.times_;
    if (times.empty()) {
        recording_.utcOffsetMinutes_ = stamp->offsetMinutes;
    }
    // The clock set back while recording: counted here, put in time order at the end.
    if (!times.empty() && stamp->utcMs < latest_) {
        Recording::Disorder& disorder = recording_.disorder_;
        if (disorder.rows++ == 0) {
            disorder.firstRow = rowsSeen_;
            disorder.firstTime = stamp->utcMs;
            disorder.latestBefore = latest_;
        }
    }
    latest_ = times.empty() ? stamp->utcMs : std::max(latest_, stamp->utcMs);
    times.push_back(stamp->utcMs);
    const bool linked = fields[1] == "identified";
    // The row of the identification itself comes before any status line: older recordings
    // hold the reset's values there, not readings.
    const bool reading = linked && previousLinked_;
    previousLinked_ = linked;
    recording_.linked_.push_back(linked ? 1 : 0);
    for (const auto& [field, item] : columnItems_) {
        recording_.columns_[item].push_back(reading ? cellValue(fields[field], item)
                                                    : std::nanf(""));
    }
}

std::optional<Recording> RecordingParser::finish(std::string& error) {
    csv_.finish();
    if (!headerSeen_) {
        error = "is empty";
        return std::nullopt;
    }
    if (!isRecording_) {
        error = notARecording;
        return std::nullopt;
    }
    recording_.skippedRows_ += csv_.droppedRows();
    if (recording_.disorder_.rows > 0) {
        putInTimeOrder();
    }
    return std::move(recording_);
}

void RecordingParser::putInTimeOrder() {
    std::vector<std::size_t> order(recording_.times_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    // Stable: rows of one time keep the order they were written in.
    std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        return recording_.times_[a] < recording_.times_[b];
    });
    const auto reorder = [&order](auto& values) {
        auto sorted = values;
        for (std::size_t i = 0; i < order.size(); ++i) {
            sorted[i] = values[order[i]];
        }
        values = std::move(sorted);
    };
    reorder(recording_.times_);
    reorder(recording_.linked_);
    for (std::vector<float>& column : recording_.columns_) {
        if (column.size() == order.size()) {
            reorder(column);
        }
    }
}

std::optional<Recording> readRecording(const std::filesystem::path& path, std::string& error) {
    std::error_code kind;
    if (std::filesystem::is_directory(path, kind)) {
        error = "is a folder, not a recording";
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = std::string("cannot be read: ") + std::strerror(errno);
        return std::nullopt;
    }
    RecordingParser parser;
    std::string buffer(1 << 16, '\0');
    while (file) {
        file.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        parser.feed(std::string_view(buffer.data(), static_cast<std::size_t>(file.gcount())));
    }
    if (file.bad()) {
        error = std::string("cannot be read: ") + std::strerror(errno);
        return std::nullopt;
    }
    return parser.finish(error);
}

}  // namespace terminal
