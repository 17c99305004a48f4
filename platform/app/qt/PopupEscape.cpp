#include "platform/app/qt/PopupEscape.h"

#include <QApplication>
#include <QKeyEvent>

namespace platform {

void PopupEscape::install(QApplication& app) {
    app.installEventFilter(new PopupEscape(&app));
}

bool PopupEscape::eventFilter(QObject* /*watched*/, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress &&
        type != QEvent::KeyRelease) {
        return false;
    }
    const bool escape = static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape;
    if (type == QEvent::KeyRelease) {
        // The next press is a new one, meant for whatever is open then.
        if (escape) {
            closedPopup_ = false;
        }
        return false;
    }
    if (!escape) {
        closedPopup_ = closedPopup_ && type == QEvent::ShortcutOverride;
        return false;
    }
    if (QApplication::activePopupWidget() != nullptr) {
        // The popup closes itself, on this event or on the press.
        closedPopup_ = true;
        return false;
    }
    if (type == QEvent::KeyPress && closedPopup_) {
        closedPopup_ = false;
        event->accept();
        return true;
    }
    return false;
}

}  // namespace platform
