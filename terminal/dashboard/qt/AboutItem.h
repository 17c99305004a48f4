#pragma once
// The window's About item, command 16 of its system menu. Where the toolkit offers no way into
// the title bar's menu (on Linux it belongs to the window manager), the item lives in a context
// menu on the window's background, with F1 as its shortcut. Both lead to the one
// system-command handler.

#include <QObject>
#include <functional>

class QAction;
class QWidget;

namespace terminal::ui {

class AboutItem : public QObject {
    Q_OBJECT
public:
    static constexpr const char* caption = "&About Tessaly...";

    AboutItem(QWidget* window, std::function<void()> aboutSequence);

    // The system-command handler: a command whose id, low four bits cleared, is 16 runs the
    // About sequence; true when it did. Other commands are left to the platform.
    bool systemCommand(int command);

    QAction* action() const { return action_; }

private:
    QAction* action_;
    std::function<void()> aboutSequence_;
};

}  // namespace terminal::ui
