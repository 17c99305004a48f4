#pragma once
// Plays the operator in a modal dialog: once a modal window of type T is up (checked from the
// event loop every few milliseconds), runs `act` on it. A dialog that never opens ends the wait
// after `timeoutMs`, so no test stays blocked in a modal loop.

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace uitest {

template <class T>
void whenModalOpens(std::function<void(T*)> act, int timeoutMs = 5000) {
    auto* timer = new QTimer(qApp);
    timer->setObjectName(QStringLiteral("modalDriver"));
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act, clock, timeoutMs] {
        if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
            modal != nullptr && modal->isVisible()) {
            timer->deleteLater();
            timer->stop();
            act(modal);
        } else if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            // Whatever is modal now is closed so the test can go on and fail visibly.
            if (QWidget* other = QApplication::activeModalWidget()) {
                other->close();
            }
        }
    });
    timer->start(5);
}

// Drops every driver still waiting, so none of them plays in a later dialog.
inline void cancelModalDrivers() {
    for (QTimer* timer : qApp->findChildren<QTimer*>(QStringLiteral("modalDriver"))) {
        timer->stop();
        delete timer;
    }
}

}  // namespace uitest
