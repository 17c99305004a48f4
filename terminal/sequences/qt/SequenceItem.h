#pragma once
// The dashboard's "Sequence…" item (context menu, Ctrl+B): opens the Sequence window, made on
// first use and kept, hidden, when closed (a run goes on while it is hidden).

#include <QObject>

class QAction;

namespace terminal::ui {
class DashboardWindow;
}

namespace terminal::sequences {

class SequenceWindow;

class SequenceItem : public QObject {
    Q_OBJECT
public:
    static constexpr const char* caption = "Sequence…";

    explicit SequenceItem(ui::DashboardWindow& window);
    // Ends a run still going (its reports written) before the dashboard's core goes.
    ~SequenceItem() override;

    // Shows the Sequence window, made the first time, in front.
    SequenceWindow& open();
    SequenceWindow* sequenceWindow() const { return sequence_; }
    QAction* action() const { return action_; }

private:
    ui::DashboardWindow& window_;
    QAction* action_;
    SequenceWindow* sequence_ = nullptr;
};

}  // namespace terminal::sequences
