#pragma once
// Points in time as the Trends window draws them, from the live history or a recording. At
// each point the link was identified (each value a reading, or unknown) or not (a gap: no
// reading of anything until the next point that has one).

#include <cstddef>
#include <cstdint>
#include <optional>

namespace terminal {

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
};

// The first point at or after `when`; size() when there is none.
std::size_t firstAtOrAfter(const TrendData& data, std::int64_t when);

// The reading shown at `when`: that of the last point at or before it, unless that point has
// none (a gap) or there is no such point.
std::optional<double> readingAt(const TrendData& data, std::size_t item, std::int64_t when);

}  // namespace terminal
