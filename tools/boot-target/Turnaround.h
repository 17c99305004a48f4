#pragma once
// The host's turnaround per image byte: from our echo leaving to the next byte arriving.
// This is what paces a download: the loader sends a byte only after the previous echo.

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace boot_target {

class Turnaround {
public:
    using Clock = std::chrono::steady_clock;

    void echoSent(Clock::time_point at) {
        lastEcho_ = at;
        pending_ = true;
    }
    void byteArrived(Clock::time_point at) {
        if (pending_) {
            samples_.push_back(std::chrono::duration<double, std::micro>(at - lastEcho_).count());
            pending_ = false;
        }
    }
    // A new session: the first byte after a start echo is not a turnaround.
    void reset() { pending_ = false; }

    std::size_t count() const { return samples_.size(); }
    // "median 52 us, p99 210 us (65535 samples)", or a note that there were none.
    std::string summary() const;

private:
    std::vector<double> samples_;
    Clock::time_point lastEcho_{};
    bool pending_ = false;
};

}  // namespace boot_target
