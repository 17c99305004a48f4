#pragma once
// Programs several boards at once, without the window: one BoardRun per port, all on the one
// event loop. The reset requests go out together, a character on every port per pause, so no
// board waits for another's; a shared 100 ms tick watches for stalls and redraws the progress.
// At the end: the summary table, the JSON report when asked for, and the exit status.

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <optional>
#include <vector>

#include "loader/cli/ExitStatus.h"
#include "loader/cli/GangProgress.h"
#include "loader/cli/GangReport.h"

namespace loader::cli {

class BoardRun;

class GangProgram : public QObject {
    Q_OBJECT

public:
    struct Settings {
        QStringList ports;
        QString imagePath;
        QString speed = QStringLiteral("115200");
        bool resetFirst = false;
        // 0: no time limit.
        double timeoutSeconds = 0;
        double stallSeconds = 10;
        bool quiet = false;
        bool hexCheck = true;
        // Where the JSON report goes; empty: none.
        QString reportPath;
    };

    explicit GangProgram(const Settings& settings, QObject* parent = nullptr);
    ~GangProgram() override;

    // Starts every board from the event loop.
    void start();
    bool isDone() const { return done_; }
    // The exit status; a failure until the run has finished.
    int status() const { return status_; }
    // Ends every board still running with `cause`, then reports as at the end; `status`, when
    // given, is the one the program leaves with (a signal's).
    void stopAll(const QString& cause, std::optional<int> status = std::nullopt);

signals:
    void finished(int status);

private:
    void resetTick();
    void connectAll();
    void tick();
    void onBoardFinished();
    void end();

    Settings settings_;
    std::vector<std::unique_ptr<BoardRun>> boards_;
    std::vector<BoardRun*> resetting_;
    QTimer resetPacer_;
    QElapsedTimer sinceCharacter_;
    QTimer ticker_;
    QTimer deadline_;
    GangProgress progress_;
    GangReport report_;
    bool done_ = false;
    bool stopping_ = false;
    bool timedOut_ = false;
    std::optional<int> stopStatus_;
    int status_ = exitStatus::failed;
};

}  // namespace loader::cli
