#include "loader/cli/SingleBoardProgram.h"

#include <unistd.h>
#include <QComboBox>
#include <QFileInfo>
#include <QPushButton>
#include <cmath>

#include "loader/cli/TerminalWidth.h"
#include "loader/core/LoaderIds.h"
#include "loader/ui/CLoaderDlg.h"
#include "loader/ui/ProgramInfo.h"

namespace loader::cli {

using ui::CLoaderDlg;

namespace {

constexpr int stallCheckMs = 100;
// On a terminal the line is rewritten at most this often.
constexpr qint64 terminalRefreshMs = 100;
// Elsewhere (a log file) a new line at every step of this many percent.
constexpr int logStepPercent = 10;

void printLine(std::FILE* out, const QString& text) {
    std::fprintf(out, "%s: %s\n", ui::programName().toLocal8Bit().constData(),
                 text.toLocal8Bit().constData());
    std::fflush(out);
}

int milliseconds(double seconds) {
    return static_cast<int>(std::ceil(seconds * 1000.0));
}

}  // namespace

SingleBoardProgram::SingleBoardProgram(CLoaderDlg& window, const Settings& settings,
                                       QObject* parent)
    : QObject(parent),
      window_(window),
      settings_(settings),
      stall_(static_cast<std::uint64_t>(milliseconds(settings.stallSeconds))),
      terminal_(::isatty(STDERR_FILENO) == 1) {
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("no result within %1 seconds: %2")
                 .arg(settings_.timeoutSeconds)
                 .arg(stalledWhere()),
             exitStatus::timedOut);
    });
    stallTicker_.setInterval(stallCheckMs);
    connect(&stallTicker_, &QTimer::timeout, this, &SingleBoardProgram::checkStall);
    window_.setMessageSink([this](const QString& text) { fail(text, exitStatus::failed); });
    window_.setDamagedImageQuestion([this](const QString& fault) {
        if (!settings_.hexCheck) {
            return true;
        }
        fail(fault + QStringLiteral(
                         ": the target was not touched (--no-hex-check sends the file as stored)"),
             exitStatus::usage);
        return false;
    });
    connect(&window_, &CLoaderDlg::identificationComplete, this, &SingleBoardProgram::onIdentified);
    connect(&window_, &CLoaderDlg::runFinished, this, &SingleBoardProgram::onRunFinished);
    connect(&window_, &CLoaderDlg::dataReceived, this, &SingleBoardProgram::onDataReceived);
}

void SingleBoardProgram::start() {
    clock_.start();
    if (settings_.timeoutSeconds > 0) {
        deadline_.start(milliseconds(settings_.timeoutSeconds));
    }
    stallTicker_.start();
    QTimer::singleShot(0, this, [this] {
        if (settings_.resetFirst) {
            info(QStringLiteral("asking the firmware on %1 to restart into its boot loader")
                     .arg(window_.portLabel()));
            press(ids::resetButton);
        }
        press(ids::connectButton);
        if (!done_) {
            info(QStringLiteral("waiting for the boot loader on %1").arg(window_.portLabel()));
        }
    });
}

void SingleBoardProgram::info(const QString& text) {
    if (!settings_.quiet) {
        printLine(stdout, text);
    }
}

void SingleBoardProgram::press(int id) {
    if (done_) {
        return;
    }
    auto* button = window_.controls().get<QPushButton>(id);
    if (!button->isEnabled()) {
        fail(QStringLiteral("\"%1\" is not available now").arg(button->text().remove('&')),
             exitStatus::failed);
        return;
    }
    button->click();
}

void SingleBoardProgram::onIdentified() {
    info(QStringLiteral("boot loader identified on %1: %2")
             .arg(window_.portLabel(),
                  QString::fromLatin1(window_.link().identLine().c_str()).trimmed()));
    // Pressed from the event loop, not from inside the receive event that identified.
    QTimer::singleShot(0, this, [this] {
        info(QStringLiteral("programming %1")
                 .arg(QString::fromStdString(window_.image().fileName())));
        press(ids::programButton);
    });
}

void SingleBoardProgram::onDataReceived() {
    stall_.heard(static_cast<std::uint64_t>(clock_.elapsed()));
    showProgress(false);
}

void SingleBoardProgram::checkStall() {
    if (done_ || !stall_.stalled(static_cast<std::uint64_t>(clock_.elapsed()))) {
        return;
    }
    fail(QStringLiteral("no answer from the target for %1 s while %2 on %3: %4")
             .arg(settings_.stallSeconds)
             .arg(QString::fromLatin1(loader::phaseName(loader::phaseOf(window_.link()))),
                  window_.portLabel(), stoppedAt()),
         exitStatus::timedOut);
}

