#pragma once
// The progress of a run over several ports on standard error: one line per port (port and
// device, phase, percent, rate). On a terminal the block of lines is rewritten in place; in a
// log a port gets a new line at every 10 % of its phase, and when it ends.

#include <QString>
#include <cstdio>
#include <memory>
#include <vector>

#include "loader/core/RunWatch.h"

namespace loader::cli {

class BoardRun;

class GangProgress {
public:
    GangProgress(bool terminal, std::FILE* out);

    // Shows the boards as they are now.
    void show(const std::vector<std::unique_ptr<BoardRun>>& boards);
    // Whether failures are shown in the block (and so are printed once it is closed).
    bool rewritesInPlace() const { return terminal_; }

    // One port's line: "COM3 (/dev/ttyUSB0)  writing   42%  3400 of 8000 bytes  20468 B/s ..."
    static QString lineOf(const BoardRun& board, int labelWidth);

private:
    struct Shown {
        RunPhase phase = RunPhase::starting;
        int step = -1;
        bool ended = false;
    };

    bool terminal_;
    std::FILE* out_;
    int linesDrawn_ = 0;
    std::vector<Shown> shown_;
};

}  // namespace loader::cli
