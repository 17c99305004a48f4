#pragma once
// The window's recording items: "Record to CSV…" (Ctrl+R) and "Stop recording" in the context
// menu of the window's background, each enabled when it can act, and the raw line log asked
// for on the command line. The recorder watches the session through its observer hooks; a
// file that fails is reported once in a message box and the dashboard goes on.

#include <QObject>
#include <QString>

#include "terminal/recording/SessionRecorder.h"

class QAction;
class QWidget;

namespace terminal {
class TerminalCore;
}

namespace terminal::ui {

class SessionRecording : public QObject {
    Q_OBJECT
public:
    static constexpr const char* recordCaption = "Record to CSV…";
    static constexpr const char* stopCaption = "Stop recording";

    // `showError` shows one message (the window's message box).
    SessionRecording(QWidget* window, TerminalCore& core,
                     std::function<void(const std::string&)> showError);
    ~SessionRecording() override;

    bool startCsv(const QString& path);
    void stopCsv();
    bool startLines(const QString& path);

    SessionRecorder& recorder() { return recorder_; }
    QAction* recordAction() const { return recordAction_; }
    QAction* stopAction() const { return stopAction_; }

private:
    void chooseFileAndRecord();
    void updateActions();

    QWidget* window_;
    TerminalCore& core_;
    std::function<void(const std::string&)> showError_;
    SessionRecorder recorder_;
    QAction* recordAction_;
    QAction* stopAction_;
};

}  // namespace terminal::ui
