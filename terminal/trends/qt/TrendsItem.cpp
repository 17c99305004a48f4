#include "terminal/trends/qt/TrendsItem.h"

#include <QAction>
#include <QWidget>

#include "terminal/link/TerminalCore.h"
#include "terminal/trends/qt/TrendsWindow.h"

namespace terminal::ui {

TrendsItem::TrendsItem(QWidget* window, TerminalCore& core, QString settingsFile)
    : QObject(window),
      window_(window),
      core_(core),
      settingsFile_(std::move(settingsFile)),
      feed_(history_, steadyWallClock) {
    action_ = new QAction(QString::fromUtf8(caption), window);
    action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    action_->setShortcutContext(Qt::WindowShortcut);
    window->addAction(action_);
    connect(action_, &QAction::triggered, this, [this] { open(); });
    core_.addObserver(&feed_);
}

TrendsItem::~TrendsItem() {
    core_.removeObserver(&feed_);
    delete trends_;  // before the history it shows
}

void TrendsItem::reopenIfLeftOpen() {
    if (TrendsWindow::leftOpen(settingsFile_)) {
        open();
    }
}

TrendsWindow& TrendsItem::open() {
    if (trends_ == nullptr) {
        // A child of the dashboard, so the dashboard's modal run lets it take input.
        trends_ = new TrendsWindow(history_, settingsFile_, window_);
    }
    trends_->show();
    trends_->raise();
    trends_->activateWindow();
    return *trends_;
}

}  // namespace terminal::ui
