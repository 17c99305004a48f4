#pragma once
// What an unattended run watches: which phase it is in, whether the target has fallen silent
// after it first answered, and the progress figures it prints.

#include <cstdint>
#include <string>

namespace loader {

class BootLink;

enum class RunPhase { starting, identifying, erasing, writing };

RunPhase phaseOf(const BootLink& link);
// "identifying", "erasing", "writing" ("starting" before Connect).
const char* phaseName(RunPhase phase);

// Silence after the target's first answer. Before that answer nothing is a stall: a boot
// loader that has not been woken yet may take as long as the operator allows.
class StallWatch {
public:
    explicit StallWatch(std::uint64_t limitMs) : limitMs_(limitMs) {}

    // The target answered at `nowMs` (any monotonic millisecond count).
    void heard(std::uint64_t nowMs) {
        heardFrom_ = true;
        lastHeardMs_ = nowMs;
    }
    bool heardFrom() const { return heardFrom_; }
    bool stalled(std::uint64_t nowMs) const {
        return heardFrom_ && nowMs >= lastHeardMs_ && nowMs - lastHeardMs_ > limitMs_;
    }

private:
    std::uint64_t limitMs_;
    bool heardFrom_ = false;
    std::uint64_t lastHeardMs_ = 0;
};

// "writing  42%  3400 of 8000 bytes  20468 B/s  0:02 left"; the rate and time left are left
// out until a first millisecond has passed.
std::string progressLine(RunPhase phase, std::uint64_t done, std::uint64_t total,
                         std::uint64_t elapsedMs);
// How a run that ends now leaves the target, for the end of the message that says so: "the
// target was not touched" ("the boot loader did not answer; the target was not touched" while
// one is being woken and has never answered), "stopped while the flash was being erased:
// program the target again", "stopped at byte 9866 of 23053: program the target again".
std::string stopReason(const BootLink& link, bool heardFrom);
// "8000 bytes in 0.4 s, 20000 B/s"
std::string summaryLine(std::uint64_t bytes, std::uint64_t elapsedMs);
// Whole percent of done in total (0 for an empty total).
int percentOf(std::uint64_t done, std::uint64_t total);

}  // namespace loader
