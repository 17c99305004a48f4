#pragma once
// The progress of a run over several ports on standard error: one line per port (port and
// device, phase, percent, rate). On a terminal the block of lines is rewritten in place and
// every line fits the terminal's width; in a log a port gets a new line at every 10 % of its
// phase, and when it ends.

#include <QString>
#include <QStringList>
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
    // What follows the port on its line: "writing   42%  ...", "programmed  ...", "failed: ...".
    static QString figuresOf(const BoardRun& board);

    // A port's line before fitting: its label ("/dev/serial/by-id/... (/dev/ttyUSB0)"), the
    // shorter form used when space is short (a device path given without the device it
    // names), and its figures.
    struct Row {
        QString label;
        QString compact;
        QString figures;
        bool failed = false;
    };
    // The block for a terminal where a line may fill `columns`: the labels in one column,
    // shortened from the left ("…A50285BI-if00-port0") when the figures would not fit
    // otherwise, then every line cut at `columns`. `labelWidth` carries the column's width
    // from one redraw to the next (-1 at first): it only narrows, so the figures keep their
    // place as the run goes on. A failure's reason does not narrow it; it is cut instead.
    static QStringList fitBlock(const std::vector<Row>& rows, int columns, int& labelWidth);

private:
    struct Shown {
        RunPhase phase = RunPhase::starting;
        int step = -1;
        bool ended = false;
    };

    bool terminal_;
    std::FILE* out_;
    int linesDrawn_ = 0;
    int labelWidth_ = -1;
    std::vector<Shown> shown_;
};

}  // namespace loader::cli
