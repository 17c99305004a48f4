#include "terminal/recording/qt/SessionRecording.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QTimer>
#include <QWidget>

#include "terminal/link/TerminalCore.h"

namespace terminal::ui {

SessionRecording::SessionRecording(QWidget* window, TerminalCore& core,
                                   std::function<void(const std::string&)> showError)
    : QObject(window),
      window_(window),
      core_(core),
      showError_(std::move(showError)),
      // A failure is found while a line is being acted on: its message waits for the
      // event loop, so the box never opens in the middle of the receive path.
      recorder_([this](const std::string& message) {
          QTimer::singleShot(0, this, [this, message] {
              updateActions();
              showError_(message);
          });
      }) {
    recordAction_ = new QAction(QString::fromUtf8(recordCaption), window);
    recordAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    recordAction_->setShortcutContext(Qt::WindowShortcut);
    stopAction_ = new QAction(QString::fromUtf8(stopCaption), window);
    window->addAction(recordAction_);
    window->addAction(stopAction_);
    connect(recordAction_, &QAction::triggered, this, [this] { chooseFileAndRecord(); });
    connect(stopAction_, &QAction::triggered, this, [this] { stopCsv(); });
    core_.addObserver(&recorder_);
    updateActions();
}

SessionRecording::~SessionRecording() {
    core_.removeObserver(&recorder_);
}

bool SessionRecording::startCsv(const QString& path) {
    const bool started = recorder_.startCsv(path.toStdString());
    updateActions();
    return started;
}

void SessionRecording::stopCsv() {
    recorder_.stopCsv();
    updateActions();
}

bool SessionRecording::startLines(const QString& path) {
    return recorder_.startLines(path.toStdString());
}

void SessionRecording::chooseFileAndRecord() {
    if (recorder_.recordingCsv()) {
        return;
    }
    const QString suggested = QDir::home().filePath(
        QStringLiteral("Tessaly-") +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) +
        QStringLiteral(".csv"));
    const QString path =
        QFileDialog::getSaveFileName(window_, QStringLiteral("Record to CSV"), suggested,
                                     QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (!path.isEmpty()) {
        startCsv(path);
    }
}

void SessionRecording::updateActions() {
    const bool recording = recorder_.recordingCsv();
    recordAction_->setEnabled(!recording);
    stopAction_->setEnabled(recording);
}

}  // namespace terminal::ui
