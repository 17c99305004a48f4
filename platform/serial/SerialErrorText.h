#pragma once
// The operator's texts for what the serial layer refuses: each names the COM port and the
// device, and says what to do where there is something to do.

#include "platform/serial/PortMap.h"

#include <string>

namespace platform {

// "COM3", or "COM3 (/dev/ttyUSB0)" when the device is known. Port 0 stands for a device
// named by its path, which is then the whole label.
std::string portLabel(int port, const std::string& device);

std::string noDeviceText(int port, const ComPortMapping& mapping,
                         const std::filesystem::path& folder);
// `group` is the device's owning group; empty when it could not be found out.
std::string permissionDeniedText(int port, const std::string& device, const std::string& group);
std::string busyText(int port, const std::string& device, const std::string& detail);
std::string alreadyOpenText(int port, const std::string& device);
std::string notOpenText(int port);
std::string openFailedText(int port, const std::string& device, const std::string& detail);
std::string settingsRefusedText(int port, const std::string& device, const std::string& settings,
                                const std::string& detail);
std::string portLostText(int port, const std::string& device);
// `kind` as notSerialPortKind() gives it.
std::string notSerialPortText(int port, const std::string& device, const std::string& kind);
std::string linkLoopText(int port, const std::string& path);
std::string missingDeviceText(int port, const std::string& path);
// A lock file left by process `pid`: still running, or ended with a file this user cannot
// remove.
std::string lockedByText(int port, const std::string& device, const std::string& lockFile,
                         long pid);
std::string staleLockText(int port, const std::string& device, const std::string& lockFile,
                          long pid);

}  // namespace platform
