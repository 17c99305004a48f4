// Engine and vehicle values derived from the level: the reference readings, the split
// levels where a value changes formula, and the wrap of levels above 100.

#include <gtest/gtest.h>

#include <cstdint>

#include "terminal/vehicle/EngineParameters.h"

namespace terminal {
namespace {

struct Reference {
    int level;
    double rpm, mph, coolantF, batteryV, hours, tripMiles, oilF, exhaustF, loadPct;
};

// The published reference readings, rounded to two decimals where they are not exact.
constexpr Reference references[] = {
    {0, 0, 0, -40, 0, 0, 0, -459.4, -459.4, 0},
    {20, 1606.375, 31.19, 50, 7.5, 250, 310.69, -40, -44.05, 25},
    {50, 4015.875, 77.98, 185, 18.75, 625, 776.72, 176, 578.97, 62},
    {80, 6425.5, 124.77, 320, 30, 1000, 1242.75, 392, 1202, 100},
    {90, 7228.625, 140.36, 365, 60, 500499.5, 311307.44, 1773.44, 2178.44, 112},
    {100, 8031.875, 155.96, 410, 3212.75, 999999, 621372.125, 3154.94, 3154.94, 125},
};

constexpr double rounded = 0.006;

TEST(EngineModelValues, MatchTheReferenceReadingsAtTheStandardLevels) {
    for (const Reference& r : references) {
        SCOPED_TRACE(r.level);
        const EngineParameters p =
            computeEngineParameters(static_cast<std::uint8_t>(r.level), false);
        EXPECT_EQ(p.engineSpeedRpm, static_cast<float>(r.rpm));
        EXPECT_NEAR(p.vehicleSpeedMph, r.mph, rounded);
        EXPECT_NEAR(p.coolantTempF, r.coolantF, rounded);
        EXPECT_NEAR(p.batteryVolts, r.batteryV, rounded);
        EXPECT_NEAR(p.engineHours, r.hours, rounded);
        EXPECT_NEAR(p.tripMiles, r.tripMiles, rounded);
        EXPECT_NEAR(p.oilTempF, r.oilF, rounded);
        EXPECT_NEAR(p.exhaustTempF, r.exhaustF, rounded);
        EXPECT_EQ(p.engineLoadPct, static_cast<float>(r.loadPct));
    }
}

TEST(EngineModelValues, AreRoundedToSinglePrecisionOnlyAfterTheDoubleComputation) {
    // 7999992 odometer bits are 621372.115 miles; the nearest float is 621372.125, which a
    // single-precision factor would miss.
    const EngineParameters p = computeEngineParameters(100, false);
    EXPECT_EQ(p.tripMiles, 621372.125f);
    EXPECT_EQ(p.totalMiles, 621372.125f);
    EXPECT_EQ(p.engineHours, 999999.0f);
}

TEST(EngineModelValues, LevelZeroIsAllZeroExceptTheTemperatures) {
    const EngineParameters p = computeEngineParameters(0, true);
    for (float v :
         {p.engineSpeedRpm,     p.engineHours,       p.vehicleSpeedMph,    p.oilPressurePsi,
          p.batteryVolts,       p.fuelLevelPct,      p.boostPressurePsi,   p.fuelEconomyMpg,
          p.fuelRateGph,        p.acceleratorPct,    p.engineLoadPct,      p.tripMiles,
          p.totalMiles,         p.oilLevelPct,       p.coolantPressurePsi, p.coolantLevelPct,
          p.actualTorquePct,    p.frictionTorquePct, p.egrFlowKgH,         p.inletAirFlowKgH,
          p.airInletPressurePsi}) {
        EXPECT_EQ(v, 0.0f);
    }
    EXPECT_EQ(p.coolantTempF, -40.0f);
    EXPECT_EQ(p.fuelTempF, -40.0f);
    EXPECT_EQ(p.inletAirTempF, -40.0f);
    EXPECT_NEAR(p.oilTempF, -459.4, 1e-4);
    EXPECT_NEAR(p.transOilTempF, -459.4, 1e-4);
    EXPECT_NEAR(p.exhaustTempF, -459.4, 1e-4);
}

TEST(EngineModelValues, ByteScaledValuesFollowTheirResolutions) {
    // Level 80: raw byte 200, raw word 51404, economy 19590, fuel rate 4542.
    const EngineParameters p = computeEngineParameters(80, false);
    EXPECT_NEAR(p.oilPressurePsi, 116.0, 1e-4);
    EXPECT_NEAR(p.boostPressurePsi, 58.0, 1e-4);
    EXPECT_NEAR(p.coolantPressurePsi, 58.0, 1e-4);
    EXPECT_NEAR(p.airInletPressurePsi, 58.0, 1e-4);
    EXPECT_NEAR(p.fuelLevelPct, 80.0, 1e-4);
    EXPECT_NEAR(p.acceleratorPct, 80.0, 1e-4);
    EXPECT_NEAR(p.oilLevelPct, 80.0, 1e-4);
    EXPECT_NEAR(p.coolantLevelPct, 80.0, 1e-4);
    EXPECT_EQ(p.fuelTempF, 320.0f);
    EXPECT_NEAR(p.egrFlowKgH, 2570.2, 1e-3);
    EXPECT_NEAR(p.inletAirFlowKgH, 2570.2, 1e-3);
    EXPECT_NEAR(p.fuelEconomyMpg, 89.9973, 1e-3);
    EXPECT_NEAR(p.fuelRateGph, 59.9935, 1e-3);
    EXPECT_EQ(p.actualTorquePct, 100.0f);
    EXPECT_EQ(p.frictionTorquePct, 100.0f);
}

TEST(EngineModelValues, ChangeFormulaExactlyAtTheSplitLevels) {
    const EngineParameters at20 = computeEngineParameters(20, false);
    const EngineParameters at21 = computeEngineParameters(21, false);
    EXPECT_NEAR(at20.oilTempF, -40.0, 1e-4);
    EXPECT_NEAR(at21.oilTempF, -32.8, 1e-4);

    const EngineParameters at80 = computeEngineParameters(80, false);
    const EngineParameters at81 = computeEngineParameters(81, false);
    EXPECT_NEAR(at80.batteryVolts, 30.0, 1e-4);
    EXPECT_NEAR(at81.batteryVolts, 33.0, 1e-4);
    EXPECT_NEAR(at80.engineHours, 1000.0, 1e-4);
    EXPECT_NEAR(at81.engineHours, 50949.95, 0.004);
    EXPECT_EQ(at80.inletAirTempF, 248.0f);
    EXPECT_NEAR(at81.inletAirTempF, 255.2, 1e-4);

    const EngineParameters at90 = computeEngineParameters(90, false);
    const EngineParameters at91 = computeEngineParameters(91, false);
    EXPECT_NEAR(at90.batteryVolts, 60.0, 1e-4);
    EXPECT_NEAR(at91.batteryVolts, 375.25, 1e-4);
}

TEST(EngineModelValues, LevelsAboveOneHundredWrapAtEachRawWidth) {
    // Level 101: raw word 64897 (no wrap yet), raw byte 252.
    const EngineParameters at101 = computeEngineParameters(101, false);
    EXPECT_EQ(at101.engineSpeedRpm, 8112.125f);
    EXPECT_NEAR(at101.oilPressurePsi, 146.16, 1e-4);

    // Level 102: raw word 65540 wraps to 4.
    const EngineParameters at102 = computeEngineParameters(102, false);
    EXPECT_EQ(at102.engineSpeedRpm, 0.5f);
    EXPECT_NEAR(at102.egrFlowKgH, 0.2, 1e-6);

    // Level 103: raw byte 257 wraps to 1, so the half byte is 0.
    const EngineParameters at103 = computeEngineParameters(103, false);
    EXPECT_NEAR(at103.oilPressurePsi, 0.58, 1e-6);
    EXPECT_NEAR(at103.coolantTempF, -38.2, 1e-4);
    EXPECT_EQ(at103.engineLoadPct, 0.0f);

    // Level 105: raw torque 256 wraps to 0.
    EXPECT_EQ(computeEngineParameters(105, false).actualTorquePct, -125.0f);

    // Level 255: byte 637 -> 125, word 163850 -> 32778, torque 443 -> 187,
    // battery 1041607 -> 58567, inlet 947 -> 179.
    const EngineParameters at255 = computeEngineParameters(255, false);
    EXPECT_EQ(at255.coolantTempF, 185.0f);
    EXPECT_EQ(at255.engineLoadPct, 62.0f);
    EXPECT_EQ(at255.engineSpeedRpm, 4097.25f);
    EXPECT_EQ(at255.actualTorquePct, 62.0f);
    EXPECT_NEAR(at255.batteryVolts, 2928.35, 1e-3);
    EXPECT_NEAR(at255.inletAirTempF, 282.2, 1e-4);
}

TEST(EngineModelValues, PairedDisplaysAlwaysAgree) {
    for (int level = 0; level <= 255; ++level) {
        SCOPED_TRACE(level);
        const EngineParameters p = computeEngineParameters(static_cast<std::uint8_t>(level), false);
        EXPECT_EQ(p.oilTempF, p.transOilTempF);
        EXPECT_EQ(p.actualTorquePct, p.frictionTorquePct);
    }
}

}  // namespace
}  // namespace terminal
