#pragma once
// The Sequence window: a bench sequence run from the dashboard. Open… reads a file (refused,
// with the line named, before anything is sent), Run starts it on the dashboard's own
// session, Pause holds it before its next step, Stop ends it. The steps are a list that ticks
// as they pass, each with its verdict and a failed one with its expected and seen values; an
// ask step is a dialog with Pass, Fail and a note. At the end the reports are written as
// `--run` writes them. While a run goes on, the operator's own clicks on the steered controls
// are refused (the dashboard's hand gate); its end gives them back.

#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "terminal/recording/SessionRecorder.h"
#include "terminal/sequences/SequenceRunner.h"
#include "terminal/sequences/SequenceSteps.h"
#include "terminal/sequences/qt/AskDialog.h"
#include "terminal/sequences/qt/WindowBench.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace terminal::ui {
class DashboardWindow;
}

namespace terminal::sequences {

class SequenceWindow : public QDialog {
    Q_OBJECT
public:
    // The note the status bar shows for a refused hand.
    static constexpr const char* handRefusedNote =
        "A sequence is running: hand input is refused until it ends or is stopped";

    explicit SequenceWindow(ui::DashboardWindow& dashboard);
    // A run still going is stopped and its reports written.
    ~SequenceWindow() override;

    // Reads the file: empty when it is a sequence, else why not (also shown in the window).
    std::string openFile(const std::filesystem::path& path);
    // Run, Pause and Stop as their buttons.
    void run();
    void setPaused(bool paused);
    void stop();

    bool running() const { return runner_ != nullptr; }
    // The last run's outcome and report folder (empty before one ended).
    std::optional<RunOutcome> lastOutcome() const { return lastOutcome_; }
    const std::filesystem::path& reportFolder() const { return reportFolder_; }
    QListWidget* stepList() const { return steps_; }
    AskDialog* askDialog() const { return ask_; }

private:
    void chooseFile();
    void tick();
    void finish();
    void showStep(std::size_t index);
    void showButtons();
    void ask(const std::string& question);

    ui::DashboardWindow& dashboard_;
    WindowBench bench_;
    SessionRecorder recorder_;
    std::optional<Sequence> sequence_;
    std::filesystem::path file_;
    std::unique_ptr<SequenceRunner> runner_;
    QTimer tick_;
    std::string started_;
    std::int64_t startMs_ = 0;
    std::optional<RunOutcome> lastOutcome_;
    std::filesystem::path reportFolder_;
    QPointer<AskDialog> ask_;

    QPushButton* open_;
    QPushButton* run_;
    QPushButton* pause_;
    QPushButton* stop_;
    QLabel* fileLabel_;
    QListWidget* steps_;
    QLabel* verdict_;
};

}  // namespace terminal::sequences
