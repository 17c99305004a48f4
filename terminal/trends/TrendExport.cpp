#include "terminal/trends/TrendExport.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "terminal/protocol/LinkState.h"
#include "terminal/recording/CsvWriter.h"
#include "terminal/recording/DashboardExport.h"
#include "terminal/recording/ExportNumber.h"
#include "terminal/trends/TrendItems.h"

namespace terminal {

namespace {

// The header's columns kept, each with its item (nothing for time and link).
std::vector<std::pair<std::string, std::optional<std::size_t>>> exportColumns(
    const std::vector<std::size_t>& items) {
    std::vector<std::pair<std::string, std::optional<std::size_t>>> columns;
    const std::vector<std::string> header = dashboardCsvHeader();
    for (std::size_t field = 0; field < header.size(); ++field) {
        const std::optional<std::size_t> item = trendItemIndex(header[field]);
        if (field < 2) {
            columns.emplace_back(header[field], std::nullopt);
        } else if (item && (trendItems()[*item].kind == TrendItemKind::level ||
                            std::find(items.begin(), items.end(), *item) != items.end())) {
            columns.emplace_back(header[field], item);
        }
    }
    return columns;
}

}  // namespace

std::vector<std::string> trendCsvHeader(const std::vector<std::size_t>& items) {
    std::vector<std::string> header;
    for (const auto& column : exportColumns(items)) {
        header.push_back(column.first);
    }
    return header;
}

std::string recordingTimeText(std::int64_t utcMs, int utcOffsetMinutes) {
    using namespace std::chrono;
    const sys_time<milliseconds> local{milliseconds(utcMs + utcOffsetMinutes * 60000LL)};
    const sys_days day = floor<days>(local);
    const year_month_day date{day};
    const hh_mm_ss clock{local - day};
    const int offset = std::abs(utcOffsetMinutes);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03d%c%02d:%02d",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(clock.hours().count()),
                  static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()),
                  static_cast<int>(clock.subseconds().count()), utcOffsetMinutes < 0 ? '-' : '+',
                  offset / 60, offset % 60);
    return text;
}

std::optional<std::size_t> exportTrendCsv(const TrendData& data,
                                          const std::vector<std::size_t>& items, TimeRange range,
                                          int utcOffsetMinutes, const std::filesystem::path& path,
                                          std::string& error) {
    const auto columns = exportColumns(items);
    CsvWriter csv;
    std::vector<std::string> header;
    for (const auto& column : columns) {
        header.push_back(column.first);
    }
    if (!csv.open(path) || !csv.writeRow(header)) {
        error = csv.error();
        return std::nullopt;
    }
    const std::string identified(linkStateName(LinkState::identified));
    const IndexRange points = pointsIn(data, range);
    std::size_t rows = 0;
    bool previousLinked = true;
    std::vector<std::string> row(columns.size());
    for (std::size_t index = points.first; index < points.end; ++index) {
        const bool linked = data.linked(index);
        std::fill(row.begin(), row.end(), std::string());
        row[0] = recordingTimeText(data.time(index), utcOffsetMinutes);
        if (linked && !previousLinked) {
            // A reader takes the row of the identification itself for no reading: one is
            // written, so the reading after a gap stays a reading.
            row[1] = identified;
            if (!csv.writeRow(row)) {
                error = csv.error();
                return std::nullopt;
            }
            ++rows;
        }
        previousLinked = linked;
        row[1] = linked ? identified : std::string();
        for (std::size_t field = 2; linked && field < columns.size(); ++field) {
            const double value = data.value(index, *columns[field].second);
            row[field] = std::isnan(value) ? std::string() : exportNumber(value);
        }
        if (!csv.writeRow(row)) {
            error = csv.error();
            return std::nullopt;
        }
        ++rows;
    }
    csv.close();
    return rows;
}

}  // namespace terminal
