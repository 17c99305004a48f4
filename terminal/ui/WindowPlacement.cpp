#include "terminal/ui/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>

namespace terminal::ui {

WindowPlacement::WindowPlacement(QWidget* window, QString file, QString key)
    : QObject(window),
      window_(window),
      file_(std::move(file)),
      key_(std::move(key)),
      pending_(new QTimer(this)) {
    const QRect saved = QSettings(file_, QSettings::IniFormat).value(key_).toRect();
    if (saved.isValid() && fits(saved, window_)) {
        window_->setGeometry(saved);
    }
    // Saved a moment after the last move or resize, so a drag writes the file once.
    pending_->setSingleShot(true);
    pending_->setInterval(300);
    connect(pending_, &QTimer::timeout, this, &WindowPlacement::save);
    window_->installEventFilter(this);
}

WindowPlacement::~WindowPlacement() {
    if (pending_->isActive()) {
        save();
    }
}

QString WindowPlacement::defaultFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Tessaly/Tessaly.conf");
}

bool WindowPlacement::fits(const QRect& place, const QWidget* window) {
    if (place.width() < window->minimumWidth() || place.height() < window->minimumHeight()) {
        return false;
    }
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().contains(place)) {
            return true;
        }
    }
    return false;
}

void WindowPlacement::save() {
    pending_->stop();
    if (!shown_ || window_->isMinimized() || window_->isMaximized()) {
        return;
    }
    QSettings settings(file_, QSettings::IniFormat);
    settings.setValue(key_, window_->geometry());
    settings.sync();
}

bool WindowPlacement::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_) {
        switch (event->type()) {
            case QEvent::Show:
                shown_ = true;
                pending_->start();
                break;
            case QEvent::Move:
            case QEvent::Resize:
                pending_->start();
                break;
            case QEvent::Hide:
                if (pending_->isActive()) {
                    save();
                }
                break;
            default:
                break;
        }
    }
    return false;
}

}  // namespace terminal::ui
