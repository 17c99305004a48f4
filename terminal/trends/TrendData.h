#pragma once
// Points in time as the Trends window draws them, from the live history or a recording. At
// each point the link was identified (each value a reading, or unknown) or not (a gap: no
// reading of anything until the next point that has one).

#include <cstddef>
#include <cstdint>
#include <optional>

namespace terminal {

// One point as the reduction takes it.
struct TrendPoint {
    std::int64_t time;
    double value;  // NaN: no reading
    bool linked;
    // The cell held something that is no reading of the value (not a number, or outside
    // the value's range): no reading, but shown as left out.
    bool leftOut = false;
};

class TrendData {
public:
    virtual ~TrendData() = default;

    virtual std::size_t size() const = 0;
    // Milliseconds since 1970-01-01 UTC; never decreasing with the index.
    virtual std::int64_t time(std::size_t index) const = 0;
    // False where the link was not identified.
    virtual bool linked(std::size_t index) const = 0;
    // The value of `item` (an index into trendItems()); NaN where there is no reading.
    virtual double value(std::size_t index, std::size_t item) const = 0;
    // Changes whenever a point comes or goes; data that never changes keeps 0.
    virtual std::uint64_t revision() const { return 0; }
    // Points [first, first + count) of one value at once, for drawing many of them; asks
    // point by point unless the data knows a quicker way.
    virtual void read(std::size_t first, std::size_t count, std::size_t item,
                      TrendPoint* out) const;
};

// The first point at or after `when`; size() when there is none.
std::size_t firstAtOrAfter(const TrendData& data, std::int64_t when);

// The reading shown at `when`: that of the last point at or before it, unless that point has
// none (a gap) or there is no such point.
std::optional<double> readingAt(const TrendData& data, std::size_t item, std::int64_t when);

}  // namespace terminal
