#pragma once
// The bar below the dashboard: which port and device are in use, where the link stands, good
// lines per second, lines dropped for a bad checksum since the last Connect, and how long ago the
// last good line came. The figures are sampled once a second.

#include <QStatusBar>
#include <functional>

#include "terminal/link/LineCounters.h"
#include "terminal/protocol/LinkState.h"

class QLabel;

namespace terminal::ui {

class LinkStatusBar : public QStatusBar {
    Q_OBJECT
public:
    using Sampler = std::function<LineStatistics()>;
    LinkStatusBar(QWidget* parent, Sampler sample);

    void showLinkState(LinkState state, const QString& port, const QString& device);
    // How many scripts drive the dashboard through its socket ("2 scripts"); hidden at 0.
    void showScripts(int count);
    // Samples the figures now (the one-second timer does it too).
    void sampleNow();

    QLabel* portField() const { return port_; }
    QLabel* stateField() const { return state_; }
    QLabel* rateField() const { return rate_; }
    QLabel* droppedField() const { return dropped_; }
    QLabel* lastLineField() const { return lastLine_; }
    QLabel* scriptsField() const { return scripts_; }

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void showState();

    Sampler sample_;
    int timer_ = 0;
    QLabel* port_;
    QLabel* state_;
    QLabel* rate_;
    QLabel* dropped_;
    QLabel* lastLine_;
    QLabel* scripts_;
    LinkState link_ = LinkState::disconnected;
    // Set by a silence, kept through the reconnects it causes until the link is back or ends.
    bool silence_ = false;
    LineStatistics figures_;
};

}  // namespace terminal::ui
