#pragma once
// Control ids of the dashboard window (template 102) and its dialogs.

namespace terminal::ids {

inline constexpr int exitButton = 1;
inline constexpr int portCombo = 1000;
inline constexpr int connectButton = 1001;
inline constexpr int serialNumberEdit = 1003;
inline constexpr int serialControl = 1004;
inline constexpr int disconnectButton = 1005;
inline constexpr int levelSlider = 1006;
inline constexpr int downButton = 1007;
inline constexpr int upButton = 1008;
inline constexpr int dynamicCheck = 1009;
inline constexpr int quietCheck = 1010;
inline constexpr int warningsCheck = 1011;
inline constexpr int menuButton = 1012;
inline constexpr int engineClockEdit = 1028;
inline constexpr int engineClaimEdit = 1038;
inline constexpr int absClaimEdit = 1039;
inline constexpr int transmissionClaimEdit = 1040;
inline constexpr int engineDm1Edit = 1041;
inline constexpr int absDm1Edit = 1042;
inline constexpr int transmissionDm1Edit = 1043;
inline constexpr int engineDm2Edit = 1044;
inline constexpr int engineDm1MultiPacketButton = 1045;
inline constexpr int engineConfigurationButton = 1046;
inline constexpr int engineDm2MultiPacketButton = 1047;
inline constexpr int resetEngineDm2Check = 1048;
inline constexpr int firmwareVersionEdit = 1049;
inline constexpr int vinEdit = 1078;
inline constexpr int canBaudEdit = 1081;

// Lamps darkened on the controls themselves by the reset.
inline constexpr int isTimerEnabledLamp = 1056;
inline constexpr int epsEnabledLamp = 1061;
inline constexpr int waitToStartLamp = 1065;
inline constexpr int parkingLamp = 1080;

// Trouble-code lamps.
inline constexpr int engineRedStopLamp = 1031;
inline constexpr int engineAmberLamp = 1032;
inline constexpr int transmissionRedStopLamp = 1033;
inline constexpr int absRedStopLamp = 1034;
inline constexpr int transmissionAmberLamp = 1035;
inline constexpr int absAmberLamp = 1036;

// The window's keep-alive timer and the About item's system command.
inline constexpr int linkTimer = 2;
inline constexpr int linkTimerPeriodMs = 1000;
inline constexpr int aboutCommand = 16;

}  // namespace terminal::ids
