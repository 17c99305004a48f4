#include "loader/ui/AutoProgram.h"

#include <QComboBox>
#include <QPushButton>
#include <cstdio>

#include "loader/core/LoaderIds.h"
#include "loader/ui/CLoaderDlg.h"
#include "loader/ui/ProgramInfo.h"

namespace loader::ui {

namespace {

void printLine(std::FILE* out, const QString& text) {
    std::fprintf(out, "%s: %s\n", programName().toLocal8Bit().constData(),
                 text.toLocal8Bit().constData());
    std::fflush(out);
}

}  // namespace

AutoProgram::AutoProgram(CLoaderDlg& window, bool resetFirst, int timeoutSeconds, QObject* parent)
    : QObject(parent), window_(window), resetFirst_(resetFirst), timeoutSeconds_(timeoutSeconds) {
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("no result within %1 seconds: %2")
                 .arg(timeoutSeconds_)
                 .arg(stalledWhere()),
             statusTimedOut);
    });
    window_.setMessageSink([this](const QString& text) { fail(text, statusFailed); });
    connect(&window_, &CLoaderDlg::identificationComplete, this, &AutoProgram::onIdentified);
    connect(&window_, &CLoaderDlg::runFinished, this, &AutoProgram::onRunFinished);
}

void AutoProgram::start() {
    if (timeoutSeconds_ > 0) {
        deadline_.start(timeoutSeconds_ * 1000);
    }
    QTimer::singleShot(0, this, [this] {
        if (resetFirst_) {
            printLine(stdout,
                      QStringLiteral("asking the firmware to restart into its boot loader"));
            press(ids::resetButton);
        }
        printLine(stdout,
                  QStringLiteral("waking the boot loader on %1")
                      .arg(window_.controls().get<QComboBox>(ids::portCombo)->currentText()));
        press(ids::connectButton);
    });
}

void AutoProgram::press(int id) {
    if (done_) {
        return;
    }
    auto* button = window_.controls().get<QPushButton>(id);
    if (!button->isEnabled()) {
        fail(QStringLiteral("\"%1\" is not available now").arg(button->text().remove('&')),
             statusFailed);
        return;
    }
    button->click();
}

void AutoProgram::onIdentified() {
    printLine(stdout, QStringLiteral("boot loader identified: %1")
                          .arg(QString::fromLatin1(window_.link().identLine().c_str()).trimmed()));
    // Pressed from the event loop, not from inside the receive event that identified.
    QTimer::singleShot(0, this, [this] {
        printLine(stdout, QStringLiteral("programming %1")
                              .arg(QString::fromStdString(window_.image().fileName())));
        press(ids::programButton);
    });
}

void AutoProgram::onRunFinished(bool programmed) {
    if (done_) {
        return;
    }
    if (!programmed) {
        // The message that says why follows at once; this only covers a run ended silently.
        QTimer::singleShot(0, this, [this] {
            fail(QStringLiteral("the run ended before the target was programmed"), statusFailed);
        });
        return;
    }
    printLine(stdout, QStringLiteral("target programmed"));
    deadline_.stop();
    done_ = true;
    status_ = statusProgrammed;
    // Let the end-of-run beep sound out before the program ends.
    if (window_.beeper().isPlaying()) {
        connect(
            &window_.beeper(), &Beeper::finished, this, [this] { emit finished(statusProgrammed); },
            Qt::SingleShotConnection);
    } else {
        QTimer::singleShot(0, this, [this] { emit finished(statusProgrammed); });
    }
}

void AutoProgram::fail(const QString& text, int status) {
    if (done_) {
        return;
    }
    printLine(stderr, text);
    finish(status);
}

void AutoProgram::finish(int status) {
    deadline_.stop();
    done_ = true;
    status_ = status;
    emit finished(status);
}

QString AutoProgram::stalledWhere() const {
    const auto& link = window_.link();
    if (link.connecting()) {
        return QStringLiteral("the boot loader did not identify itself");
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

}  // namespace loader::ui
