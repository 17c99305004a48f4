#pragma once
// Where the labels of a plot's axes go: round values for the value axis, a whole number of
// seconds, minutes, hours or days between the labels of a time axis.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct AxisScale {
    double low = 0;  // the axis' ends, whole steps both
    double high = 1;
    double step = 1;   // 1, 2, 2.5 or 5 times a power of ten
    int decimals = 0;  // enough to tell the labels apart
};

// The smallest round axis covering [low, high] in at most `maxSteps` steps. A flat range
// (one value) is widened around the value, so the line stands in the middle, not on an edge.
AxisScale niceScale(double low, double high, int maxSteps);

// The shortest of 0.1 s ... 1 s, 2 s, 5 s, 10 s, 15 s, 30 s, 1 min ... 1 h ... 1 day, 1 week
// that puts labels at least `minSpacing` pixels apart on an axis `pixels` wide showing
// `spanMs` milliseconds.
std::int64_t timeStep(std::int64_t spanMs, double pixels, double minSpacing);

// A label of a time axis in seconds from the start, `ms` after it: "0", "90", "12.5" (a
// decimal where the labels are less than a second apart).
std::string secondsLabel(std::int64_t ms, std::int64_t step);

// A label along an axis: where its middle stands and how much room it takes, in pixels.
struct AxisLabel {
    int middle = 0;
    int size = 0;
    int rank = 2;  // lower ranks placed first (a date where the day changes: 0)
};

// The labels (their indexes, in order along the axis) drawn so that none overlaps another
// or passes the axis' ends [low, high], with at least `gap` pixels between two: rank by rank,
// in order along the axis within a rank, each where it fits.
std::vector<std::size_t> labelsThatFit(const std::vector<AxisLabel>& labels, int low, int high,
                                       int gap);

}  // namespace platform
