#pragma once
// The bar below the loader's dialog area: during a run the phase with the rate, and the port
// and device; afterwards how the last run ended ("Programmed fw.hex: 23,053 bytes in 5.3 s at
// 18:02:11", "Stopped at byte 9,866 of 23,053: the port was lost"), kept until the next
// action toward the target. A muted PC's beep and a closed message box leave no trace;
// this does.

#include <QStatusBar>
#include <QString>
#include <QTime>
#include <QTimer>
#include <cstdint>
#include <functional>

#include "loader/core/RunWatch.h"

class QLabel;

namespace loader {
class BootLink;
}

namespace loader::ui {

class LoaderStatusBar : public QStatusBar {
    Q_OBJECT

public:
    // Goes below `parent`'s dialog area: made once the window has its dialog size.
    explicit LoaderStatusBar(QWidget* parent);

    // Replaces the clock the end of a run is stamped with.
    void setTimeOfDay(std::function<QTime()> timeOfDay) { timeOfDay_ = std::move(timeOfDay); }

    // Reset PIC, Connect or Program was pressed on `port` ("COM3 (/dev/ttyUSB0)"): the last
    // result goes.
    void actionStarted(const QString& port);
    // The reset request has gone out.
    void resetSent();
    // The link as it stands after anything it reported; `nowMs` on the window's clock.
    void follow(const loader::BootLink& link, const QString& fileName, std::uint32_t nowMs);
    // The run is over: programmed, or stopped (the link says why).
    void runEnded(const loader::BootLink& link, bool programmed, const QString& fileName,
                  std::uint32_t nowMs);
    // Program sent nothing: `reason` says why (a damaged HEX file the operator kept back).
    // `fileName`, where the reason names it, is shortened first when the text does not fit.
    void notProgrammed(const QString& reason, const QString& fileName = {});
    // A message box was shown; `fileName` as for notProgrammed.
    void messageShown(const QString& text, const QString& fileName = {});

    // The texts in full (the fields may show them shortened to fit).
    QString portText() const;
    QString stateText() const;

private:
    void showState(const QString& text, const char* colour = nullptr, const QString& fileName = {});
    // Shows the run as last followed.
    void draw();

    std::function<QTime()> timeOfDay_;
    QLabel* state_;
    QLabel* port_;
    // The run as last seen: where it was, and its counts before the link cleared them.
    loader::RunPhase phase_ = loader::RunPhase::starting;
    bool eraseStarted_ = false;
    bool echoSeen_ = false;
    QString identLine_;
    QString fileName_;
    std::uint32_t lastMs_ = 0;
    std::uint64_t done_ = 0;
    std::uint64_t total_ = 0;
    std::uint32_t writeStartMs_ = 0;
    std::uint32_t drawnMs_ = 0;
    bool drawn_ = false;
    QTimer redraw_;
    // A result is on show: an idle link leaves it there.
    bool resultShown_ = false;
    // A stopped run is on show: the message that follows is its cause.
    bool stoppedShown_ = false;
};

}  // namespace loader::ui
