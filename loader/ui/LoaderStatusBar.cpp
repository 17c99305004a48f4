#include "loader/ui/LoaderStatusBar.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QLocale>
#include <QPalette>
#include <QResizeEvent>
#include <algorithm>

#include "loader/core/BootLink.h"

namespace loader::ui {

namespace {

// Faster than this the figures only flicker: the bar follows every echo, shows 5 a second.
constexpr std::uint32_t redrawMs = 200;
const char* const programmedColour = "#007000";
const char* const failedColour = "#c00000";

// A field that shows as much of its text as fits, shortened with "…" on the side that matters
// least, and the whole text as its tool tip when shortened.
class FittedLabel : public QLabel {
public:
    // `fieldName` is what a screen reader calls the field while it shows nothing.
    FittedLabel(QStatusBar* bar, const char* name, Qt::TextElideMode mode, int stretch,
                const QString& fieldName)
        : QLabel(bar), mode_(mode), fieldName_(fieldName) {
        setObjectName(QString::fromLatin1(name));
        setTextFormat(Qt::PlainText);
        setAccessibleName(fieldName_);
        // The bar shares its width out by stretch; the text fits what it gets.
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        bar->addWidget(this, stretch);
    }
    // `yielding`: a part of the text (a file name or path) that is shortened first, so
    // that what the text says about it stays whole.
    void show(const QString& text, const QString& detail = {}, const QString& yielding = {}) {
        full_ = text;
        detail_ = detail;
        yielding_ = yielding;
        fit();
    }
    void setFont(const QFont& font) {
        QLabel::setFont(font);
        fit();
    }
    const QString& full() const { return full_; }
    // False when the field is too narrow for the text even with its yielding part shortened.
    bool whole() const { return whole_; }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        fit();
    }

private:
    void fit() {
        const int width = contentsRect().width();
        const QFontMetrics metrics = fontMetrics();
        QString shown = full_;
        const qsizetype at = yielding_.isEmpty() ? -1 : full_.indexOf(yielding_);
        if (at >= 0 && metrics.horizontalAdvance(full_) > width) {
            const QString before = full_.left(at);
            const QString after = full_.mid(at + yielding_.size());
            const int room = std::max(0, width - metrics.horizontalAdvance(before + after));
            // A path keeps its file name, a file name both ends.
            const Qt::TextElideMode mode =
                yielding_.contains(QLatin1Char('/')) ? Qt::ElideLeft : Qt::ElideMiddle;
            QString name = metrics.elidedText(yielding_, mode, room);
            if (name.isEmpty()) {
                name = QStringLiteral("…");
            }
            shown = before + name + after;
        }
        whole_ = metrics.horizontalAdvance(shown) <= width;
        shown = metrics.elidedText(shown, mode_, width);
        if (text() != shown) {
            setText(shown);
        }
        QString tip = shown != full_ ? full_ : QString();
        if (!detail_.isEmpty()) {
            tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) + detail_;
        }
        setToolTip(tip);
        // A reader hears the whole text, not the shortened one.
        setAccessibleName(full_.isEmpty() ? fieldName_ : full_);
    }

    Qt::TextElideMode mode_;
    QString fieldName_;
    QString full_;
    QString detail_;
    QString yielding_;
    bool whole_ = true;
};

FittedLabel* fitted(QLabel* label) {
    return static_cast<FittedLabel*>(label);
}

// "23,053": grouped the same way whatever the desktop's language, as the dialog's counters
// are plain digits too.
QString grouped(std::uint64_t n) {
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(static_cast<qulonglong>(n));
}

QString causeOf(loader::BootLink::StopCause cause) {
    switch (cause) {
        case loader::BootLink::StopCause::portLost:
            return QStringLiteral("the port was lost");
        case loader::BootLink::StopCause::imageUnreadable:
            return QStringLiteral("the firmware file could not be read");
        case loader::BootLink::StopCause::none:
            break;
    }
    return QStringLiteral("the run was abandoned");
}

}  // namespace

LoaderStatusBar::LoaderStatusBar(QWidget* parent)
    : QStatusBar(parent), timeOfDay_([] { return QTime::currentTime(); }) {
    setObjectName(QStringLiteral("loaderStatusBar"));
    setSizeGripEnabled(false);
    // How the run stands comes first; a by-id device path is told apart by its end.
    state_ = new FittedLabel(this, "runState", Qt::ElideRight, 7, QStringLiteral("Run"));
    port_ = new FittedLabel(this, "loaderPort", Qt::ElideLeft, 3, QStringLiteral("Port"));
    // The bar shows no text of its own: it is named for screen readers.
    setAccessibleName(QStringLiteral("Run status"));
    showState(QStringLiteral("Idle"));
    redraw_.setSingleShot(true);
    redraw_.setInterval(static_cast<int>(redrawMs));
    connect(&redraw_, &QTimer::timeout, this, &LoaderStatusBar::draw);
    // Below the dialog area, which has its size by now: the window grows by the bar.
    const QSize dialog = parent->size();
    const int height = sizeHint().height();
    setGeometry(0, dialog.height(), dialog.width(), height);
    parent->setFixedSize(dialog.width(), dialog.height() + height);
}

QString LoaderStatusBar::portText() const {
    return fitted(port_)->full();
}

QString LoaderStatusBar::stateText() const {
    return fitted(state_)->full();
}

