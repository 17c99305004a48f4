#include "Clock.h"

#include <chrono>
#include <thread>

namespace platform {

namespace {
const auto processStart = std::chrono::steady_clock::now();
}

std::uint32_t SystemClock::milliseconds() {
    auto elapsed = std::chrono::steady_clock::now() - processStart;
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void SystemClock::pause(std::uint32_t ms) {
    // Sleeping rather than spinning: the thread is blocked either way, but the CPU is not.
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

SystemClock& SystemClock::instance() {
    static SystemClock clock;
    return clock;
}

}  // namespace platform
