#include "terminal/vehicle/EngineParameters.h"

#include "terminal/vehicle/EngineRawValues.h"
#include "terminal/vehicle/VehicleIdentification.h"

namespace terminal {

namespace {

// Unit conversions of the J1939 resolutions.
constexpr double psiPer4KPa = 0.58;
constexpr double psiPer2KPa = 0.29;
constexpr double milesPerKm = 0.62137276;
constexpr double milesPerOdometerBit = 0.07767159208122584;  // 0.125 km per bit
constexpr double mpgPerKmPerLitre = 2.35215;
constexpr double usGallonsPerLitre = 0.2641722;

constexpr double fahrenheitFromCelsius(double c) {
    return c * 1.8 + 32;
}
constexpr double celsiusFromKelvin(double k) {
    return k - 273;
}

// Each value is worked out in double precision; only the result is narrowed for display.
constexpr float shown(double v) {
    return static_cast<float>(v);
}

void computeValues(const EngineRawValues& r, EngineParameters& p) {
    const double byte = r.rawByte;
    const double word = r.rawWord;
    const double torque = r.rawTorque;

    p.engineSpeedRpm = shown(word * 0.125);
    p.engineHours = shown(r.rawHours * 0.05);
    p.vehicleSpeedMph = shown(word * 0.00390625 * milesPerKm);
    p.oilPressurePsi = shown(byte * psiPer4KPa);
    p.coolantTempF = shown(fahrenheitFromCelsius(byte - 40));
    p.batteryVolts = shown(r.rawBattery * 0.05);
    p.fuelLevelPct = shown(byte * 0.4);
    p.boostPressurePsi = shown(byte * psiPer2KPa);
    p.fuelEconomyMpg = shown(r.rawEconomy * 0.001953125 * mpgPerKmPerLitre);
    p.fuelRateGph = shown(r.rawFuelRate * 0.05 * usGallonsPerLitre);
    p.acceleratorPct = shown(byte * 0.4);
    p.inletAirTempF = shown(fahrenheitFromCelsius(r.rawInletTemp - 40.0));
    p.engineLoadPct = shown(r.rawHalf);
    p.tripMiles = shown(r.rawTrip * milesPerOdometerBit);
    p.totalMiles = shown(r.rawTotal * milesPerOdometerBit);
    p.transOilTempF = shown(fahrenheitFromCelsius(celsiusFromKelvin(r.rawOilTemp * 0.03125)));
    p.oilTempF = p.transOilTempF;
    p.oilLevelPct = shown(byte * 0.4);
    p.coolantPressurePsi = shown(byte * psiPer2KPa);
    p.coolantLevelPct = shown(byte * 0.4);
    p.fuelTempF = shown(fahrenheitFromCelsius(byte - 40));
    p.exhaustTempF = shown(fahrenheitFromCelsius(celsiusFromKelvin(r.rawExhaustTemp * 0.03125)));
    p.actualTorquePct = shown(torque - 125);
    p.frictionTorquePct = shown(torque - 125);
    p.egrFlowKgH = shown(word * 0.05);
    p.inletAirFlowKgH = shown(word * 0.05);
    p.airInletPressurePsi = shown(byte * psiPer2KPa);
}

void computeLamps(unsigned L, bool warningsOn, EngineParameters& p) {
    // Level 100 lights every lamp here; only WIF also needs the Warnings mode.
    const bool full = L == 100;

    p.parkingLamp = L < 10 || full;
    p.cruiseLamp = L >= 40;
    p.isTimerOnLamp = (L >= 4 && L <= 7) || full;
    p.epsTimerOnLamp = p.isTimerOnLamp;
    p.isTimerEnabledLamp = L <= 10 || full;
    p.epsEnabledLamp = p.isTimerEnabledLamp;
    p.isTimerOverrideLamp = L == 9 || L == 10 || full;
    p.epsTimerOverrideLamp = p.isTimerOverrideLamp;
    p.isShutdownLamp = L == 2 || L == 3 || full;
    p.epsShutdownLamp = p.isShutdownLamp;
    p.isDriverAlertLamp = L == 4 || L == 5 || full;
    p.epsApproachingShutdownLamp = p.isDriverAlertLamp;
    p.waitToStartLamp = L <= 5 || full;
    p.overspeedTestLamp = L == 80 || full;
    p.airShutoffLamp = L == 60 || full;
    p.alarmOutputLamp = L == 20 || full;
    p.alarmAcknowledgeLamp = L == 40 || full;
    p.acFanSwitchLamp = L == 20 || full;
    p.refrigerantLowLamp = L == 40 || full;
    p.refrigerantHighLamp = L == 60 || full;
    p.waterInFuelLamp = warningsOn && (L == 20 || full);
}

}  // namespace

EngineParameters computeEngineParameters(std::uint8_t level, bool warningsOn) {
    EngineParameters p;
    computeValues(computeEngineRawValues(level), p);
    computeLamps(level, warningsOn, p);
    p.vinText = vinTextForLevel(level);
    return p;
}

}  // namespace terminal
