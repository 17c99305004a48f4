// What the command line watches in a run: silence after the first answer, and the progress
// and summary lines it prints.

#include <gtest/gtest.h>

#include "BootLinkFixture.h"
#include "loader/core/RunWatch.h"

using loader::RunPhase;
using testing_support::BootLinkTest;
using testing_support::sampleBytes;

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

TEST_F(BootLinkTest, TheStopReasonSaysHowARunEndedNowLeavesTheTarget) {
    EXPECT_EQ(loader::stopReason(link, false), "the target was not touched");
    link.connect("COM1", "115200");
    EXPECT_EQ(loader::stopReason(link, false),
              "the boot loader did not answer; the target was not touched");
    serial.receive(wakeThen("Vell-3.2\r\n"));
    EXPECT_EQ(loader::stopReason(link, true), "the target was not touched");

    startProgramming("fw.bin", sampleBytes(8));
    serial.receive(bytes({0xA5, 0x00, 0x04, 0xEE}));
    EXPECT_EQ(loader::stopReason(link, true),
              "stopped while the flash was being erased: program the target again");
    serial.receive(bytes({0xEE, 0xEE, 0xEE}));
    ASSERT_TRUE(link.writing());
    for (int echoed = 0; echoed < 3; ++echoed) {
        serial.receive(std::vector<std::uint8_t>{serial.written.back()});
    }
    EXPECT_EQ(loader::stopReason(link, true), "stopped at byte 4 of 8: program the target again");
}
