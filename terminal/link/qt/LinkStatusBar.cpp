#include "terminal/link/qt/LinkStatusBar.h"

#include <QLabel>
#include <QPalette>
#include <QSizeGrip>
#include <QTimerEvent>
#include <algorithm>

#include "terminal/link/qt/PortDiscovery.h"

namespace terminal::ui {

namespace {

QLabel* field(LinkStatusBar* bar, const char* name, int stretch) {
    auto* label = new QLabel(bar);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    bar->addWidget(label, stretch);
    return label;
}

QString stateText(LinkState state) {
    switch (state) {
        case LinkState::disconnected:
            return QStringLiteral("Disconnected");
        case LinkState::connecting:
            return QStringLiteral("Connecting");
        case LinkState::identified:
            return QStringLiteral("Identified");
        case LinkState::refused:
            return QStringLiteral("Firmware refused");
        case LinkState::silent:
            return QStringLiteral("Silent");
        case LinkState::lost:
            return QStringLiteral("Lost \u2013 waiting for the device");
    }
    return {};
}

// Green while lines come in, amber while waiting, red when the link is down or refused.
QColor stateColour(LinkState state, bool silence) {
    if (silence || state == LinkState::lost || state == LinkState::refused) {
        return QColor(0xc0, 0x00, 0x00);
    }
    return state == LinkState::identified ? QColor(0x00, 0x70, 0x00) : QColor(0xa0, 0x50, 0x00);
}

QString secondsAgo(std::uint32_t ms) {
    return ms < 10000 ? QString::number(ms / 1000.0, 'f', 1) : QString::number(ms / 1000);
}

}  // namespace

LinkStatusBar::LinkStatusBar(QWidget* parent, Sampler sample)
    : QStatusBar(parent), sample_(std::move(sample)) {
    setObjectName(QStringLiteral("linkStatusBar"));
    setSizeGripEnabled(true);
    port_ = field(this, "linkPort", 3);
    state_ = field(this, "linkState", 2);
    rate_ = field(this, "lineRate", 1);
    dropped_ = field(this, "badChecksums", 1);
    lastLine_ = field(this, "lastGoodLine", 1);
    // Bold, at the size of the bar's other fields (only the weight is set on the field, so its
    // size still follows the window's scale).
    QFont bold;
    bold.setBold(true);
    state_->setFont(bold);
    scripts_ = field(this, "scripts", 1);
    scripts_->setToolTip(QStringLiteral("Scripts driving the dashboard through its socket"));
    showScripts(0);
    rate_->setToolTip(QStringLiteral("Good lines received per second"));
    dropped_->setToolTip(QStringLiteral("Lines dropped for a bad checksum since the last Connect"));
    lastLine_->setToolTip(QStringLiteral("Time since the last good line"));
    showLinkState(LinkState::disconnected, {}, {});
    // Figures from the first moment rather than three empty fields for a second. The bar and
    // its grip show no text of their own: they are named for screen readers.
    sampleNow();
    setAccessibleName(QStringLiteral("Link status"));
    if (auto* grip = findChild<QSizeGrip*>()) {
        grip->setAccessibleName(QStringLiteral("Resize"));
    }
    // A plain timer event rather than a QTimer child: the window's own timers stay the only
    // QTimer objects it holds.
    timer_ = startTimer(1000);
}

void LinkStatusBar::timerEvent(QTimerEvent* event) {
    if (event->timerId() == timer_) {
        sampleNow();
    } else {
        QStatusBar::timerEvent(event);
    }
}

void LinkStatusBar::showLinkState(LinkState state, const QString& port, const QString& device) {
    link_ = state;
    if (state == LinkState::silent) {
        silence_ = true;
    } else if (state != LinkState::connecting) {
        silence_ = false;
    }
    QString text = port;
    if (!device.isEmpty()) {
        text += QStringLiteral(" \u2192 ") + deviceSummary(device);
    }
    port_->setText(text);
    port_->setToolTip(text);
    showState();
}

void LinkStatusBar::showScripts(int count) {
    scripts_->setText(count == 1 ? QStringLiteral("1 script")
                                 : QStringLiteral("%1 scripts").arg(count));
    scripts_->setVisible(count > 0);
}

void LinkStatusBar::sampleNow() {
    if (!sample_) {
        return;
    }
    figures_ = sample_();
    rate_->setText(QStringLiteral("%1 lines/s").arg(figures_.goodLinesPerSecond, 0, 'f', 1));
    dropped_->setText(QStringLiteral("%1 bad checksum").arg(figures_.badChecksumLines));
    lastLine_->setText(
        figures_.msSinceGoodLine
            ? QStringLiteral("last line %1 s ago").arg(secondsAgo(*figures_.msSinceGoodLine))
            : QStringLiteral("no line yet"));
    showState();
}

void LinkStatusBar::showState() {
    QString text = stateText(link_);
    if (silence_) {
        const std::uint32_t seconds =
            figures_.msSinceGoodLine ? std::max<std::uint32_t>(1, *figures_.msSinceGoodLine / 1000)
                                     : 1;
        text = QStringLiteral("Silent for %1 s").arg(seconds);
    }
    state_->setText(text);
    QPalette palette = state_->palette();
    palette.setColor(QPalette::WindowText, stateColour(link_, silence_));
    state_->setPalette(palette);
}

}  // namespace terminal::ui
