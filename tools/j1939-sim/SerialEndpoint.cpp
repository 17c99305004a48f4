#include "SerialEndpoint.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace sim {

namespace {

std::runtime_error systemError(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

// Raw bytes at 115200 8N1, no flow control, no echo, no CR/LF translation.
void makeRawLine(int fd, const std::string& name) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) {
        throw systemError("cannot read the line settings of " + name);
    }
    cfmakeraw(&settings);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS | CSIZE);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    cfsetispeed(&settings, B115200);
    cfsetospeed(&settings, B115200);
    if (tcsetattr(fd, TCSANOW, &settings) != 0) {
        throw systemError("cannot set 115200 8N1 raw on " + name);
    }
}

}  // namespace

SerialEndpoint::SerialEndpoint(int fd, std::string devicePath, bool pseudoTerminal)
    : fd_(fd), devicePath_(std::move(devicePath)), pseudoTerminal_(pseudoTerminal) {}

SerialEndpoint::SerialEndpoint(SerialEndpoint&& other) noexcept
    : fd_(other.fd_),
      devicePath_(std::move(other.devicePath_)),
      pseudoTerminal_(other.pseudoTerminal_) {
    other.fd_ = -1;
}

SerialEndpoint::~SerialEndpoint() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

SerialEndpoint SerialEndpoint::openPseudoTerminal() {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) {
        throw systemError("cannot create a pseudo-terminal");
    }
    SerialEndpoint endpoint(master, {}, true);
    if (grantpt(master) != 0 || unlockpt(master) != 0) {
        throw systemError("cannot unlock the pseudo-terminal");
    }
    const char* slave = ptsname(master);
    if (slave == nullptr) {
        throw systemError("cannot name the pseudo-terminal");
    }
    endpoint.devicePath_ = slave;
    // The slave starts as a cooked terminal that would echo our own lines back to us and
    // turn CR into LF. Set it raw once; the setting stays while the master is open, and
    // the slave is closed again so that it behaves like a free serial port.
    int slaveFd = ::open(slave, O_RDWR | O_NOCTTY);
    if (slaveFd < 0) {
        throw systemError(std::string("cannot open ") + slave);
    }
    try {
        makeRawLine(slaveFd, slave);
    } catch (...) {
        ::close(slaveFd);
        throw;
    }
    ::close(slaveFd);
    if (fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK) != 0) {
        throw systemError("cannot make the pseudo-terminal non-blocking");
    }
    return endpoint;
}

SerialEndpoint SerialEndpoint::openDevice(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        if (errno == EACCES) {
            throw systemError("cannot open " + path +
                              " (is your user in the group that owns it, usually dialout?)");
        }
        throw systemError("cannot open " + path);
    }
    SerialEndpoint endpoint(fd, path, false);
    makeRawLine(fd, path);
    tcflush(fd, TCIOFLUSH);
    return endpoint;
}

bool SerialEndpoint::readAvailable(std::string& into) {
    char buffer[4096];
    for (;;) {
        ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got > 0) {
            into.append(buffer, static_cast<std::size_t>(got));
            continue;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        // EIO on a pty master: no process has the slave open.
        return !(got < 0 && errno == EIO && pseudoTerminal_);
    }
}

std::size_t SerialEndpoint::writeSome(const char* bytes, std::size_t count) {
    ssize_t written = ::write(fd_, bytes, count);
    return written > 0 ? static_cast<std::size_t>(written) : 0;
}

}  // namespace sim
