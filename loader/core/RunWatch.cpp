#include "loader/core/RunWatch.h"

#include <cstdio>

#include "loader/core/BootLink.h"

namespace loader {

namespace {

std::string minutesAndSeconds(std::uint64_t seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%llu:%02llu", static_cast<unsigned long long>(seconds / 60),
                  static_cast<unsigned long long>(seconds % 60));
    return text;
}

}  // namespace

RunPhase phaseOf(const BootLink& link) {
    if (link.connecting()) {
        return RunPhase::identifying;
    }
    if (link.writing()) {
        return RunPhase::writing;
    }
    if (link.programming()) {
        return RunPhase::erasing;
    }
    return RunPhase::starting;
}

const char* phaseName(RunPhase phase) {
    switch (phase) {
        case RunPhase::identifying:
            return "identifying";
        case RunPhase::erasing:
            return "erasing";
        case RunPhase::writing:
            return "writing";
        case RunPhase::starting:
            break;
    }
    return "starting";
}

int percentOf(std::uint64_t done, std::uint64_t total) {
    if (total == 0) {
        return 0;
    }
    return static_cast<int>((done > total ? total : done) * 100 / total);
}

std::string progressLine(RunPhase phase, std::uint64_t done, std::uint64_t total,
                         std::uint64_t elapsedMs) {
    char head[96];
    const char* unit = phase == RunPhase::writing ? " bytes" : "";
    std::snprintf(head, sizeof head, "%-8s %3d%%  %llu of %llu%s", phaseName(phase),
                  percentOf(done, total), static_cast<unsigned long long>(done),
                  static_cast<unsigned long long>(total), unit);
    std::string line = head;
    if (elapsedMs == 0 || done == 0) {
        return line;
    }
    const std::uint64_t perSecond = done * 1000 / elapsedMs;
    if (phase == RunPhase::writing) {
        line += "  " + std::to_string(perSecond) + " B/s";
    }
    if (perSecond > 0 && done <= total) {
        line += "  " + minutesAndSeconds((total - done + perSecond - 1) / perSecond) + " left";
    }
    return line;
}

std::string summaryLine(std::uint64_t bytes, std::uint64_t elapsedMs) {
    char text[96];
    const std::uint64_t perSecond = elapsedMs > 0 ? bytes * 1000 / elapsedMs : bytes;
    std::snprintf(text, sizeof text, "%llu bytes in %.1f s, %llu B/s",
                  static_cast<unsigned long long>(bytes), static_cast<double>(elapsedMs) / 1000.0,
                  static_cast<unsigned long long>(perSecond));
    return text;
}

std::string stopReason(const BootLink& link, bool heardFrom) {
    if (!link.programming()) {
        if (link.connecting() && !heardFrom) {
            return "the boot loader did not answer; the target was not touched";
        }
        return "the target was not touched";
    }
    if (!link.writing()) {
        return "stopped while the flash was being erased: program the target again";
    }
    return "stopped at byte " + std::to_string(link.sentCount()) + " of " +
           std::to_string(link.imageLength()) + ": program the target again";
}

}  // namespace loader
