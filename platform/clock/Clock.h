#pragma once
// The millisecond clock and the short blocking pauses of the senders. A pause blocks the
// calling (window) thread: no other event of the window is handled while it lasts.

#include <cstdint>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    // A 32-bit millisecond counter; it wraps like the system tick count.
    virtual std::uint32_t milliseconds() = 0;
    // Blocks for at least `ms` milliseconds.
    virtual void pause(std::uint32_t ms) = 0;
};

// The real clock: steady time since the process started; pauses sleep.
class SystemClock : public Clock {
public:
    std::uint32_t milliseconds() override;
    void pause(std::uint32_t ms) override;
    static SystemClock& instance();
};

}  // namespace platform