void SingleBoardProgram::showProgress(bool final) {
    if (settings_.quiet) {
        return;
    }
    const auto& link = window_.link();
    const loader::RunPhase phase = loader::phaseOf(link);
    const qint64 now = clock_.elapsed();
    if (final) {
        if (lineOpen_) {
            std::fputc('\n', stderr);
            lineOpen_ = false;
        }
        std::fprintf(stderr, "programmed %s\n",
                     loader::summaryLine(
                         static_cast<std::uint64_t>(
                             QFileInfo(QString::fromStdString(window_.image().path())).size()),
                         static_cast<std::uint64_t>(now - phaseStartMs_))
                         .c_str());
        std::fflush(stderr);
        return;
    }
    if (phase != loader::RunPhase::erasing && phase != loader::RunPhase::writing) {
        return;
    }
    if (phase != shownPhase_) {
        if (lineOpen_) {
            std::fputc('\n', stderr);
            lineOpen_ = false;
        }
        shownPhase_ = phase;
        phaseStartMs_ = now;
        lastShownMs_ = -1;
        lastShownPercent_ = -1;
    }
    const bool writing = phase == loader::RunPhase::writing;
    const std::uint64_t done = writing ? link.sentCount() : link.eraseReceived();
    const std::uint64_t total = writing ? link.imageLength() : link.eraseTotal();
    const int percent = loader::percentOf(done, total);
    if (terminal_) {
        if (lastShownMs_ >= 0 && now - lastShownMs_ < terminalRefreshMs && done < total) {
            return;
        }
    } else if (lastShownPercent_ >= 0 &&
               percent / logStepPercent == lastShownPercent_ / logStepPercent) {
        return;
    }
    lastShownMs_ = now;
    lastShownPercent_ = percent;
    const std::string line =
        loader::progressLine(phase, done, total, static_cast<std::uint64_t>(now - phaseStartMs_));
    if (terminal_) {
        // "\r" and clear to the end: the new line may be shorter than the old one. Cut to the
        // terminal's width: a line that wrapped would be rewritten a line too low.
        std::fprintf(stderr, "\r%s\033[K",
                     line.substr(0, static_cast<std::size_t>(usableColumns(stderr))).c_str());
        lineOpen_ = true;
    } else {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    std::fflush(stderr);
}

void SingleBoardProgram::onRunFinished(bool programmed) {
    if (done_) {
        return;
    }
    if (!programmed) {
        // The message that says why follows at once; this only covers a run ended silently.
        QTimer::singleShot(0, this, [this] {
            fail(QStringLiteral("the run ended before the target was programmed"),
                 exitStatus::failed);
        });
        return;
    }
    showProgress(true);
    info(QStringLiteral("target programmed"));
    deadline_.stop();
    stallTicker_.stop();
    done_ = true;
    status_ = exitStatus::programmed;
    // Let the end-of-run beep sound out before the program ends.
    if (window_.beeper().isPlaying()) {
        connect(
            &window_.beeper(), &ui::Beeper::finished, this,
            [this] { emit finished(exitStatus::programmed); }, Qt::SingleShotConnection);
    } else {
        QTimer::singleShot(0, this, [this] { emit finished(exitStatus::programmed); });
    }
}

void SingleBoardProgram::fail(const QString& text, int status) {
    if (done_) {
        return;
    }
    if (lineOpen_) {
        std::fputc('\n', stderr);
        lineOpen_ = false;
    }
    printLine(stderr, text);
    finish(status);
}

void SingleBoardProgram::finish(int status) {
    deadline_.stop();
    stallTicker_.stop();
    done_ = true;
    status_ = status;
    emit finished(status);
}

void SingleBoardProgram::reportStop(const QString& cause) {
    if (done_) {
        return;
    }
    if (lineOpen_) {
        std::fputc('\n', stderr);
        lineOpen_ = false;
    }
    printLine(
        stderr,
        QStringLiteral("%1 while %2 on %3: %4")
            .arg(cause, QString::fromLatin1(loader::phaseName(loader::phaseOf(window_.link()))),
                 window_.portLabel(), stoppedAt()));
    done_ = true;
}

QString SingleBoardProgram::stoppedAt() const {
    return QString::fromStdString(loader::stopReason(window_.link(), stall_.heardFrom()));
}

QString SingleBoardProgram::stalledWhere() const {
    const auto& link = window_.link();
    if (link.connecting()) {
        return QStringLiteral("the boot loader did not identify itself on %1")
            .arg(window_.portLabel());
    }
    if (link.writing()) {
        return QStringLiteral("the transfer stalled after %1 of %2 bytes")
            .arg(link.sentCount())
            .arg(link.imageLength());
    }
    if (link.programming()) {
        return QStringLiteral("the boot loader did not finish erasing");
    }
    return QStringLiteral("the run did not start");
}

}  // namespace loader::cli
