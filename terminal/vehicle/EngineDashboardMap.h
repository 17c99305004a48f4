#pragma once
// Which dashboard control shows which field of EngineParameters, with the caption, units and
// decimals (displays) or label and colour (lamps) the window gives it, and each value's short
// key: the one table every export, Trends and the Python client name the values by. Both
// tables run in the order in which the update writes the controls.

#include <array>
#include <string_view>

#include "terminal/vehicle/EngineParameters.h"
#include "terminal/vehicle/LampColour.h"

namespace terminal {

// Decimals the display widget chooses by itself.
inline constexpr int defaultDecimals = -1;

struct EngineDisplay {
    int id;
    float EngineParameters::*field;
    std::string_view caption;  // the small group box around the display
    std::string_view units;
    int decimals;
    // The value's name in scripts and files: short, lower-case snake case ending in its unit
    // where the name does not already say it; stable across releases, so never renamed.
    std::string_view key;
};

struct EngineLamp {
    int id;
    bool EngineParameters::*field;
    std::string_view label;
    LampColour colour;
};

inline constexpr std::array<EngineDisplay, 27> engineDisplays{{
    {1013, &EngineParameters::engineSpeedRpm, "Engine RPM", " RPM", 2, "engine_rpm"},
    {1025, &EngineParameters::engineLoadPct, "Engine Load%", " %", defaultDecimals,
     "engine_load_pct"},
    {1016, &EngineParameters::oilPressurePsi, "Engine Oil Pressure (PSI)", " PSI", 2,
     "oil_pressure_psi"},
    {1022, &EngineParameters::fuelRateGph, "Inst. Fuel Rate", " GPH", defaultDecimals,
     "fuel_rate_gph"},
    {1014, &EngineParameters::engineHours, "Engine Hour (Hr)", " Hr", defaultDecimals,
     "engine_hours"},
    {1017, &EngineParameters::coolantTempF, "Engine Coolant Temp (F)", " F", defaultDecimals,
     "coolant_temp_f"},
    {1023, &EngineParameters::acceleratorPct, "Accelerator Position", " %", defaultDecimals,
     "accelerator_pct"},
    {1026, &EngineParameters::tripMiles, "Engine Trip", " mile", defaultDecimals, "trip_miles"},
    {1027, &EngineParameters::totalMiles, "Total Vehicle Distance", " mile", defaultDecimals,
     "total_distance_miles"},
    {1015, &EngineParameters::vehicleSpeedMph, "Speed (MPH)", " MPH", 2, "vehicle_speed_mph"},
    {1021, &EngineParameters::fuelEconomyMpg, "Inst. Fuel Economy", " MPG", defaultDecimals,
     "fuel_economy_mpg"},
    {1020, &EngineParameters::boostPressurePsi, "Engine Boost Pressure", " PSI", 2,
     "boost_pressure_psi"},
    {1024, &EngineParameters::inletAirTempF, "Inlet Air Temp (F)", " F", defaultDecimals,
     "inlet_air_temp_f"},
    {1018, &EngineParameters::batteryVolts, "Battery Voltage (V)", " V", 2, "battery_v"},
    {1019, &EngineParameters::fuelLevelPct, "Fuel Level (%)", " %", defaultDecimals,
     "fuel_level_pct"},
    {1037, &EngineParameters::transOilTempF, "Oil Temperature", " F", defaultDecimals,
     "trans_oil_temp_f"},
    {1050, &EngineParameters::oilTempF, "Engine Oil Temp (F)", " F", defaultDecimals, "oil_temp_f"},
    {1051, &EngineParameters::oilLevelPct, "Engine Oil Level (%)", " %", defaultDecimals,
     "oil_level_pct"},
    {1052, &EngineParameters::coolantPressurePsi, "Eng. Coolant Pressure(PSI)", " PSI", 2,
     "coolant_pressure_psi"},
    {1053, &EngineParameters::coolantLevelPct, "Eng. Coolant Level (%)", " %", defaultDecimals,
     "coolant_level_pct"},
    {1054, &EngineParameters::fuelTempF, "Engine Fuel Temp (F)", " F", defaultDecimals,
     "fuel_temp_f"},
    {1073, &EngineParameters::exhaustTempF, "Exhaust Gas Temp (F)", " F", defaultDecimals,
     "exhaust_temp_f"},
    {1074, &EngineParameters::actualTorquePct, "Actual Engine-%Torque", " %", 0,
     "actual_torque_pct"},
    {1075, &EngineParameters::frictionTorquePct, "Nominal Friction-%Torque", " %", 0,
     "friction_torque_pct"},
    {1076, &EngineParameters::egrFlowKgH, "EGR Mass Flow Rate ", " kg/Hr", 2, "egr_flow_kg_h"},
    {1077, &EngineParameters::inletAirFlowKgH, "Inlet Air Mass Flow Rate", " kg/Hr", 2,
     "inlet_air_flow_kg_h"},
    {1079, &EngineParameters::airInletPressurePsi, "Engine Air Inlet Pressure ", " PSI", 2,
     "air_inlet_pressure_psi"},
}};

inline constexpr std::array<EngineLamp, 21> engineLamps{{
    {1080, &EngineParameters::parkingLamp, "Parking", LampColour::red},
    {1029, &EngineParameters::cruiseLamp, "Cruise", LampColour::standard},
    {1055, &EngineParameters::isTimerOnLamp, "IS Timer ON (590)", LampColour::yellow},
    {1060, &EngineParameters::epsTimerOnLamp, "EPS Timer ON (1107)", LampColour::yellow},
    {1056, &EngineParameters::isTimerEnabledLamp, "IS Timer EN (591)", LampColour::standard},
    {1061, &EngineParameters::epsEnabledLamp, "EPS EN (1111)", LampColour::standard},
    {1057, &EngineParameters::isTimerOverrideLamp, "IS Timer Override (592)", LampColour::red},
    {1062, &EngineParameters::epsTimerOverrideLamp, "EPS Timer Override (1108)", LampColour::red},
    {1058, &EngineParameters::isShutdownLamp, "IS Shutdown Engine (593)", LampColour::yellow},
    {1063, &EngineParameters::epsShutdownLamp, "EPS Shutdown Engine (1110)", LampColour::yellow},
    {1059, &EngineParameters::isDriverAlertLamp, "IS Driver Alert (594)", LampColour::red},
    {1064, &EngineParameters::epsApproachingShutdownLamp, "EPS Approaching Shutdown (1109)",
     LampColour::red},
    {1065, &EngineParameters::waitToStartLamp, "Wait to Start (1081)", LampColour::yellow},
    {1066, &EngineParameters::overspeedTestLamp, "Overspeed Test (2812)", LampColour::standard},
    {1067, &EngineParameters::airShutoffLamp, "Air Shutoff (2813)", LampColour::yellow},
    {1068, &EngineParameters::alarmOutputLamp, "Alarm Output (2814)", LampColour::red},
    {1069, &EngineParameters::alarmAcknowledgeLamp, "Alarm Acknowledge (2815)",
     LampColour::standard},
    {1070, &EngineParameters::acFanSwitchLamp, "A/C High Pressure Fan Switch (985)",
     LampColour::yellow},
    {1071, &EngineParameters::refrigerantLowLamp, "Refrigerant Low Pressure Switch (875)",
     LampColour::yellow},
    {1072, &EngineParameters::refrigerantHighLamp, "Refrigerant High Pressure Switch (605)",
     LampColour::yellow},
    {1030, &EngineParameters::waterInFuelLamp, "WIF", LampColour::red},
}};

}  // namespace terminal
