#pragma once
// A run without a user, for scripts and production lines: press Reset PIC (when asked),
// Connect and, once the boot loader has identified itself, Program; then report how it went.
// Messages go to standard error instead of message boxes; the first one ends the run.

#include <QObject>
#include <QString>
#include <QTimer>

namespace loader::ui {

class CLoaderDlg;

class AutoProgram : public QObject {
    Q_OBJECT

public:
    static constexpr int statusProgrammed = 0;
    static constexpr int statusFailed = 1;
    static constexpr int statusTimedOut = 3;

    // `timeoutSeconds` 0: no time limit.
    AutoProgram(CLoaderDlg& window, bool resetFirst, int timeoutSeconds, QObject* parent = nullptr);

    // Starts the steps from the event loop.
    void start();
    bool isDone() const { return done_; }
    // The exit status; a failure until the run has finished.
    int status() const { return status_; }

signals:
    void finished(int status);

private:
    void press(int id);
    void onIdentified();
    void onRunFinished(bool programmed);
    void fail(const QString& text, int status);
    void finish(int status);
    QString stalledWhere() const;

    CLoaderDlg& window_;
    bool resetFirst_;
    int timeoutSeconds_;
    QTimer deadline_;
    bool done_ = false;
    int status_ = statusFailed;
};

}  // namespace loader::ui
