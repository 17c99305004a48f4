// Indicator lamps and the VIN derived from the level.

#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "terminal/vehicle/EngineDashboardMap.h"
#include "terminal/vehicle/EngineParameters.h"

namespace terminal {
namespace {

std::set<int> litLamps(int level, bool warningsOn) {
    const EngineParameters p =
        computeEngineParameters(static_cast<std::uint8_t>(level), warningsOn);
    std::set<int> lit;
    for (const EngineLamp& lamp : engineLamps) {
        if (p.*lamp.field) {
            lit.insert(lamp.id);
        }
    }
    return lit;
}

struct LitAtLevel {
    int level;
    std::set<int> lit;
};

// Warnings off. 1080 Parking, 1029 Cruise, 1055/1060 timer on, 1056/1061 enabled,
// 1057/1062 override, 1058/1063 shutdown, 1059/1064 alert, 1065 wait to start,
// 1066..1072 the single-level switches.
const LitAtLevel litByLevel[] = {
    {0, {1080, 1056, 1061, 1065}},
    {1, {1080, 1056, 1061, 1065}},
    {2, {1080, 1056, 1061, 1065, 1058, 1063}},
    {3, {1080, 1056, 1061, 1065, 1058, 1063}},
    {4, {1080, 1055, 1060, 1056, 1061, 1059, 1064, 1065}},
    {5, {1080, 1055, 1060, 1056, 1061, 1059, 1064, 1065}},
    {6, {1080, 1055, 1060, 1056, 1061}},
    {7, {1080, 1055, 1060, 1056, 1061}},
    {8, {1080, 1056, 1061}},
    {9, {1080, 1056, 1061, 1057, 1062}},
    {10, {1056, 1061, 1057, 1062}},
    {11, {}},
    {19, {}},
    {20, {1068, 1070}},
    {21, {}},
    {39, {}},
    {40, {1029, 1069, 1071}},
    {41, {1029}},
    {59, {1029}},
    {60, {1029, 1067, 1072}},
    {61, {1029}},
    {79, {1029}},
    {80, {1029, 1066}},
    {81, {1029}},
    {99, {1029}},
    {100, {1080, 1029, 1055, 1060, 1056, 1061, 1057, 1062, 1058, 1063,
           1059, 1064, 1065, 1066, 1067, 1068, 1069, 1070, 1071, 1072}},
    {101, {1029}},
    {200, {1029}},
    {255, {1029}},
};

TEST(EngineModelLamps, LightExactlyAtTheirLevelsAndEdges) {
    for (const LitAtLevel& expected : litByLevel) {
        SCOPED_TRACE(expected.level);
        EXPECT_EQ(litLamps(expected.level, false), expected.lit);
    }
}

TEST(EngineModelLamps, WarningsAddOnlyTheWaterInFuelLampAtTwentyAndOneHundred) {
    for (int level = 0; level <= 255; ++level) {
        SCOPED_TRACE(level);
        std::set<int> expected = litLamps(level, false);
        EXPECT_EQ(expected.count(1030), 0u);
        if (level == 20 || level == 100) {
            expected.insert(1030);
        }
        EXPECT_EQ(litLamps(level, true), expected);
    }
}

TEST(EngineModelLamps, IdleShutdownAndProtectionLampsShowTheSamePattern) {
    for (int level = 0; level <= 255; ++level) {
        SCOPED_TRACE(level);
        const EngineParameters p = computeEngineParameters(static_cast<std::uint8_t>(level), true);
        EXPECT_EQ(p.isTimerOnLamp, p.epsTimerOnLamp);
        EXPECT_EQ(p.isTimerEnabledLamp, p.epsEnabledLamp);
        EXPECT_EQ(p.isTimerOverrideLamp, p.epsTimerOverrideLamp);
        EXPECT_EQ(p.isShutdownLamp, p.epsShutdownLamp);
        EXPECT_EQ(p.isDriverAlertLamp, p.epsApproachingShutdownLamp);
    }
}

TEST(EngineModelLamps, CruiseStaysLitFromFortyUpward) {
    for (int level = 0; level <= 255; ++level) {
        SCOPED_TRACE(level);
        EXPECT_EQ(litLamps(level, false).count(1029) == 1, level >= 40);
    }
}

TEST(EngineModelVin, CarriesTheLevelAsThreeDigitsBeforeTheStar) {
    EXPECT_EQ(computeEngineParameters(0, false).vinText, "1M8GDM9AXKP042000*");
    EXPECT_EQ(computeEngineParameters(7, false).vinText, "1M8GDM9AXKP042007*");
    EXPECT_EQ(computeEngineParameters(42, true).vinText, "1M8GDM9AXKP042042*");
    EXPECT_EQ(computeEngineParameters(100, false).vinText, "1M8GDM9AXKP042100*");
    EXPECT_EQ(computeEngineParameters(255, false).vinText, "1M8GDM9AXKP042255*");
}

}  // namespace
}  // namespace terminal
