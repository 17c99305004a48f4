// The machine's own floor for a byte-echo link over a pseudo-terminal, which no program on it
// can beat: two processes, one byte each way, nothing else. The loader's figures in
// scripts/bench are shown as ratios to what this measures in the same run, so a busy or slow
// machine moves both alike.
//
//   pty_floor [--pace-ns N] [--count N]
//
// The echo side answers each byte at once, or with --pace-ns first waits N ns (173600 for one
// 115200-baud byte time each way), spinning to the deadline as boot-target --pace does. Prints
// one JSON object: median and 99th percentile round trip in microseconds, and round trips per
// second over the whole run.

#include <fcntl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "pty_floor: %s: %s\n", what, std::strerror(errno));
    std::exit(1);
}

void makeRaw(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) {
        fail("tcgetattr");
    }
    cfmakeraw(&t);
    if (tcsetattr(fd, TCSANOW, &t) != 0) {
        fail("tcsetattr");
    }
}

bool readByte(int fd, unsigned char& byte) {
    for (;;) {
        const ssize_t n = ::read(fd, &byte, 1);
        if (n == 1) {
            return true;
        }
        if (n == 0 || errno != EINTR) {
            return false;
        }
    }
}

void writeByte(int fd, unsigned char byte) {
    while (::write(fd, &byte, 1) != 1) {
        if (errno != EINTR) {
            fail("write");
        }
    }
}

// The echo side: answers every byte until the line closes.
[[noreturn]] void echo(int fd, long long paceNs) {
    unsigned char byte = 0;
    while (readByte(fd, byte)) {
        if (paceNs > 0) {
            const auto deadline = Clock::now() + std::chrono::nanoseconds(paceNs);
            while (Clock::now() < deadline) {
            }
        }
        writeByte(fd, byte);
    }
    std::_Exit(0);
}

double at(const std::vector<double>& sorted, double q) {
    const auto index = static_cast<std::size_t>(std::ceil(q * double(sorted.size()))) - 1;
    return sorted[std::min(index, sorted.size() - 1)];
}

long long numberAfter(int& i, int argc, char** argv) {
    if (i + 1 >= argc) {
        std::fprintf(stderr, "pty_floor: %s needs a number\n", argv[i]);
        std::exit(2);
    }
    char* end = nullptr;
    const long long value = std::strtoll(argv[++i], &end, 10);
    if (*end != '\0' || value < 0) {
        std::fprintf(stderr, "pty_floor: not a number: %s\n", argv[i]);
        std::exit(2);
    }
    return value;
}

}  // namespace

int main(int argc, char** argv) {
    long long paceNs = 0;
    long long count = 20000;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--pace-ns") == 0) {
            paceNs = numberAfter(i, argc, argv);
        } else if (std::strcmp(argv[i], "--count") == 0) {
            count = std::max(1LL, numberAfter(i, argc, argv));
        } else {
            std::fprintf(stderr, "usage: pty_floor [--pace-ns N] [--count N]\n");
            return 2;
        }
    }

    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        fail("posix_openpt");
    }
    const char* name = ptsname(master);
    if (name == nullptr) {
        fail("ptsname");
    }
    const int slave = ::open(name, O_RDWR | O_NOCTTY);
    if (slave < 0) {
        fail("open slave");
    }
    makeRaw(slave);
    makeRaw(master);

    const pid_t child = fork();
    if (child < 0) {
        fail("fork");
    }
    if (child == 0) {
        ::close(master);
        echo(slave, paceNs);
    }
    ::close(slave);

    // A few round trips first, so both processes are running and their pages are in.
    unsigned char byte = 0;
    for (int i = 0; i < 100; ++i) {
        writeByte(master, byte);
        if (!readByte(master, byte)) {
            fail("read");
        }
    }
    std::vector<double> trips;
    trips.reserve(static_cast<std::size_t>(count));
    const auto begin = Clock::now();
    for (long long i = 0; i < count; ++i) {
        // The whole round trip, both writes included. (boot-target starts its turnaround clock
        // after its echo's write has returned, so it leaves one write out.)
        const auto sent = Clock::now();
        writeByte(master, static_cast<unsigned char>(i));
        if (!readByte(master, byte)) {
            fail("read");
        }
        trips.push_back(std::chrono::duration<double, std::micro>(Clock::now() - sent).count());
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
    ::close(master);
    waitpid(child, nullptr, 0);

    std::sort(trips.begin(), trips.end());
    std::printf(
        "{\"pace_ns\": %lld, \"count\": %lld, \"median_us\": %.1f, \"p99_us\": %.1f, "
        "\"round_trips_per_s\": %.0f}\n",
        paceNs, count, at(trips, 0.5), at(trips, 0.99), double(count) / seconds);
    return 0;
}
