#pragma once
// Which device a COM name reaches now, and what the system knows of it (USB maker, product
// and serial number), for the port list and the status bar. Looked up afresh at every call,
// so an adapter plugged in meanwhile is found.

#include <QString>

namespace terminal::ui {

// What the system knows of a serial device: "FTDI FT232R USB UART A10K1234"; empty when it
// knows nothing more than the name (a pseudo-terminal, an on-board port without a description).
QString deviceDescription(const QString& devicePath);

// The device and its description: "/dev/ttyUSB0, FTDI FT232R USB UART A10K1234".
QString deviceSummary(const QString& devicePath);

// What COMn reaches: "/dev/ttyUSB0, FTDI FT232R USB UART A10K1234", "/dev/ttyUSB1 (missing)"
// for a link whose device is not there, "no device" when the name reaches nothing.
QString portReach(int portNumber);

}  // namespace terminal::ui
