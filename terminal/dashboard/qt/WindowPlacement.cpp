#include "terminal/dashboard/qt/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>

namespace terminal::ui {

WindowPlacement::Saved WindowPlacement::readSaved() const {
    const QSettings settings(file_, QSettings::IniFormat);
    return {settings.value(group_ + QStringLiteral("/geometry")).toRect(),
            settings.value(group_ + QStringLiteral("/screen")).toString(),
            settings.value(group_ + QStringLiteral("/screenArea")).toRect(),
            settings.value(group_ + QStringLiteral("/pixelRatio"), 0.0).toReal()};
}

WindowPlacement::WindowPlacement(QWidget* window, QString file, QString group)
    : QObject(window),
      window_(window),
      file_(std::move(file)),
      group_(std::move(group)),
      pending_(new QTimer(this)) {
    const Saved saved = readSaved();
    if (QScreen* screen = screenFor(saved, window_)) {
        window_->setScreen(screen);
        window_->setGeometry(saved.place);
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

QScreen* WindowPlacement::screenFor(const Saved& saved, const QWidget* window) {
    if (!saved.place.isValid() || !saved.screenArea.isValid() ||
        saved.place.width() < window->minimumWidth() ||
        saved.place.height() < window->minimumHeight()) {
        return nullptr;
    }
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen->name() == saved.screen && screen->availableGeometry() == saved.screenArea &&
            qFuzzyCompare(screen->devicePixelRatio(), saved.pixelRatio) &&
            saved.screenArea.contains(saved.place)) {
            return screen;
        }
    }
    return nullptr;
}

bool WindowPlacement::platformRemembers() {
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

void WindowPlacement::save() {
    pending_->stop();
    QScreen* screen = window_->screen();
    if (!shown_ || !platformRemembers() || screen == nullptr || window_->isMinimized() ||
        window_->isMaximized() || window_->isFullScreen()) {
        return;
    }
    QSettings settings(file_, QSettings::IniFormat);
    settings.setValue(group_ + QStringLiteral("/geometry"), window_->geometry());
    settings.setValue(group_ + QStringLiteral("/screen"), screen->name());
    settings.setValue(group_ + QStringLiteral("/screenArea"), screen->availableGeometry());
    settings.setValue(group_ + QStringLiteral("/pixelRatio"), screen->devicePixelRatio());
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
