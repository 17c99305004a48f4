#include "loader/cli/GangProgram.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>

#include "loader/cli/BoardRun.h"
#include "loader/cli/TerminalWidth.h"
#include "loader/core/BootLink.h"

namespace loader::cli {

namespace {

constexpr int tickMs = 100;
constexpr qint64 nanosPerMs = 1'000'000;

void printError(const QString& text) {
    std::fprintf(stderr, "bootloader: %s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

}  // namespace

GangProgram::GangProgram(const Settings& settings, QObject* parent)
    : QObject(parent),
      settings_(settings),
      progress_(::isatty(STDERR_FILENO) == 1, stderr),
      // Started before any board's clock, so every board's seconds fit between the report's
      // start and end; the image's facts are taken when the run starts.
      report_(ImageFacts{}, QDateTime::currentDateTimeUtc()) {
    BoardRun::Settings board;
    board.speed = settings_.speed;
    board.stallSeconds = settings_.stallSeconds;
    board.hexCheck = settings_.hexCheck;
    std::uint32_t salt = 0;
    for (const QString& port : settings_.ports) {
        boards_.push_back(std::make_unique<BoardRun>(port, settings_.imagePath, ++salt, board));
        connect(boards_.back().get(), &BoardRun::finished, this, &GangProgram::onBoardFinished);
    }
    resetPacer_.setTimerType(Qt::PreciseTimer);
    resetPacer_.setInterval(1);
    connect(&resetPacer_, &QTimer::timeout, this, &GangProgram::resetTick);
    ticker_.setInterval(tickMs);
    connect(&ticker_, &QTimer::timeout, this, &GangProgram::tick);
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        timedOut_ = true;
        stopAll(QStringLiteral("no result within %1 seconds").arg(settings_.timeoutSeconds));
    });
}

GangProgram::~GangProgram() = default;

void GangProgram::start() {
    report_.setImage(ImageFacts::of(settings_.imagePath));
    if (settings_.timeoutSeconds > 0) {
        deadline_.start(static_cast<int>(std::ceil(settings_.timeoutSeconds * 1000.0)));
    }
    QTimer::singleShot(0, this, [this] {
        if (!settings_.resetFirst) {
            connectAll();
            return;
        }
        for (const auto& board : boards_) {
            board->beginReset();
            resetting_.push_back(board.get());
        }
        sinceCharacter_.invalidate();
        resetPacer_.start();
    });
}

void GangProgram::resetTick() {
    // Every port gets its next character, then all wait out one pause together: the request
    // takes as long on eight ports as on one.
    if (sinceCharacter_.isValid() &&
        sinceCharacter_.nsecsElapsed() < loader::BootLink::textPaceMs * nanosPerMs) {
        return;
    }
    sinceCharacter_.start();
    std::erase_if(resetting_, [](BoardRun* board) { return board->resetStep(); });
    if (resetting_.empty()) {
        resetPacer_.stop();
        connectAll();
    }
}

void GangProgram::connectAll() {
    if (done_) {
        return;
    }
    for (const auto& board : boards_) {
        board->connectTarget();
    }
    if (!done_) {
        ticker_.start();
        tick();
    }
}

void GangProgram::tick() {
    for (const auto& board : boards_) {
        board->checkStall();
    }
    if (!done_ && !settings_.quiet) {
        progress_.show(boards_);
    }
}

void GangProgram::onBoardFinished() {
    auto* board = qobject_cast<BoardRun*>(sender());
    if (board != nullptr && board->result() == BoardRun::Result::failed &&
        (settings_.quiet || !progress_.rewritesInPlace())) {
        printError(board->label() + ": " + board->reason());
    }
    if (stopping_ || done_) {
        return;
    }
    for (const auto& each : boards_) {
        if (each->result() == BoardRun::Result::running) {
            return;
        }
    }
    end();
}

void GangProgram::stopAll(const QString& cause, std::optional<int> status) {
    if (done_) {
        return;
    }
    stopStatus_ = status;
    stopping_ = true;
    for (const auto& board : boards_) {
        board->stop(cause);
    }
    stopping_ = false;
    end();
}

void GangProgram::end() {
    done_ = true;
    resetPacer_.stop();
    ticker_.stop();
    deadline_.stop();
    int status = exitStatus::programmed;
    for (const auto& board : boards_) {
        if (board->result() != BoardRun::Result::programmed) {
            status = exitStatus::failed;
        }
    }
    if (timedOut_) {
        status = exitStatus::timedOut;
    }
    if (stopStatus_) {
        status = *stopStatus_;
    }
    if (!settings_.quiet) {
        progress_.show(boards_);
    }
    if (progress_.rewritesInPlace() && !settings_.quiet) {
        for (const auto& board : boards_) {
            if (board->result() == BoardRun::Result::failed) {
                printError(board->label() + ": " + board->reason());
            }
        }
    }
    if (!settings_.quiet) {
        // On a terminal the table fits its width; a log keeps every cell whole.
        const int columns = ::isatty(STDOUT_FILENO) == 1 ? usableColumns(stdout) : 0;
        std::fprintf(stdout, "\n%s", report_.table(boards_, columns).toLocal8Bit().constData());
        std::fflush(stdout);
    }
    if (!settings_.reportPath.isEmpty()) {
        const QString error =
            report_.write(settings_.reportPath, boards_, QDateTime::currentDateTimeUtc(), status);
        if (!error.isEmpty()) {
            printError(
                QStringLiteral("cannot write the report %1: %2").arg(settings_.reportPath, error));
            if (status == exitStatus::programmed) {
                status = exitStatus::failed;
            }
        }
    }
    status_ = status;
    emit finished(status);
}

}  // namespace loader::cli
