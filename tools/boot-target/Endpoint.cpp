#include "Endpoint.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace boot_target {

namespace {

std::string reason() {
    return std::strerror(errno);
}

void makeRaw(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) == 0) {
        cfmakeraw(&t);
        t.c_cc[VMIN] = 1;
        t.c_cc[VTIME] = 0;
        tcsetattr(fd, TCSANOW, &t);
    }
}

speed_t speedConstant(int speed) {
    switch (speed) {
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        case 230400:
            return B230400;
        case 460800:
            return B460800;
        case 921600:
            return B921600;
        default:
            return B0;
    }
}

}  // namespace

Endpoint::~Endpoint() {
    close();
}

bool Endpoint::openPseudoTerminal(std::string& error) {
    fd_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (fd_ < 0 || grantpt(fd_) != 0 || unlockpt(fd_) != 0) {
        error = "cannot create a pseudo-terminal: " + reason();
        return false;
    }
    const char* slave = ptsname(fd_);
    if (slave == nullptr) {
        error = "cannot name the pseudo-terminal: " + reason();
        return false;
    }
    name_ = slave;
    pseudoTerminal_ = true;
    // Raw on the slave side, so nothing the loader sends is echoed or rewritten by the
    // line discipline; the loader sets raw mode too, this only covers the time before.
    int s = ::open(slave, O_RDWR | O_NOCTTY);
    if (s >= 0) {
        makeRaw(s);
        ::close(s);
    }
    makeRaw(fd_);
    fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) | O_NONBLOCK);
    return true;
}

bool Endpoint::openDevice(const std::string& path, int speed, std::string& error) {
    speed_t constant = speedConstant(speed);
    if (constant == B0) {
        error = "unsupported speed " + std::to_string(speed);
        return false;
    }
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) {
        error = "cannot open " + path + ": " + reason();
        return false;
    }
    termios t{};
    if (tcgetattr(fd_, &t) != 0) {
        error = path + " is not a serial device: " + reason();
        return false;
    }
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&t, constant);
    cfsetospeed(&t, constant);
    if (tcsetattr(fd_, TCSANOW, &t) != 0) {
        error = "cannot set up " + path + ": " + reason();
        return false;
    }
    name_ = path;
    return true;
}

bool Endpoint::createLink(const std::string& linkPath, std::string& error) {
    std::error_code ec;
    std::filesystem::path link(linkPath);
    if (link.has_parent_path()) {
        std::filesystem::create_directories(link.parent_path(), ec);
    }
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(link, ec))) {
        std::filesystem::remove(link, ec);
    }
    if (::symlink(name_.c_str(), linkPath.c_str()) != 0) {
        error = "cannot create the link " + linkPath + ": " + reason();
        return false;
    }
    link_ = linkPath;
    return true;
}

void Endpoint::close() {
    if (!link_.empty()) {
        ::unlink(link_.c_str());
        link_.clear();
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

std::string portMapFolder() {
    if (const char* dir = std::getenv("COMPORTS_DIR"); dir != nullptr && *dir != '\0') {
        return dir;
    }
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config != '\0') {
        return std::string(config) + "/comports";
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : ".") + "/.config/comports";
}

}  // namespace boot_target
