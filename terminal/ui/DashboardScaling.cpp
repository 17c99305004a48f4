#include "terminal/ui/DashboardScaling.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace terminal::ui {

namespace {

// Room for a window manager's frame and title bar, which are not known before the window is
// first shown.
constexpr int frameAllowanceX = 16;
constexpr int frameAllowanceY = 48;

}  // namespace

DashboardScaling::DashboardScaling(QWidget* window, QSize units, QWidget* bar)
    : QObject(window),
      window_(window),
      bar_(bar),
      units_(units),
      base_(layout_.toPixels(units.width(), units.height())) {
    // The bar keeps the dialog font's size, so it stays readable in a small window.
    bar_->setFont(platform::DialogLayout::dialogFont());
    window_->setFont(layout_.font());
    window_->setMinimumSize(sizeAt(minimumScale));
    window_->installEventFilter(this);
}

QSize DashboardScaling::sizeAt(qreal scale) const {
    return {qRound(base_.width() * scale),
            qRound(base_.height() * scale) + bar_->sizeHint().height()};
}

QSize DashboardScaling::fittingSize(const QRect& available) const {
    const int barHeight = bar_->sizeHint().height();
    const qreal across = qreal(available.width() - frameAllowanceX) / base_.width();
    const qreal down = qreal(available.height() - frameAllowanceY - barHeight) / base_.height();
    return sizeAt(std::clamp(std::min(across, down), minimumScale, 1.0));
}

void DashboardScaling::fitToScreen() {
    QScreen* screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen();
    const QSize size = screen ? fittingSize(screen->availableGeometry()) : sizeAt(1.0);
    window_->resize(size);
    apply(size);
}

void DashboardScaling::apply(QSize size) {
    const int barHeight = bar_->sizeHint().height();
    const qreal across = qreal(size.width()) / base_.width();
    const qreal down = qreal(size.height() - barHeight) / base_.height();
    const qreal scale = std::max(minimumScale, std::min(across, down));
    if (std::abs(scale - layout_.scale()) > 1e-4) {
        layout_.setScale(scale);
        window_->setFont(layout_.scaledFont());
        for (QWidget* child : window_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (platform::DialogLayout::isPlaced(child)) {
                layout_.place(child);
            }
        }
    }
    bar_->setGeometry(0, size.height() - barHeight, size.width(), barHeight);
}

bool DashboardScaling::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && event->type() == QEvent::Resize) {
        apply(window_->size());
    }
    return false;
}

}  // namespace terminal::ui
