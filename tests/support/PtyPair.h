#pragma once
// A pseudo-terminal pair for serial tests: the test holds the master, the code under test
// opens the slave as if it were a serial device.

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cerrno>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// Runs the event loop until `done` holds or `limitMs` passes; answers `done()`.
inline bool waitUntil(const std::function<bool()>& done, int limitMs = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < limitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

// Keeps the event loop running for a while, for checks that something does NOT happen.
inline void runEventsFor(int ms) {
    waitUntil([] { return false; }, ms);
}

class PtyPair {
public:
    PtyPair() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) {
            slavePath_ = ptsname(master_);
        }
    }
    ~PtyPair() { closeMaster(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool valid() const { return master_ >= 0 && !slavePath_.empty(); }
    const std::string& slavePath() const { return slavePath_; }
    int masterFd() const { return master_; }

    void closeMaster() {
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }

    // Writes everything, running the event loop while the pty buffer is full so the reader
    // on this same thread can drain it. False when the limit passed first.
    bool writeAll(const std::vector<std::uint8_t>& bytes, int limitMs = 5000) {
        std::size_t sent = 0;
        return waitUntil(
            [&] {
                while (sent < bytes.size()) {
                    ssize_t n = ::write(master_, bytes.data() + sent, bytes.size() - sent);
                    if (n <= 0) {
                        return false;
                    }
                    sent += static_cast<std::size_t>(n);
                }
                return true;
            },
            limitMs);
    }

    // Reads from the master until `count` bytes have come or the limit passed.
    std::vector<std::uint8_t> read(std::size_t count, int limitMs = 5000) {
        std::vector<std::uint8_t> received;
        waitUntil(
            [&] {
                std::uint8_t chunk[1024];
                ssize_t n;
                while (received.size() < count && (n = ::read(master_, chunk, sizeof chunk)) > 0) {
                    received.insert(received.end(), chunk, chunk + n);
                }
                return received.size() >= count;
            },
            limitMs);
        return received;
    }

private:
    int master_ = -1;
    std::string slavePath_;
};

}  // namespace testing_support
