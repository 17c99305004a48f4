#pragma once
// "Export visible range…": the points of the shown values in a time range written as a
// recording, so the Trends window's Open recording and --plot read them back. The columns are
// the recording's own (its header cut to time, link, level and the values asked for, in the
// header's order); the times are of the data's own clock. Where the link was not identified
// the link cell is left empty and so is every value: the history keeps no more than that.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "terminal/trends/TrendData.h"
#include "terminal/trends/TrendView.h"

namespace terminal {

// The header of an export of `items` (indexes into trendItems()).
std::vector<std::string> trendCsvHeader(const std::vector<std::size_t>& items);

// ISO 8601 as the recording writes it, at a given offset: "2025-03-14T09:26:53.589+01:00".
std::string recordingTimeText(std::int64_t utcMs, int utcOffsetMinutes);

// Writes the points of `data` in `range`; the number of rows written, or nothing with the
// reason in `error`.
std::optional<std::size_t> exportTrendCsv(const TrendData& data,
                                          const std::vector<std::size_t>& items, TimeRange range,
                                          int utcOffsetMinutes, const std::filesystem::path& path,
                                          std::string& error);

}  // namespace terminal
