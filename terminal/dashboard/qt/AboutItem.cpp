#include "terminal/dashboard/qt/AboutItem.h"

#include <QAction>
#include <QWidget>

#include "terminal/dashboard/ControlIds.h"

namespace terminal::ui {

namespace {
constexpr int commandBits = 0xFFF0;
}

AboutItem::AboutItem(QWidget* window, std::function<void()> aboutSequence)
    : QObject(window), aboutSequence_(std::move(aboutSequence)) {
    action_ = new QAction(QString::fromLatin1(caption), window);
    action_->setShortcut(QKeySequence(Qt::Key_F1));
    action_->setShortcutContext(Qt::WindowShortcut);
    window->addAction(action_);
    // Right-clicking the window's background (or a control without a menu of its own) offers
    // the window's actions.
    window->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(action_, &QAction::triggered, this, [this] { systemCommand(ids::aboutCommand); });
}

bool AboutItem::systemCommand(int command) {
    if ((command & commandBits) != ids::aboutCommand) {
        return false;
    }
    aboutSequence_();
    return true;
}

}  // namespace terminal::ui
