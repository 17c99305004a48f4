#include "terminal/ui/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>

namespace terminal::ui {

namespace {

const QString placeKey = QStringLiteral("window/geometry");
const QString screenKey = QStringLiteral("window/screen");
const QString screenAreaKey = QStringLiteral("window/screenArea");
const QString pixelRatioKey = QStringLiteral("window/pixelRatio");

WindowPlacement::Saved readSaved(const QString& file) {
    const QSettings settings(file, QSettings::IniFormat);
    return {settings.value(placeKey).toRect(), settings.value(screenKey).toString(),
            settings.value(screenAreaKey).toRect(), settings.value(pixelRatioKey, 0.0).toReal()};
}

}  // namespace

WindowPlacement::WindowPlacement(QWidget* window, QString file)
    : QObject(window), window_(window), file_(std::move(file)), pending_(new QTimer(this)) {
    const Saved saved = readSaved(file_);
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
    settings.setValue(placeKey, window_->geometry());
    settings.setValue(screenKey, screen->name());
    settings.setValue(screenAreaKey, screen->availableGeometry());
    settings.setValue(pixelRatioKey, screen->devicePixelRatio());
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
