#include "platform/serial/SerialErrorText.h"

namespace platform {

namespace {

std::string com(int port) {
    return "COM" + std::to_string(port);
}

}  // namespace

std::string portLabel(int port, const std::string& device) {
    if (port <= 0) {
        return device;
    }
    return device.empty() ? com(port) : com(port) + " (" + device + ")";
}

std::string noDeviceText(int port, const ComPortMapping& mapping,
                         const std::filesystem::path& folder) {
    std::string linkName = "com" + std::to_string(port);
    std::string howToMap = "ln -s /dev/serial/by-id/<adapter> " + displayPath(folder / linkName);
    switch (mapping.source) {
        case ComPortMapping::Source::link:
            return "Cannot open " + com(port) + ": its link " + displayPath(mapping.link) +
                   " points to " + mapping.device +
                   ", which does not exist. Plug the adapter in, or point the link at the "
                   "right device.";
        case ComPortMapping::Source::system:
            return "Cannot open " + portLabel(port, mapping.device) +
                   ": the device has gone. Plug the adapter in again, or map " + com(port) +
                   " by hand: " + howToMap;
        case ComPortMapping::Source::none:
            break;
    }
    return "Cannot open " + com(port) + ": there is no serial device for " + com(port) +
           ". Plug the adapter in, or map " + com(port) + " to a device with a link in " +
           displayPath(folder) + ": " + howToMap;
}

std::string permissionDeniedText(int port, const std::string& device, const std::string& group) {
    std::string text = "Cannot open " + portLabel(port, device) + ": permission denied. ";
    if (group.empty() || group == "root") {
        return text + "Ask the administrator for read and write access to " + device + ".";
    }
    return text + "Add your user to the group \"" + group +
           "\" that owns the device (sudo usermod -aG " + group +
           " $USER), then log out and in again.";
}

std::string busyText(int port, const std::string& device, const std::string& detail) {
    return "Cannot open " + portLabel(port, device) + ": the port is in use by another program (" +
           detail + "). Close that program and try again.";
}

std::string alreadyOpenText(int port, const std::string& device) {
    return "Cannot open " + portLabel(port, device) + ": the port is already open.";
}

std::string notOpenText(int port) {
    return "Cannot send on " + com(port) + ": port is not open.";
}

std::string openFailedText(int port, const std::string& device, const std::string& detail) {
    return "Cannot open " + portLabel(port, device) + ": " + detail + ".";
}

std::string settingsRefusedText(int port, const std::string& device, const std::string& settings,
                                const std::string& detail) {
    return portLabel(port, device) + " does not accept the settings \"" + settings +
           "\": " + detail + ".";
}

std::string portLostText(int port, const std::string& device) {
    return "Cannot send on " + portLabel(port, device) +
           ": the device has gone (adapter unplugged or far end closed).";
}

std::string notSerialPortText(int port, const std::string& device, const std::string& kind) {
    return "Cannot open " + portLabel(port, device) + ": " + device +
           " is not a serial port (it is " + kind + ").";
}

std::string linkLoopText(int port, const std::string& path) {
    return "Cannot open " + (port > 0 ? com(port) : path) + ": " + path +
           " is a loop of symbolic links that never reaches a device. Point it at the adapter.";
}

std::string missingDeviceText(int port, const std::string& path) {
    return "Cannot open " + (port > 0 ? com(port) : path) + ": " + path +
           " does not exist. Plug the adapter in, or name the right device.";
}

std::string lockedByText(int port, const std::string& device, const std::string& lockFile,
                         long pid) {
    return "Cannot open " + portLabel(port, device) +
           ": the port is in use by another program (process " + std::to_string(pid) +
           ", lock file " + lockFile + "). Close that program and try again.";
}

std::string staleLockText(int port, const std::string& device, const std::string& lockFile,
                          long pid) {
    return "Cannot open " + portLabel(port, device) + ": the lock file " + lockFile +
           " was left by process " + std::to_string(pid) +
           ", which has ended, and this user may not remove it. Remove it (sudo rm " + lockFile +
           ") and try again.";
}

}  // namespace platform
