// Where a trend plot puts its labels: round value axes around the data, a flat line in the
// middle of its axis, and time labels a readable distance apart.
#include <gtest/gtest.h>

#include "platform/chart/AxisTicks.h"

namespace {

TEST(AxisTicks, ValueAxesAreRoundAndCoverTheData) {
    const struct {
        double low, high;
        int maxSteps;
        double axisLow, axisHigh, step;
        int decimals;
    } cases[] = {
        {0, 8031.875, 5, 0, 10000, 2000, 0},
        {0, 8031.875, 9, 0, 9000, 1000, 0},
        {-40, 410, 6, -100, 500, 100, 0},
        {-40, 410, 5, -200, 600, 200, 0},  // past 5 x 10: on to the next power of ten
        {-459.4, 3154.94, 5, -1000, 4000, 1000, 0},
        {0.58, 1.16, 3, 0.5, 1.25, 0.25, 2},
        {12.3, 13.9, 4, 12, 14, 0.5, 1},
        {0, 0.3, 3, 0, 0.3, 0.1, 1},  // 0.3 / 0.1 is three steps, not four
        {62, 62, 4, 60, 64, 1, 0},    // a flat line: widened around its value
        {0, 0, 4, -1, 1, 0.5, 1},
        {999999, 999999, 4, 960000, 1020000, 20000, 0},
        {5, 1, 4, 1, 5, 1, 0},  // given the wrong way round
    };
    for (const auto& c : cases) {
        const platform::AxisScale scale = platform::niceScale(c.low, c.high, c.maxSteps);
        EXPECT_DOUBLE_EQ(scale.low, c.axisLow) << c.low << ".." << c.high;
        EXPECT_DOUBLE_EQ(scale.high, c.axisHigh) << c.low << ".." << c.high;
        EXPECT_DOUBLE_EQ(scale.step, c.step) << c.low << ".." << c.high;
        EXPECT_EQ(scale.decimals, c.decimals) << c.low << ".." << c.high;
    }
}

TEST(AxisTicks, TimeLabelsStandAReadableDistanceApart) {
    const struct {
        std::int64_t spanMs;
        double pixels;
        std::int64_t step;
    } cases[] = {
        {60'000, 800, 10'000},      // one minute: every 10 s (133 px apart)
        {300'000, 800, 60'000},     // five minutes: every minute
        {900'000, 800, 120'000},    // fifteen: every two minutes
        {3'600'000, 800, 600'000},  // an hour: every ten minutes
        {3'600'000, 1500, 300'000},
        {2'000, 800, 500},
        {30LL * 24 * 3'600'000, 800, 7LL * 24 * 3'600'000},
        {1000LL * 24 * 3'600'000, 800, 7LL * 24 * 3'600'000},  // the longest step there is
        {0, 800, 7LL * 24 * 3'600'000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::timeStep(c.spanMs, c.pixels, 100), c.step) << c.spanMs;
    }
}

TEST(AxisTicks, SecondsFromTheStartAreWholeUnlessTheLabelsStandCloser) {
    const struct {
        std::int64_t ms;
        std::int64_t step;
        const char* text;
    } cases[] = {
        {0, 10'000, "0"},      {90'000, 10'000, "90"}, {3'600'000, 600'000, "3600"},
        {12'500, 500, "12.5"}, {12'000, 100, "12.0"},  {1'999, 1000, "1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::secondsLabel(c.ms, c.step), c.text) << c.ms;
    }
}

}  // namespace
