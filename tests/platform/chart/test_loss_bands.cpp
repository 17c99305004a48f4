// Where a loss of the link is drawn: a loss too short to see at the span is widened to three
// pixels about its middle, a long one covers its own columns; and the axis labels that fit.
#include <gtest/gtest.h>

#include "platform/chart/AxisTicks.h"
#include "platform/chart/LossBands.h"

namespace {

using platform::LossBand;

constexpr std::int64_t hour = 3'600'000;

TEST(LossBands, AShortLossIsWidenedToThreePixelsAtItsMiddle) {
    const struct {
        const char* what;
        std::int64_t lossFrom, lossTo, from, to;
        int columns, minimum;
        std::optional<LossBand> band;
    } cases[] = {
        // An hour at 1600 px: 2.25 s a pixel.
        {"2 s of an hour", 600'000, 602'000, 0, hour, 1600, 3, LossBand{266, 269, true}},
        {"5 s of an hour", 1'800'000, 1'805'000, 0, hour, 1600, 3, LossBand{800, 803, true}},
        {"15 s of an hour", 3'000'000, 3'015'000, 0, hour, 1600, 3, LossBand{1333, 1341, false}},
        {"2 s of a minute", 600'000, 602'000, 570'000, 630'000, 1600, 3, LossBand{800, 854, false}},
        {"15 s of 48 hours", 108'000'000, 108'015'000, 0, 48 * hour, 1600, 3,
         LossBand{999, 1002, true}},
        {"5 s of 48 hours", 1'800'000, 1'805'000, 0, 48 * hour, 1600, 3, LossBand{15, 18, true}},
        {"2 s of an hour at twice the pixels", 600'000, 602'000, 0, hour, 3200, 6,
         LossBand{531, 537, true}},
        // Widened at an edge: kept within the axis.
        {"begun before the range", -5'000, 1'000, 0, hour, 1600, 3, LossBand{0, 3, true}},
        {"running to the right edge", 3'599'000, hour, 0, hour, 1600, 3,
         LossBand{1597, 1600, true}},
        {"a long one past both edges", -hour, 2 * hour, 0, hour, 1600, 3, LossBand{0, 1600, false}},
        {"ended before the range", 0, 1'000, 5'000, 10'000, 1600, 3, std::nullopt},
        {"ended as the range begins", 0, 5'000, 5'000, 10'000, 1600, 3, std::nullopt},
        {"begins at the range's end", 10'000, 12'000, 5'000, 10'000, 1600, 3, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::lossBand({c.lossFrom, c.lossTo}, c.from, c.to, c.columns, c.minimum),
                  c.band)
            << c.what;
    }
}

TEST(AxisLabels, ThoseThatWouldOverlapOrPassAnEndAreLeftOut) {
    using Labels = std::vector<platform::AxisLabel>;
    const struct {
        const char* what;
        Labels labels;
        std::vector<std::size_t> kept;
    } cases[] = {
        {"room for all", {{0, 40}, {100, 40}, {200, 40}}, {0, 1, 2}},
        {"a new day's date before the first label's",
         {{0, 100, 1}, {60, 100, 0}, {200, 40}},
         {1, 2}},
        {"every other one fits", {{0, 60}, {50, 60}, {100, 60}, {150, 60}}, {0, 2}},
        {"too close by the gap alone", {{0, 40}, {44, 40}}, {0}},
        {"a date placed first", {{0, 60}, {50, 60, 0}, {100, 60}}, {1}},
        {"two dates, the times between where they fit",
         {{0, 100, 0}, {80, 40}, {130, 40}, {200, 100, 0}},
         {0, 1, 3}},
        {"cut by the right end", {{900, 40}, {990, 40}}, {0}},
        {"cut by the left end", {{-90, 40}, {0, 40}}, {1}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::labelsThatFit(c.labels, -100, 1000, 5), c.kept) << c.what;
    }
}

}  // namespace
