#pragma once
// Control ids of the loader window (CLoaderDlg) and its About box.

namespace loader::ids {

inline constexpr int exitButton = 1;
inline constexpr int linkLamp = 1000;
inline constexpr int eraseBar = 1001;
inline constexpr int programBar = 1002;
inline constexpr int programButton = 1006;
inline constexpr int onLabel = 1007;
inline constexpr int serialControl = 1008;
inline constexpr int totalBytesEdit = 1009;
inline constexpr int waitingLamp = 1010;
inline constexpr int offLabel = 1011;
inline constexpr int bytesSentEdit = 1013;
inline constexpr int totalBytesLabel = 1014;
inline constexpr int bytesSentLabel = 1015;
inline constexpr int fileNameEdit = 1016;
inline constexpr int loadFileButton = 1017;
inline constexpr int identLineEdit = 1018;
inline constexpr int portLabel = 1019;
inline constexpr int portCombo = 1020;
inline constexpr int connectButton = 1021;
inline constexpr int speedLabel = 1022;
inline constexpr int speedCombo = 1023;
inline constexpr int resetButton = 1024;

// The system-menu command that opens the About box.
inline constexpr int aboutCommand = 16;

}  // namespace loader::ids
