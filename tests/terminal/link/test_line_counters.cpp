// The status bar's figures from the receive path: good lines per second, lines dropped for a
// bad checksum since the operator's last Connect, and the time since the last good line.

#include <gtest/gtest.h>

#include "core_rig.h"

using namespace coretest;
using namespace linetest;

namespace {

struct Step {
    std::uint32_t atMs;  // the fake clock when the lines arrive
    std::string lines;
};

struct Case {
    const char* name;
    std::vector<Step> steps;
    std::uint32_t sampleAtMs;
    double perSecond;
    std::uint64_t dropped;
    std::optional<std::uint32_t> sinceGood;
};

class LineCountersTest : public ::testing::TestWithParam<Case> {};

TEST_P(LineCountersTest, CountsWhatTheReceivePathTook) {
    const Case& c = GetParam();
    CoreRig rig;
    rig.startConnected();  // three good answers at 16 ms, after "AT ID?" went out
    rig.clock.now = 1000;
    rig.core.sampleLineStatistics();  // the rate's interval starts here
    for (const Step& step : c.steps) {
        rig.clock.now = step.atMs;
        rig.serial.receive(step.lines);
    }
    rig.clock.now = c.sampleAtMs;
    const terminal::LineStatistics figures = rig.core.sampleLineStatistics();
    EXPECT_DOUBLE_EQ(figures.goodLinesPerSecond, c.perSecond);
    EXPECT_EQ(figures.badChecksumLines, c.dropped);
    EXPECT_EQ(figures.msSinceGoodLine, c.sinceGood);
}

const std::string round = addressClaim(0x15) + simulationStatus(40, 0x02) + engineClock(1, 2);

INSTANTIATE_TEST_SUITE_P(
    Lines, LineCountersTest,
    ::testing::Values(
        Case{"NothingAfterIdentification", {}, 2000, 0, 0, 1984},
        Case{"FiveRoundsInOneSecond",
             {{1200, round}, {1400, round}, {1600, round}, {1800, round}, {2000, round}},
             2000,
             15,
             0,
             0},
        Case{"HalfASecondOfAcknowledgements", {{1100, "ACK %\r\nACK KI\r\n"}}, 1500, 4, 0, 400},
        Case{"BadChecksumsAreDroppedNotGood",
             {{1100, badChecksum("BRC %S2A20") + badChecksum("BRC CLK1020")},
              {1300, simulationStatus(50, 0x02)}},
             2000,
             1,
             2,
             700},
        Case{"NoiseAndUnknownHeadersCountNeither",
             {{1100, "XYZ 123\r\nnoise\r\n"}},
             1600,
             0,
             0,
             1584}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(LineCountersConnect, OnlyTheOperatorsConnectStartsTheDroppedCountAgain) {
    const struct {
        const char* name;
        void (*after)(CoreRig&);
        std::uint64_t dropped;
    } cases[] = {
        {"a tick with traffic", [](CoreRig& rig) { rig.tick(); }, 2},
        {"the silence's reconnect",
         [](CoreRig& rig) {
             rig.tick();
             rig.tick();
         },
         2},
        {"quiet retries after a loss",
         [](CoreRig& rig) {
             rig.serial.open = false;
             rig.serial.event = platform::comEvPortLost;
             rig.serial.receive("");
             rig.serial.openError = "Cannot open COM1: no device";
             rig.tick();
             rig.tick();
         },
         2},
        {"the baud-rate change's reconnect", [](CoreRig& rig) { rig.core.connect(); }, 2},
        {"Disconnect, then Connect",
         [](CoreRig& rig) {
             rig.core.disconnect();
             rig.core.connect();
         },
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CoreRig rig;
        rig.startConnected();
        rig.serial.receive(badChecksum("BRC %S2A20") + badChecksum("BRC %S2A20") +
                           simulationStatus(1, 0x02));
        c.after(rig);
        EXPECT_EQ(rig.core.sampleLineStatistics().badChecksumLines, c.dropped);
    }
}

TEST(LineCountersConnect, ADeviceSendingOnlyBadLinesCountsUpAcrossTheRetries) {
    CoreRig rig;
    rig.start();
    for (int second = 0; second < 3; ++second) {
        rig.serial.receive(badChecksum("ACK ID008765432110"));
        rig.tick();  // nothing good arrived: reset and connect again
    }
    EXPECT_EQ(rig.core.sampleLineStatistics().badChecksumLines, 3u);
}

TEST(LineCountersConnect, ASilenceIsMeasuredAcrossTheReconnectsItCauses) {
    CoreRig rig;
    rig.startConnected();
    rig.clock.now = 500;
    rig.serial.receive(simulationStatus(1, 0x02));
    rig.clock.now = 1500;
    rig.tick();  // a record was seen: still connected
    rig.clock.now = 2500;
    rig.tick();  // silent: reset and reconnect; "AT ID?" takes 16 ms
    EXPECT_EQ(rig.core.sampleLineStatistics().msSinceGoodLine, 2016u);
}

TEST(LineCountersClock, TheRateAndTheAgeSurviveTheMillisecondCounterWrapping) {
    terminal::LineCounters counters;
    counters.sample(4294967000u);
    counters.goodLine(4294967200u);
    counters.goodLine(100);
    const terminal::LineStatistics figures = counters.sample(204);
    EXPECT_DOUBLE_EQ(figures.goodLinesPerSecond, 4);  // 2 lines in 500 ms
    EXPECT_EQ(figures.msSinceGoodLine, 104u);
}

}  // namespace
