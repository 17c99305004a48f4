#pragma once
// The arithmetic of measuring in the Trends window and --plot: the time range a view may show
// (zoomed about a point, panned, zoomed to a dragged stretch, always within the times held),
// the readings at two cursors and their differences, and the --from/--to of a plot.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "terminal/trends/TrendData.h"

namespace terminal {

// Times shown, milliseconds since 1970 UTC: [from, to).
struct TimeRange {
    std::int64_t from = 0;
    std::int64_t to = 1;
    std::int64_t span() const { return to - from; }
    bool operator==(const TimeRange&) const = default;
};

// Where a view may go: no earlier than `first`, no later than `last`, and no shorter than
// `shortest` (a tenth of a second: the finest step the time axis labels).
struct ViewLimits {
    std::int64_t first = 0;
    std::int64_t last = 1;
    std::int64_t shortest = 100;
};

// The range moved and shortened as little as needed to lie within the limits.
TimeRange clampRange(TimeRange range, const ViewLimits& limits);
// Zoomed by `factor` (below 1 in, above 1 out) so the time `anchor` keeps its place.
TimeRange zoomAbout(TimeRange range, std::int64_t anchor, double factor, const ViewLimits& limits);
// Moved later by `shift` (earlier when negative), its span kept.
TimeRange panBy(TimeRange range, std::int64_t shift, const ViewLimits& limits);
// The stretch between two times, in either order.
TimeRange zoomTo(std::int64_t one, std::int64_t other, const ViewLimits& limits);

// Two cursors on one value: the reading at each (none in a gap or before the first point)
// and B's minus A's where both have one.
struct CursorReadings {
    std::optional<double> a;
    std::optional<double> b;
    std::optional<double> delta;
};
CursorReadings cursorReadings(const TrendData& data, std::size_t item,
                              std::optional<std::int64_t> a, std::optional<std::int64_t> b);
// B's time minus A's, in milliseconds, when both are set.
std::optional<std::int64_t> cursorSpan(std::optional<std::int64_t> a,
                                       std::optional<std::int64_t> b);

// A --from or --to: seconds from the recording's start ("12", "90.5") or a clock time of the
// recording's own clock ("09:27:05", "09:27:05.250"), the first such time at or after the
// start's second (a recording that runs past midnight reaches the next day's). Nothing when
// the text is neither.
std::optional<std::int64_t> rangeTime(std::string_view text, std::int64_t start,
                                      int utcOffsetMinutes);

// The range --plot draws for a recording whose rows run from `first` to `last`: all of it, or
// what --from and --to choose. Nothing, with the reason in `error`, for a text that is no
// time, a time outside the recording, or a --from not before its --to.
std::optional<TimeRange> plotRange(std::optional<std::string_view> fromText,
                                   std::optional<std::string_view> toText, std::int64_t first,
                                   std::int64_t last, int utcOffsetMinutes, std::string& error);

// The points of `data` shown in `range`: indexes [first, end).
struct IndexRange {
    std::size_t first = 0;
    std::size_t end = 0;
    bool operator==(const IndexRange&) const = default;
};
IndexRange pointsIn(const TrendData& data, TimeRange range);

}  // namespace terminal
