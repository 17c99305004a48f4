#pragma once
// Closes every modal box the window opens that a test does not drive itself (a modal box left
// open would block the test until its time limit) and keeps the boxes' texts, so a test can
// say which ones it expected, or fail at once naming an unexpected one.

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

namespace uitest {

class MessageBoxCatcher : public QObject {
public:
    // Only message boxes when `onlyMessageBoxes` is set, so dialogs a test drives stay up.
    explicit MessageBoxCatcher(QWidget* window, bool onlyMessageBoxes = false)
        : window_(window), onlyMessageBoxes_(onlyMessageBoxes) {
        connect(&timer_, &QTimer::timeout, this, [this] { closeModal(); });
        timer_.start(20);
    }
    QStringList texts;

private:
    void closeModal() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == window_) {
            return;
        }
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr && onlyMessageBoxes_) {
            return;
        }
        texts << (box != nullptr ? box->text() : modal->windowTitle());
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
    }

    QPointer<QWidget> window_;
    bool onlyMessageBoxes_;
    QTimer timer_;
};

}  // namespace uitest
