#pragma once
// Everything the dashboard shows about the simulated vehicle, derived from the level alone:
// 27 values in US units (single precision, as the displays take them), 21 lamps and the VIN.

#include <cstdint>
#include <string>

namespace terminal {

struct EngineParameters {
    float engineSpeedRpm = 0;       // 1013
    float engineHours = 0;          // 1014
    float vehicleSpeedMph = 0;      // 1015
    float oilPressurePsi = 0;       // 1016
    float coolantTempF = 0;         // 1017
    float batteryVolts = 0;         // 1018
    float fuelLevelPct = 0;         // 1019
    float boostPressurePsi = 0;     // 1020
    float fuelEconomyMpg = 0;       // 1021
    float fuelRateGph = 0;          // 1022
    float acceleratorPct = 0;       // 1023
    float inletAirTempF = 0;        // 1024
    float engineLoadPct = 0;        // 1025
    float tripMiles = 0;            // 1026
    float totalMiles = 0;           // 1027
    float transOilTempF = 0;        // 1037
    float oilTempF = 0;             // 1050
    float oilLevelPct = 0;          // 1051
    float coolantPressurePsi = 0;   // 1052
    float coolantLevelPct = 0;      // 1053
    float fuelTempF = 0;            // 1054
    float exhaustTempF = 0;         // 1073
    float actualTorquePct = 0;      // 1074
    float frictionTorquePct = 0;    // 1075
    float egrFlowKgH = 0;           // 1076
    float inletAirFlowKgH = 0;      // 1077
    float airInletPressurePsi = 0;  // 1079

    bool parkingLamp = false;                 // 1080
    bool cruiseLamp = false;                  // 1029
    bool isTimerOnLamp = false;               // 1055
    bool epsTimerOnLamp = false;              // 1060
    bool isTimerEnabledLamp = false;          // 1056
    bool epsEnabledLamp = false;              // 1061
    bool isTimerOverrideLamp = false;         // 1057
    bool epsTimerOverrideLamp = false;        // 1062
    bool isShutdownLamp = false;              // 1058
    bool epsShutdownLamp = false;             // 1063
    bool isDriverAlertLamp = false;           // 1059
    bool epsApproachingShutdownLamp = false;  // 1064
    bool waitToStartLamp = false;             // 1065
    bool overspeedTestLamp = false;           // 1066
    bool airShutoffLamp = false;              // 1067
    bool alarmOutputLamp = false;             // 1068
    bool alarmAcknowledgeLamp = false;        // 1069
    bool acFanSwitchLamp = false;             // 1070
    bool refrigerantLowLamp = false;          // 1071
    bool refrigerantHighLamp = false;         // 1072
    bool waterInFuelLamp = false;             // 1030

    std::string vinText;  // 1078
};

// Pure: the same level and Warnings state always give the same record.
EngineParameters computeEngineParameters(std::uint8_t level, bool warningsOn);

}  // namespace terminal
