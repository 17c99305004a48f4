// What the command line watches in a run: silence after the first answer, and the progress
// and summary lines it prints.

#include <gtest/gtest.h>

#include "loader/core/RunWatch.h"

using loader::RunPhase;

TEST(StallWatch, OnlySilenceLongerThanTheLimitAfterAFirstAnswerIsAStall) {
    struct Case {
        const char* what;
        std::vector<std::uint64_t> heardAt;
        std::uint64_t now;
        bool stalled;
    };
    const Case cases[] = {
        {"never answered, however long", {}, 1000000, false},
        {"answered, silent exactly the limit", {500}, 10500, false},
        {"answered, silent one ms past the limit", {500}, 10501, true},
        {"answered again in time", {500, 9000}, 18000, false},
        {"answered again, then silent too long", {500, 9000}, 19001, true},
    };
    for (const Case& c : cases) {
        loader::StallWatch watch(10000);
        for (auto at : c.heardAt) {
            watch.heard(at);
        }
        EXPECT_EQ(watch.stalled(c.now), c.stalled) << c.what;
        EXPECT_EQ(watch.heardFrom(), !c.heardAt.empty()) << c.what;
    }
}

TEST(ProgressLines, ShowPercentCountsRateAndTimeLeft) {
    struct Case {
        RunPhase phase;
        std::uint64_t done, total, elapsedMs;
        const char* line;
    };
    const Case cases[] = {
        {RunPhase::writing, 0, 8000, 0, "writing    0%  0 of 8000 bytes"},
        {RunPhase::writing, 2000, 8000, 1000,
         "writing   25%  2000 of 8000 bytes  2000 B/s  0:03 left"},
        {RunPhase::writing, 8000, 8000, 4000,
         "writing  100%  8000 of 8000 bytes  2000 B/s  0:00 left"},
        {RunPhase::writing, 100, 200000, 1000,
         "writing    0%  100 of 200000 bytes  100 B/s  33:19 left"},
        {RunPhase::erasing, 32, 64, 500, "erasing   50%  32 of 64  0:01 left"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(loader::progressLine(c.phase, c.done, c.total, c.elapsedMs), c.line);
    }
    EXPECT_EQ(loader::summaryLine(65536, 3200), "65536 bytes in 3.2 s, 20480 B/s");
}
