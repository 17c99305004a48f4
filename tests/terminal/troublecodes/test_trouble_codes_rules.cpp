// Which trouble-code row and lamps each box shows for a level, the Warnings and Reset Eng
// DM2 modes, and whether an identification is in force.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "terminal/troublecodes/TroubleCodes.h"

namespace terminal {
namespace {

const std::string zeroRow = "   0     0      0     0\r\n";
const std::string seeMultiPackets = "See @ Multi-Packets";
constexpr std::uint16_t identified = 2;

TroubleCodes codesAt(int level, bool warnings, bool resetDm2 = false,
                     std::uint16_t firmware = identified) {
    return computeTroubleCodes(static_cast<std::uint8_t>(level), warnings, resetDm2, firmware);
}

struct EngineDm1Band {
    int level;
    std::string text;
    bool amber;
    bool redStop;
};

const EngineDm1Band engineDm1Bands[] = {
    {0, "111     1      1     0\r\n", true, false},
    {1, "168     1      1     0\r\n", true, false},
    {9, "168     1      1     0\r\n", true, false},
    {10, "168     1      1     0\r\n", true, true},
    {19, "168     1      1     0\r\n", true, true},
    {20, " 97    15      1     0\r\n", true, false},
    {21, "100     1      1     0\r\n", true, false},
    {29, "100     1      1     0\r\n", true, false},
    {30, "100     1      1     0\r\n", true, true},
    {39, "100     1      1     0\r\n", true, true},
    {40, "168     0      1     0\r\n", true, false},
    {41, "110     0      1     0\r\n", true, false},
    {49, "110     0      1     0\r\n", true, false},
    {50, "110     0      1     0\r\n", true, true},
    {59, "110     0      1     0\r\n", true, true},
    {60, "100     0     26     0\r\n", true, false},
    {61, zeroRow, false, false},
    {99, zeroRow, false, false},
    {100, seeMultiPackets, true, true},
    {101, zeroRow, false, false},
    {255, zeroRow, false, false},
};

TEST(TroubleCodeRules, EngineDm1FollowsTheLevelBandsWhileWarningsAreOn) {
    for (const EngineDm1Band& band : engineDm1Bands) {
        SCOPED_TRACE(band.level);
        const TroubleCodes t = codesAt(band.level, true);
        EXPECT_EQ(t.engineDm1Text, band.text);
        EXPECT_EQ(t.engineAmberLamp, band.amber);
        EXPECT_EQ(t.engineRedStopLamp, band.redStop);
        EXPECT_EQ(t.engineDm1ButtonEnabled, band.level == 100);
    }
}

TEST(TroubleCodeRules, WithoutWarningsNoDm1CodeIsActiveAtAnyLevel) {
    for (int level = 0; level <= 255; ++level) {
        SCOPED_TRACE(level);
        const TroubleCodes t = codesAt(level, false);
        EXPECT_EQ(t.engineDm1Text, zeroRow);
        EXPECT_EQ(t.transmissionDm1Text, zeroRow);
        EXPECT_EQ(t.absDm1Text, zeroRow);
        EXPECT_FALSE(t.engineAmberLamp || t.engineRedStopLamp || t.transmissionAmberLamp ||
                     t.transmissionRedStopLamp || t.absAmberLamp || t.absRedStopLamp);
        EXPECT_FALSE(t.engineDm1ButtonEnabled);
    }
}

TEST(TroubleCodeRules, EngineDm2PointsToTheListAtOneHundredUnlessReset) {
    for (bool warnings : {false, true}) {
        for (int level = 0; level <= 255; ++level) {
            SCOPED_TRACE(level);
            const TroubleCodes kept = codesAt(level, warnings, false);
            EXPECT_EQ(kept.engineDm2Text,
                      level == 100 ? seeMultiPackets : std::string(" 110     0      1     0\r\n"));
            EXPECT_EQ(kept.engineDm2ButtonEnabled, level == 100);

            const TroubleCodes reset = codesAt(level, warnings, true);
            EXPECT_EQ(reset.engineDm2Text, zeroRow);
            EXPECT_FALSE(reset.engineDm2ButtonEnabled);
        }
    }
}

TEST(TroubleCodeRules, TransmissionIsActiveFromEightyOneToOneHundred) {
    const std::string row = "177     0    126     0\r\n";
    struct Case {
        int level;
        bool active;
        bool redStop;
    };
    for (const Case& c : {Case{80, false, false}, Case{81, true, false}, Case{89, true, false},
                          Case{90, true, true}, Case{100, true, true}, Case{101, false, false},
                          Case{0, false, false}, Case{255, false, false}}) {
        SCOPED_TRACE(c.level);
        const TroubleCodes t = codesAt(c.level, true);
        EXPECT_EQ(t.transmissionDm1Text, c.active ? row : zeroRow);
        EXPECT_EQ(t.transmissionAmberLamp, c.active);
        EXPECT_EQ(t.transmissionRedStopLamp, c.redStop);
    }
}

TEST(TroubleCodeRules, AbsIsActiveFromSixtyOneToEightyAndAtOneHundred) {
    const std::string row = "597     1     7     0\r\n";
    struct Case {
        int level;
        bool active;
        bool redStop;
    };
    for (const Case& c : {Case{60, false, false}, Case{61, true, false}, Case{69, true, false},
                          Case{70, true, true}, Case{80, true, true}, Case{81, false, false},
                          Case{99, false, false}, Case{100, true, true}, Case{101, false, false},
                          Case{255, false, false}}) {
        SCOPED_TRACE(c.level);
        const TroubleCodes t = codesAt(c.level, true);
        EXPECT_EQ(t.absDm1Text, c.active ? row : zeroRow);
        EXPECT_EQ(t.absAmberLamp, c.active);
        EXPECT_EQ(t.absRedStopLamp, c.redStop);
    }
}

TEST(TroubleCodeRules, LevelOneHundredWithWarningsLightsEverythingAndOffersBothLists) {
    const TroubleCodes t = codesAt(100, true, false);
    EXPECT_EQ(t.engineDm1Text, seeMultiPackets);
    EXPECT_EQ(t.engineDm2Text, seeMultiPackets);
    EXPECT_EQ(t.transmissionDm1Text, "177     0    126     0\r\n");
    EXPECT_EQ(t.absDm1Text, "597     1     7     0\r\n");
    EXPECT_TRUE(t.engineAmberLamp && t.engineRedStopLamp && t.transmissionAmberLamp &&
                t.transmissionRedStopLamp && t.absAmberLamp && t.absRedStopLamp);
    EXPECT_TRUE(t.engineDm1ButtonEnabled);
    EXPECT_TRUE(t.engineDm2ButtonEnabled);
}

TEST(TroubleCodeRules, WithoutIdentificationEveryBoxIsZeroAndEveryLampDark) {
    for (int level : {0, 10, 60, 70, 90, 100, 255}) {
        for (bool warnings : {false, true}) {
            for (bool resetDm2 : {false, true}) {
                SCOPED_TRACE(testing::Message() << level << " W" << warnings << " R" << resetDm2);
                const TroubleCodes t = codesAt(level, warnings, resetDm2, 0);
                EXPECT_EQ(t.engineDm1Text, zeroRow);
                EXPECT_EQ(t.engineDm2Text, zeroRow);
                EXPECT_EQ(t.transmissionDm1Text, zeroRow);
                EXPECT_EQ(t.absDm1Text, zeroRow);
                EXPECT_FALSE(t.engineAmberLamp || t.engineRedStopLamp || t.transmissionAmberLamp ||
                             t.transmissionRedStopLamp || t.absAmberLamp || t.absRedStopLamp);
                EXPECT_FALSE(t.engineDm1ButtonEnabled);
                EXPECT_FALSE(t.engineDm2ButtonEnabled);
            }
        }
    }
}

}  // namespace
}  // namespace terminal
