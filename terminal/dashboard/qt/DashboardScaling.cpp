#include "terminal/dashboard/qt/DashboardScaling.h"

#include <QAction>
#include <QEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "platform/layout/qt/ScaledStyle.h"

namespace terminal::ui {

namespace {

// The status bar keeps a fixed 3 pixels above its fields; below them a little room that
// scales with the rest.
constexpr int barTopSpacing = 3;
constexpr qreal barPadding = 4.0;

// Every control of the window, the bar's fields and the parts of a combo box included, but
// no window of its own (dialogs, a combo box's list).
void setStyleOnControls(QWidget* window, platform::ScaledStyle* style) {
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if (!child->isWindow() && child->window() == window && child->style() != style) {
            child->setStyle(style);
        }
    }
}

}  // namespace

DashboardScaling::DashboardScaling(QWidget* window, QSize units, QWidget* bar)
    : QObject(window),
      window_(window),
      bar_(bar),
      units_(units),
      base_(layout_.toPixels(units.width(), units.height())),
      style_(platform::ScaledStyle::forWindow(window)),
      actualSize_(new QAction(QStringLiteral("Actual size"), window)) {
    window_->setFont(layout_.font());
    setStyleOnControls(window_, style_);
    window_->setMinimumSize(sizeAt(minimumScale));
    window_->installEventFilter(this);

    actualSize_->setObjectName(QStringLiteral("actualSize"));
    actualSize_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    actualSize_->setShortcutContext(Qt::WindowShortcut);
    connect(actualSize_, &QAction::triggered, this, &DashboardScaling::showActualSize);
}

int DashboardScaling::barHeightAt(qreal scale) const {
    QFont font = layout_.font();
    font.setPointSizeF(font.pointSizeF() * scale);
    return int(std::ceil(QFontMetricsF(font).height())) + barTopSpacing +
           qRound(barPadding * scale);
}

QSize DashboardScaling::sizeAt(qreal scale) const {
    return {qRound(base_.width() * scale), qRound(base_.height() * scale) + barHeightAt(scale)};
}

qreal DashboardScaling::scaleFor(QSize size) const {
    qreal scale = std::min(qreal(size.width()) / base_.width(),
                           qreal(size.height() - barHeightAt(1.0)) / base_.height());
    // The bar's height follows the scale: settle the two, then step down until both fit.
    for (int i = 0; i < 4; ++i) {
        scale = std::min(qreal(size.width()) / base_.width(),
                         qreal(size.height() - barHeightAt(scale)) / base_.height());
    }
    while (scale > minimumScale &&
           (sizeAt(scale).width() > size.width() || sizeAt(scale).height() > size.height())) {
        scale -= 0.001;
    }
    return std::max(minimumScale, scale);
}

QSize DashboardScaling::fittingSize(const QRect& available) const {
    return sizeAt(std::min(1.0, scaleFor(roomIn(available).size())));
}

QRect DashboardScaling::roomIn(const QRect& available) const {
    const QScreen* screen =
        window_->screen() ? window_->screen() : QGuiApplication::primaryScreen();
    return platform::DialogLayout::roomIn(
        available, platform::DialogLayout::frameMargins(window_),
        platform::DialogLayout::unreportedPanelRoom(QGuiApplication::platformName(), available,
                                                    screen ? screen->geometry() : available));
}

QRect DashboardScaling::screenArea() const {
    QScreen* screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(QPoint(0, 0), sizeAt(1.0));
}

void DashboardScaling::fitToScreen() {
    const QRect available = screenArea();
    const QSize size = fittingSize(available);
    window_->resize(size);
    apply(size);
    fitted_ = size;
    QRect place(QPoint(0, 0), size);
    place.moveCenter(roomIn(available).center());
    window_->move(place.topLeft());
}

void DashboardScaling::showActualSize() {
    const QRect available = screenArea();
    const QRect room = roomIn(available);
    QRect place(window_->pos(), fittingSize(available));
    // Where it grew past the screen's edge, moved back onto the screen.
    if (place.right() > room.right()) {
        place.moveRight(room.right());
    }
    if (place.bottom() > room.bottom()) {
        place.moveBottom(room.bottom());
    }
    place.moveTopLeft(
        QPoint(std::max(place.left(), room.left()), std::max(place.top(), room.top())));
    window_->resize(place.size());
    window_->move(place.topLeft());
}

void DashboardScaling::apply(QSize size) {
    const qreal scale = scaleFor(size);
    const int barHeight = barHeightAt(scale);
    if (std::abs(scale - layout_.scale()) > 1e-4) {
        layout_.setScale(scale);
        style_->setScale(scale);
        // The bar's fields follow the window's font: every part of the window at one scale.
        window_->setFont(layout_.scaledFont());
        for (QWidget* child : window_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (platform::DialogLayout::isPlaced(child)) {
                layout_.place(child);
            }
        }
    }
    bar_->setGeometry(0, size.height() - barHeight, size.width(), barHeight);
}

void DashboardScaling::fitToShownFrame() {
    // Resized by then (a size restored, the user's): left as it is.
    if (window_->size() == fitted_ && fittingSize(screenArea()) != fitted_) {
        fitToScreen();
    }
}

bool DashboardScaling::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && event->type() == QEvent::Resize) {
        apply(window_->size());
    }
    // The frame is known once the window is shown (at once where the program draws it
    // itself, as on Wayland); fitted again with it, the window keeps its status bar on screen.
    if (watched == window_ && event->type() == QEvent::Show && !shownOnce_) {
        shownOnce_ = true;
        QTimer::singleShot(0, this, &DashboardScaling::fitToShownFrame);
    }
    return false;
}

}  // namespace terminal::ui
