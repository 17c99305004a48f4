#include "terminal/link/LineCounters.h"

namespace terminal {

void LineCounters::goodLine(std::uint32_t nowMs) {
    ++goodLines_;
    lastGoodMs_ = nowMs;
}

void LineCounters::badChecksumLine() {
    ++badChecksumLines_;
}

void LineCounters::connected() {
    badChecksumLines_ = 0;
}

LineStatistics LineCounters::sample(std::uint32_t nowMs) {
    LineStatistics figures;
    figures.badChecksumLines = badChecksumLines_;
    if (lastGoodMs_) {
        figures.msSinceGoodLine = static_cast<std::uint32_t>(nowMs - *lastGoodMs_);
    }
    if (sampledMs_) {
        const auto elapsed = static_cast<std::uint32_t>(nowMs - *sampledMs_);
        if (elapsed > 0) {
            figures.goodLinesPerSecond =
                static_cast<double>(goodLines_ - goodLinesAtSample_) * 1000.0 / elapsed;
        }
    }
    sampledMs_ = nowMs;
    goodLinesAtSample_ = goodLines_;
    return figures;
}

}  // namespace terminal
