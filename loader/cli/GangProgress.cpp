#include "loader/cli/GangProgress.h"

#include <algorithm>

#include "loader/cli/BoardRun.h"
#include "loader/cli/TerminalWidth.h"

namespace loader::cli {

namespace {

// In a log, a port gets a new line at every step of this many percent.
constexpr int logStepPercent = 10;
// The label column never narrows below this: "…" and a port's last characters.
constexpr int narrowestLabel = 12;
const QString separator = QStringLiteral("  ");

qsizetype longestOf(const std::vector<GangProgress::Row>& rows, QString GangProgress::Row::*field,
                    bool runningOnly) {
    qsizetype longest = 0;
    for (const auto& row : rows) {
        if (!runningOnly || !row.failed) {
            longest = std::max(longest, (row.*field).size());
        }
    }
    return longest;
}

}  // namespace

GangProgress::GangProgress(bool terminal, std::FILE* out) : terminal_(terminal), out_(out) {}

QString GangProgress::figuresOf(const BoardRun& board) {
    switch (board.result()) {
        case BoardRun::Result::programmed:
            return "programmed  " +
                   QString::fromStdString(loader::summaryLine(
                       board.bytesSent(), static_cast<std::uint64_t>(board.phaseMs())));
        case BoardRun::Result::failed:
            return "failed: " + board.reason();
        case BoardRun::Result::running:
            break;
    }
    const RunPhase phase = board.phase();
    if (phase == RunPhase::erasing || phase == RunPhase::writing) {
        return QString::fromStdString(
            loader::progressLine(phase, board.done(), board.total(),
                                 static_cast<std::uint64_t>(std::max<qint64>(board.phaseMs(), 0))));
    }
    return phase == RunPhase::identifying ? QStringLiteral("waiting for the boot loader")
                                          : QStringLiteral("starting");
}

QString GangProgress::lineOf(const BoardRun& board, int labelWidth) {
    return board.label().leftJustified(labelWidth) + separator + figuresOf(board);
}

QStringList GangProgress::fitBlock(const std::vector<Row>& rows, int columns, int& labelWidth) {
    const auto full = static_cast<int>(longestOf(rows, &Row::label, false));
    const auto figures = static_cast<int>(longestOf(rows, &Row::figures, true));
    const int room =
        std::max(narrowestLabel, columns - static_cast<int>(separator.size()) - figures);
    int width = full;
    if (full > room) {
        width = std::min(static_cast<int>(longestOf(rows, &Row::compact, false)), room);
    }
    labelWidth = labelWidth < 0 ? width : std::min(labelWidth, width);
    const bool compact = labelWidth < full;
    QStringList lines;
    for (const Row& row : rows) {
        const QString label = shortenedFromLeft(compact ? row.compact : row.label, labelWidth);
        lines << (label.leftJustified(labelWidth) + separator + row.figures).left(columns);
    }
    return lines;
}

void GangProgress::show(const std::vector<std::unique_ptr<BoardRun>>& boards) {
    if (terminal_) {
        std::vector<Row> rows;
        for (const auto& board : boards) {
            rows.push_back({board->label(), board->compactLabel(), figuresOf(*board),
                            board->result() == BoardRun::Result::failed});
        }
        if (linesDrawn_ > 0) {
            std::fprintf(out_, "\033[%dA", linesDrawn_);
        }
        for (const QString& line : fitBlock(rows, usableColumns(out_), labelWidth_)) {
            // "\r" and clear to the end: the new line may be shorter than the old one.
            std::fprintf(out_, "\r%s\033[K\n", line.toLocal8Bit().constData());
        }
        linesDrawn_ = static_cast<int>(boards.size());
        std::fflush(out_);
        return;
    }
    int labelWidth = 0;
    for (const auto& board : boards) {
        labelWidth = std::max(labelWidth, static_cast<int>(board->label().size()));
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
