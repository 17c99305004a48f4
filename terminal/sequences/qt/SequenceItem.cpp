#include "terminal/sequences/qt/SequenceItem.h"

#include <QAction>

#include "terminal/dashboard/qt/DashboardWindow.h"
#include "terminal/sequences/qt/SequenceWindow.h"

namespace terminal::sequences {

SequenceItem::SequenceItem(ui::DashboardWindow& window) : QObject(&window), window_(window) {
    action_ = new QAction(QString::fromUtf8(caption), &window);
    action_->setObjectName(QStringLiteral("sequenceItem"));
    action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    action_->setShortcutContext(Qt::WindowShortcut);
    window.addAction(action_);
    connect(action_, &QAction::triggered, this, [this] { open(); });
}

SequenceItem::~SequenceItem() {
    delete sequence_;
}

SequenceWindow& SequenceItem::open() {
    if (sequence_ == nullptr) {
        // A child of the dashboard, so the dashboard's modal run lets it take input.
        sequence_ = new SequenceWindow(window_);
    }
    sequence_->show();
    sequence_->raise();
    sequence_->activateWindow();
    return *sequence_;
}

}  // namespace terminal::sequences