void LoaderStatusBar::showState(const QString& text, const char* colour, const QString& fileName) {
    if (colour != nullptr) {
        redraw_.stop();  // a result: no progress is drawn over it
    }
    // Bold and colour through the font and palette, not a style sheet: the text is shortened
    // with the font it is drawn in.
    QFont font = state_->font();
    font.setBold(colour != nullptr);
    fitted(state_)->setFont(font);
    QPalette palette = state_->palette();
    palette.setColor(QPalette::WindowText, colour != nullptr
                                               ? QColor(QLatin1String(colour))
                                               : this->palette().color(QPalette::WindowText));
    state_->setPalette(palette);
    fitted(state_)->show(text, {}, fileName);
    // A result too long for its field takes the port's too, until the next action: the
    // reason of a refusal is read whole.
    if (colour != nullptr && isVisible() && !port_->isHidden() && !fitted(state_)->whole()) {
        port_->hide();
        reformat();
    }
}

void LoaderStatusBar::actionStarted(const QString& port) {
    redraw_.stop();
    fitted(port_)->show(port);
    if (port_->isHidden()) {
        port_->show();
        reformat();
    }
    phase_ = loader::RunPhase::starting;
    eraseStarted_ = false;
    done_ = 0;
    total_ = 0;
    drawn_ = false;
    resultShown_ = false;
    stoppedShown_ = false;
    showState({});
}

void LoaderStatusBar::resetSent() {
    showState(QStringLiteral("Reset request sent: the firmware restarts into its boot loader"));
    resultShown_ = true;
}

void LoaderStatusBar::follow(const loader::BootLink& link, const QString& fileName,
                             std::uint32_t nowMs) {
    const loader::RunPhase phase = loader::phaseOf(link);
    const bool identified = phase == loader::RunPhase::starting && link.identified();
    if (phase == loader::RunPhase::starting && (!identified || resultShown_)) {
        return;  // idle: the last result (or nothing yet) stays
    }
    resultShown_ = resultShown_ && phase == loader::RunPhase::starting;
    if (phase == loader::RunPhase::writing) {
        if (phase_ != loader::RunPhase::writing) {
            writeStartMs_ = nowMs;
        }
        done_ = link.sentCount();
        total_ = link.imageLength();
    } else if (phase == loader::RunPhase::erasing) {
        done_ = link.eraseReceived();
        total_ = link.eraseTotal();
    }
    const bool progress = (phase == loader::RunPhase::writing ||
                           (phase == loader::RunPhase::erasing && link.eraseStarted())) &&
                          phase == phase_ && eraseStarted_ == link.eraseStarted() && drawn_;
    phase_ = phase;
    eraseStarted_ = link.eraseStarted();
    echoSeen_ = link.echoSeen();
    fileName_ = fileName;
    lastMs_ = nowMs;
    if (identified) {
        identLine_ = QString::fromLatin1(link.identLine().c_str()).trimmed();
    }
    // Progress is drawn a few times a second, and once more after the last step the target
    // took, so a target that stalls leaves its true count on show.
    if (progress && nowMs - drawnMs_ < redrawMs && done_ < total_) {
        if (!redraw_.isActive()) {
            redraw_.start();
        }
        return;
    }
    draw();
}

void LoaderStatusBar::draw() {
    redraw_.stop();
    drawn_ = true;
    drawnMs_ = lastMs_;
    const int percent = loader::percentOf(done_, total_);
    switch (phase_) {
        case loader::RunPhase::identifying:
            showState(echoSeen_ ? QStringLiteral("Waiting for the identification line")
                                : QStringLiteral("Waking the boot loader"));
            break;
        case loader::RunPhase::erasing:
            showState(eraseStarted_ ? QStringLiteral("Erasing the flash: %1%").arg(percent)
                                    : QStringLiteral("Starting the erase"));
            break;
        case loader::RunPhase::writing:
            // The rate once a first millisecond has passed.
            showState(QStringLiteral("Writing %1: %2%").arg(fileName_).arg(percent) +
                      (lastMs_ != writeStartMs_
                           ? QStringLiteral(", %1 B/s")
                                 .arg(grouped(done_ * 1000 / (lastMs_ - writeStartMs_)))
                           : QString()));
            break;
        case loader::RunPhase::starting:
            showState(QStringLiteral("Identified: %1").arg(identLine_));
            break;
    }
}

void LoaderStatusBar::runEnded(const loader::BootLink& link, bool programmed,
                               const QString& fileName, std::uint32_t nowMs) {
    resultShown_ = true;
    if (programmed) {
        const double seconds = (nowMs - writeStartMs_) / 1000.0;
        showState(QStringLiteral("Programmed %1: %2 bytes in %3 s at %4")
                      .arg(fileName, grouped(total_), QString::number(seconds, 'f', 1),
                           timeOfDay_().toString(QStringLiteral("HH:mm:ss"))),
                  programmedColour);
        return;
    }
    QString where;
    switch (phase_) {
        case loader::RunPhase::writing:
            where = QStringLiteral("Stopped at byte %1 of %2").arg(grouped(done_), grouped(total_));
            break;
        case loader::RunPhase::erasing:
            where = QStringLiteral("Stopped while erasing");
            break;
        case loader::RunPhase::identifying:
        case loader::RunPhase::starting:
            where = QStringLiteral("Connection ended");
            break;
    }
    showState(where + QStringLiteral(": ") + causeOf(link.stopCause()), failedColour);
    // The message box that follows says it at length; its text goes to the tool tip.
    stoppedShown_ = true;
}

void LoaderStatusBar::notProgrammed(const QString& reason, const QString& fileName) {
    showState(QStringLiteral("Not programmed: ") + reason, failedColour, fileName);
    resultShown_ = true;
}

void LoaderStatusBar::messageShown(const QString& text, const QString& fileName) {
    const QString line = QString(text).replace('\n', ' ');
    if (stoppedShown_) {
        stoppedShown_ = false;
        fitted(state_)->show(fitted(state_)->full(), line);
        return;
    }
    showState(line, failedColour, fileName);
    resultShown_ = true;
}

}  // namespace loader::ui
