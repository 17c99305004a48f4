#include "platform/layout/qt/OpaqueOnBackdrop.h"

#include <QEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace platform {

namespace {
constexpr const char* installedName = "opaqueOnBackdrop";
}

void OpaqueOnBackdrop::install(QWidget* widget) {
    if (widget == nullptr || widget->parentWidget() == nullptr ||
        widget->findChild<OpaqueOnBackdrop*>(installedName, Qt::FindDirectChildrenOnly)) {
        return;
    }
    widget->installEventFilter(new OpaqueOnBackdrop(widget));
}

OpaqueOnBackdrop::OpaqueOnBackdrop(QWidget* widget) : QObject(widget), widget_(widget) {
    setObjectName(installedName);
}

bool OpaqueOnBackdrop::current() const {
    return !backdrop_.isNull() && size_ == widget_->size() && place_ == widget_->pos() &&
           parentSize_ == widget_->parentWidget()->size() &&
           backdrop_.devicePixelRatio() == widget_->devicePixelRatioF();
}

void OpaqueOnBackdrop::drop() {
    backdrop_ = QPixmap();
    widget_->setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void OpaqueOnBackdrop::take() {
    // Outside any paint event: the parent is rendered with its children, this widget painting
    // nothing meanwhile, so the picture is what lies behind it.
    QWidget* parent = widget_->parentWidget();
    if (parent == nullptr || !widget_->isVisible() || widget_->width() <= 0 ||
        widget_->height() <= 0) {
        return;
    }
    const qreal ratio = widget_->devicePixelRatioF();
    QPixmap backdrop(widget_->size() * ratio);
    backdrop.setDevicePixelRatio(ratio);
    backdrop.fill(widget_->palette().color(QPalette::Window));
    taking_ = true;
    parent->render(&backdrop, QPoint(), QRegion(widget_->geometry()),
                   QWidget::DrawWindowBackground | QWidget::DrawChildren);
    taking_ = false;
    backdrop_ = backdrop;
    size_ = widget_->size();
    place_ = widget_->pos();
    parentSize_ = parent->size();
    widget_->setAttribute(Qt::WA_OpaquePaintEvent, true);
}

bool OpaqueOnBackdrop::eventFilter(QObject* watched, QEvent* event) {
    if (watched != widget_) {
        return false;
    }
    switch (event->type()) {
        case QEvent::Paint:
            if (taking_) {
                return true;  // the backdrop is what lies behind the widget, without it
            }
            if (current()) {
                QPainter painter(widget_);
                painter.drawPixmap(0, 0, backdrop_);
            } else {
                if (widget_->testAttribute(Qt::WA_OpaquePaintEvent)) {
                    QPainter painter(widget_);
                    painter.fillRect(widget_->rect(), widget_->palette().color(QPalette::Window));
                }
                if (!pending_) {
                    pending_ = true;
                    QTimer::singleShot(0, this, [this] {
                        pending_ = false;
                        take();
                    });
                }
            }
            return false;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::PaletteChange:
        case QEvent::StyleChange:
            drop();
            return false;
        default:
            return false;
    }
}

}  // namespace platform
