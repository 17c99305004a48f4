#pragma once
// Opening COMn for a program's line, the same way in both programs: whatever was open is
// closed and the port is opened; then the line settings are given, every arrival raises the
// receive event in binary mode with all waiting bytes taken at once, and what arrived before
// this moment is thrown away, being no answer to anything sent from now on.

#include <functional>
#include <string>

#include "platform/serial/SerialControl.h"

namespace platform {

inline constexpr int binaryInputMode = 1;
inline constexpr int eventPerArrival = 1;
inline constexpr int readEverything = 0;

// Returns whether the port was opened. `stillOpen` is called instead when the control still
// reports a port open after it was asked to close it. Serial errors pass through.
bool openComPort(SerialControl& serial, int portNumber, const std::function<void()>& stillOpen);

// Given after openComPort, whether it opened the port or not.
void applyLineSettings(SerialControl& serial, const std::string& settings);

}  // namespace platform
