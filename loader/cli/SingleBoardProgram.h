#pragma once
// One board programmed without a user, for scripts and production lines: it drives the
// window's own buttons (hidden on an offscreen platform) and presses Reset PIC (when asked),
// Connect and, once the boot loader has identified itself, Program; then report how it went.
// Messages go to standard error instead of message boxes; the first one ends the run. While
// erasing and writing, a progress line goes to standard error; a target that falls silent
// after its first answer ends the run.

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdio>

#include "loader/cli/ExitStatus.h"
#include "loader/core/RunWatch.h"

namespace loader::ui {
class CLoaderDlg;
}

namespace loader::cli {

class SingleBoardProgram : public QObject {
    Q_OBJECT

public:
    static constexpr double defaultStallSeconds = 10;

    struct Settings {
        bool resetFirst = false;
        // 0: no time limit.
        double timeoutSeconds = 0;
        double stallSeconds = defaultStallSeconds;
        // Errors only.
        bool quiet = false;
        // A damaged Intel HEX file ends the run before its start byte; false sends it.
        bool hexCheck = true;
    };

    SingleBoardProgram(ui::CLoaderDlg& window, const Settings& settings, QObject* parent = nullptr);

    // Starts the steps from the event loop.
    void start();
    bool isDone() const { return done_; }
    // The exit status; a failure until the run has finished.
    int status() const { return status_; }
    // Says where the run stopped, for a run ended from outside (a signal).
    void reportStop(const QString& cause);

signals:
    void finished(int status);

private:
    void press(int id);
    void onIdentified();
    void onRunFinished(bool programmed);
    void onDataReceived();
    void checkStall();
    void showProgress(bool final);
    void info(const QString& text);
    void fail(const QString& text, int status);
    void finish(int status);
    QString stalledWhere() const;
    QString stoppedAt() const;

    ui::CLoaderDlg& window_;
    Settings settings_;
    QTimer deadline_;
    QTimer stallTicker_;
    QElapsedTimer clock_;
    loader::StallWatch stall_;
    bool done_ = false;
    int status_ = exitStatus::failed;

    // Progress: one line per phase, rewritten in place on a terminal.
    bool terminal_ = false;
    loader::RunPhase shownPhase_ = loader::RunPhase::starting;
    qint64 phaseStartMs_ = 0;
    qint64 lastShownMs_ = -1;
    int lastShownPercent_ = -1;
    bool lineOpen_ = false;
};

}  // namespace loader::cli
