#pragma once
// The dashboard's "Trends…" item (context menu, Ctrl+T) and the live history behind it: the
// history is fed from the session's start, so the window shows the minutes before it was
// first opened. The window is made on first use and kept, hidden, when closed.

#include <QObject>
#include <QString>

#include "terminal/trends/TrendFeed.h"
#include "terminal/trends/TrendHistory.h"

class QAction;
class QWidget;

namespace terminal {
class TerminalCore;
}

namespace terminal::ui {

class TrendsWindow;

class TrendsItem : public QObject {
    Q_OBJECT
public:
    static constexpr const char* caption = "Trends…";

    // `settingsFile`: where the Trends window keeps its choices.
    TrendsItem(QWidget* window, TerminalCore& core, QString settingsFile);
    ~TrendsItem() override;

    // Shows the Trends window, made the first time, in front.
    TrendsWindow& open();
    // At start-up: opens it again if it was open when the program last ended.
    void reopenIfLeftOpen();
    TrendsWindow* trendsWindow() const { return trends_; }
    const TrendHistory& history() const { return history_; }
    QAction* action() const { return action_; }

private:
    QWidget* window_;
    TerminalCore& core_;
    QString settingsFile_;
    TrendHistory history_;
    TrendFeed feed_;
    QAction* action_;
    TrendsWindow* trends_ = nullptr;
};

}  // namespace terminal::ui
