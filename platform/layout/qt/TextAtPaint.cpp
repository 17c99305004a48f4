#include "platform/layout/qt/TextAtPaint.h"

#include <QEvent>
#include <QHash>
#include <QLineEdit>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QVector>
#include <utility>

namespace platform {

namespace {

struct Waiting {
    QString text;
    bool fromStart = false;
};

// The texts waiting for a paint, one a box; and whether they are being handed over now.
QHash<const QLineEdit*, Waiting>& waitingTexts() {
    static QHash<const QLineEdit*, Waiting> texts;
    return texts;
}
bool handingOver = false;

// Hands a window's waiting texts to their boxes when its update request arrives, or after
// the backstop's time when none does (the window hidden meanwhile).
class PaintHandOver : public QObject {
public:
    static PaintHandOver& of(QWidget* window) {
        static QHash<const QWidget*, QPointer<PaintHandOver>> perWindow;
        QPointer<PaintHandOver>& found = perWindow[window];
        if (found.isNull()) {
            found = new PaintHandOver(window);
            QObject::connect(window, &QObject::destroyed, [window] { perWindow.remove(window); });
        }
        return *found;
    }

    void hold(QLineEdit* box) {
        boxes_.append(box);
        if (!backstop_.isActive()) {
            backstop_.start();
        }
    }

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::UpdateRequest && !boxes_.isEmpty()) {
            handOver();
        }
        return false;
    }

private:
    static constexpr int backstopMs = 100;

    explicit PaintHandOver(QWidget* window) : QObject(window) {
        window->installEventFilter(this);
        backstop_.setSingleShot(true);
        backstop_.setInterval(backstopMs);
        connect(&backstop_, &QTimer::timeout, this, &PaintHandOver::handOver);
    }

    void handOver() {
        backstop_.stop();
        const QVector<QPointer<QLineEdit>> boxes = std::exchange(boxes_, {});
        auto& texts = waitingTexts();
        handingOver = true;
        for (const QPointer<QLineEdit>& box : boxes) {
            if (box.isNull()) {
                continue;
            }
            const auto it = texts.find(box.data());
            if (it == texts.end()) {
                continue;
            }
            const Waiting waiting = std::move(*it);
            texts.erase(it);
            if (box->text() != waiting.text) {
                box->setText(waiting.text);
                if (waiting.fromStart) {
                    box->setCursorPosition(0);
                }
            }
        }
        handingOver = false;
    }

    QVector<QPointer<QLineEdit>> boxes_;
    QTimer backstop_;
};

void setNow(QLineEdit* box, const QString& text, bool fromStart) {
    box->setText(text);
    if (fromStart) {
        box->setCursorPosition(0);
    }
}

}  // namespace

void setTextAtPaint(QLineEdit* box, const QString& text, bool fromStart) {
    auto& texts = waitingTexts();
    const auto it = texts.find(box);
    if (it != texts.end()) {
        // Compared with the box when it is handed over.
        it->text = text;
        it->fromStart = fromStart;
        return;
    }
    if (box->text() == text) {
        return;
    }
    if (!box->isVisible()) {
        setNow(box, text, fromStart);  // nothing paints it; whoever looks gets it at once
        return;
    }
    static QSet<const QLineEdit*> wired;
    if (!wired.contains(box)) {
        wired.insert(box);
        QObject::connect(box, &QObject::destroyed, [box] {
            waitingTexts().remove(box);
            wired.remove(box);
        });
        QObject::connect(box, &QLineEdit::textChanged, [box] {
            if (!handingOver) {
                waitingTexts().remove(box);
            }
        });
    }
    texts.insert(box, {text, fromStart});
    PaintHandOver::of(box->window()).hold(box);
    box->update();  // asks the window for the paint that hands the text over
}

void setTextNow(QLineEdit* box, const QString& text, bool fromStart) {
    waitingTexts().remove(box);
    if (box->text() != text) {
        setNow(box, text, fromStart);
    }
}

QString textAtPaint(const QLineEdit* box) {
    const auto& texts = waitingTexts();
    const auto it = texts.constFind(box);
    return it != texts.constEnd() ? it->text : box->text();
}

}  // namespace platform
