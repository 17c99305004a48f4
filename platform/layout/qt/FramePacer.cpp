#include "platform/layout/qt/FramePacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace platform {

FramePacer* FramePacer::install(QWidget* window, int frameMs) {
    auto* pacer = new FramePacer(window, frameMs);
    window->installEventFilter(pacer);
    return pacer;
}

FramePacer::FramePacer(QWidget* window, int frameMs)
    : QObject(window), window_(window), frameMs_(frameMs) {
    frameTimer_.setSingleShot(true);
    frameTimer_.setTimerType(Qt::PreciseTimer);
    connect(&frameTimer_, &QTimer::timeout, this, &FramePacer::frameEnd);
}

bool FramePacer::eventFilter(QObject* watched, QEvent* event) {
    if (watched != window_ || event->type() != QEvent::UpdateRequest) {
        return false;
    }
    if (!sincePaint_.isValid() || sincePaint_.elapsed() >= frameMs_) {
        sincePaint_.start();
        return false;  // paint now
    }
    // Held: Qt posts no further request until this one has been handled, so one request at
    // the frame's end paints everything marked since.
    ++held_;
    if (!frameTimer_.isActive()) {
        frameTimer_.start(static_cast<int>(frameMs_ - sincePaint_.elapsed()));
    }
    return true;
}

void FramePacer::frameEnd() {
    QCoreApplication::postEvent(window_, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
}

}  // namespace platform
