#include "platform/core/DeviceAccess.h"

#include <grp.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

std::string deviceGroupName(const std::string& device) {
    struct stat status {};
    if (stat(device.c_str(), &status) != 0) {
        return {};
    }
    if (const group* entry = getgrgid(status.st_gid); entry && entry->gr_name) {
        return entry->gr_name;
    }
    return std::to_string(status.st_gid);
}

bool permissionAllowsReadWrite(const std::string& device) {
    return access(device.c_str(), R_OK | W_OK) == 0 || (errno != EACCES && errno != EPERM);
}

bool isPseudoTerminal(const std::string& device) {
    // UNIX98 pty slaves have majors 136 to 143.
    struct stat status {};
    if (stat(device.c_str(), &status) != 0 || !S_ISCHR(status.st_mode)) {
        return false;
    }
    const unsigned deviceMajor = major(status.st_rdev);
    return deviceMajor >= 136 && deviceMajor <= 143;
}

bool requestLowLatency(int fileDescriptor) {
    serial_struct serial{};
    if (ioctl(fileDescriptor, TIOCGSERIAL, &serial) != 0) {
        return false;
    }
    if (serial.flags & ASYNC_LOW_LATENCY) {
        return true;
    }
    serial.flags |= ASYNC_LOW_LATENCY;
    return ioctl(fileDescriptor, TIOCSSERIAL, &serial) == 0;
}

}  // namespace platform
