#include "loader/cli/GangProgress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>

#include "loader/cli/BoardRun.h"

namespace loader::cli {

namespace {

// In a log, a port gets a new line at every step of this many percent.
constexpr int logStepPercent = 10;

// The terminal's width: a line that wrapped would throw the rewrite of the block off by a line.
int terminalColumns(std::FILE* out) {
    winsize size{};
    if (::ioctl(::fileno(out), TIOCGWINSZ, &size) == 0 && size.ws_col > 1) {
        return size.ws_col;
    }
    return 80;
}

}  // namespace

GangProgress::GangProgress(bool terminal, std::FILE* out) : terminal_(terminal), out_(out) {}

QString GangProgress::lineOf(const BoardRun& board, int labelWidth) {
    const QString label = board.label().leftJustified(labelWidth);
    switch (board.result()) {
        case BoardRun::Result::programmed:
            return label + "  programmed  " +
                   QString::fromStdString(loader::summaryLine(
                       board.bytesSent(), static_cast<std::uint64_t>(board.phaseMs())));
        case BoardRun::Result::failed:
            return label + "  failed: " + board.reason();
        case BoardRun::Result::running:
            break;
    }
    const RunPhase phase = board.phase();
    if (phase == RunPhase::erasing || phase == RunPhase::writing) {
        return label + "  " +
               QString::fromStdString(loader::progressLine(
                   phase, board.done(), board.total(),
                   static_cast<std::uint64_t>(std::max<qint64>(board.phaseMs(), 0))));
    }
    return label + "  " +
           (phase == RunPhase::identifying ? QStringLiteral("waiting for the boot loader")
                                           : QStringLiteral("starting"));
}

void GangProgress::show(const std::vector<std::unique_ptr<BoardRun>>& boards) {
    int labelWidth = 0;
    for (const auto& board : boards) {
        labelWidth = std::max(labelWidth, static_cast<int>(board->label().size()));
    }
    if (terminal_) {
        if (linesDrawn_ > 0) {
            std::fprintf(out_, "\033[%dA", linesDrawn_);
        }
        const int columns = terminalColumns(out_) - 1;
        for (const auto& board : boards) {
            const QString line = lineOf(*board, labelWidth).left(columns);
            // "\r" and clear to the end: the new line may be shorter than the old one.
            std::fprintf(out_, "\r%s\033[K\n",
                         lineOf(*board, labelWidth).toLocal8Bit().constData());
        }
        linesDrawn_ = static_cast<int>(boards.size());
        std::fflush(out_);
        return;
    }
    shown_.resize(boards.size());
    for (std::size_t i = 0; i < boards.size(); ++i) {
        const BoardRun& board = *boards[i];
        Shown& was = shown_[i];
        bool print = false;
        if (board.result() != BoardRun::Result::running) {
            print = !was.ended;
            was.ended = true;
        } else if (board.phase() != was.phase) {
            was.phase = board.phase();
            was.step = -1;
            print = was.phase != RunPhase::starting;
        }
        if (!was.ended && (was.phase == RunPhase::erasing || was.phase == RunPhase::writing)) {
            const int step = loader::percentOf(board.done(), board.total()) / logStepPercent;
            print = print || step != was.step;
            was.step = step;
        }
        if (print) {
            std::fprintf(out_, "%s\n", lineOf(board, labelWidth).toLocal8Bit().constData());
        }
    }
    std::fflush(out_);
}

}  // namespace loader::cli
