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
    const QRect place = settings.value(group_ + QStringLiteral("/geometry")).toRect();
    return {place, settings.value(group_ + QStringLiteral("/size"), place.size()).toSize(),
            settings.value(group_ + QStringLiteral("/screen")).toString(),
            settings.value(group_ + QStringLiteral("/screenArea")).toRect(),
            settings.value(group_ + QStringLiteral("/pixelRatio"), 0.0).toReal()};
}

WindowPlacement::WindowPlacement(QWidget* window, QString file, QString group, Platform platform)
    : QObject(window),
      window_(window),
      file_(std::move(file)),
      group_(std::move(group)),
      platform_(platform),
      pending_(new QTimer(this)) {
    Saved saved = readSaved();
    if (platform_ != Platform::sizesOnly) {
        if (QScreen* screen = screenFor(saved, window_)) {
            window_->setScreen(screen);
            window_->setGeometry(saved.place);
        }
    } else {
        // A position would be ignored, and the one a file holds means nothing here.
        saved.place = QRect(saved.screenArea.topLeft(), saved.size);
        if (QScreen* screen = screenFor(saved, window_)) {
            window_->setScreen(screen);
            window_->resize(saved.size);
        }
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
    return currentPlatform() != Platform::none;
}

WindowPlacement::Platform WindowPlacement::currentPlatform() {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
        return Platform::none;
    }
    // "wayland", "wayland-egl": a client never learns or chooses where its window is.
    return platform.startsWith(QLatin1String("wayland")) ? Platform::sizesOnly : Platform::places;
}

void WindowPlacement::save() {
    pending_->stop();
    QScreen* screen = window_->screen();
    if (!shown_ || platform_ == Platform::none || screen == nullptr || window_->isMinimized() ||
        window_->isMaximized() || window_->isFullScreen()) {
        return;
    }
    QSettings settings(file_, QSettings::IniFormat);
    // The place where the program chose it; a run that may not place windows leaves the
    // last such place alone.
    if (platform_ == Platform::places) {
        settings.setValue(group_ + QStringLiteral("/geometry"), window_->geometry());
    }
    settings.setValue(group_ + QStringLiteral("/size"), window_->size());
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
