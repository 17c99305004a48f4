#include "platform/serial/DeviceAccess.h"

#include <grp.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

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

std::string notSerialPortKind(const std::string& device) {
    struct stat status {};
    if (stat(device.c_str(), &status) != 0) {
        return {};
    }
    if (S_ISREG(status.st_mode)) {
        return "a regular file";
    }
    if (S_ISDIR(status.st_mode)) {
        return "a folder";
    }
    if (S_ISFIFO(status.st_mode)) {
        return "a pipe (FIFO)";
    }
    if (S_ISSOCK(status.st_mode)) {
        return "a socket";
    }
    if (S_ISBLK(status.st_mode)) {
        return "a block device";
    }
    // Character devices that sysfs files under a class other than tty (/dev/null is "mem").
    // Pseudo-terminals have no entry there and pass.
    const std::string entry = "/sys/dev/char/" + std::to_string(major(status.st_rdev)) + ":" +
                              std::to_string(minor(status.st_rdev)) + "/subsystem";
    std::error_code error;
    const std::filesystem::path subsystem = std::filesystem::read_symlink(entry, error);
    if (!error && subsystem.filename() != "tty") {
        return "a character device that is not a terminal";
    }
    return {};
}

std::string serialLockFilePath(const std::string& device) {
    static const char* const folders[] = {"/var/lock",         "/etc/locks", "/var/spool/locks",
                                          "/var/spool/uucp",   "/tmp",       "/var/tmp",
                                          "/var/lock/lockdev", "/run/lock"};
    std::string name = device;
    constexpr std::string_view dev = "/dev/";
    if (name.compare(0, dev.size(), dev) == 0) {
        name.erase(0, dev.size());
    }
    for (char& c : name) {
        if (c == '/') {
            c = '_';
        }
    }
    for (const char* folder : folders) {
        const std::string file = std::string(folder) + "/LCK.." + name;
        if (access(folder, R_OK) != 0) {
            continue;
        }
        if (access(file.c_str(), F_OK) == 0 || access(folder, W_OK) == 0) {
            return file;
        }
    }
    return {};
}

long lockOwner(const std::string& lockFile) {
    std::ifstream in(lockFile);
    long pid = 0;
    if (!(in >> pid) || pid <= 0) {
        return 0;
    }
    return pid;
}

bool processRunning(long pid) {
    return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

bool removeStaleLock(const std::string& lockFile) {
    const long pid = lockOwner(lockFile);
    if (pid == 0 || processRunning(pid)) {
        return false;
    }
    return unlink(lockFile.c_str()) == 0;
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
