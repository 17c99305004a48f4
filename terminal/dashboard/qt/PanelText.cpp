#include "terminal/dashboard/qt/PanelText.h"

#include <QHash>
#include <QObject>

#include "platform/layout/qt/OpaqueOnBackdrop.h"
#include "platform/layout/qt/TextAtPaint.h"

namespace terminal::ui {

namespace {

// What each box was last given, and the line it shows for it. Kept here, not as a property
// of the box: every status line writes every box, and a property is looked up by name and
// announced with an event on each write.
struct StoredText {
    std::string text;
    QString line;
    // The box shows the line, or takes it at the next paint. Cleared when the box's text
    // changes to another: reading the panel back then needs no comparison for every box.
    bool showing = false;
};

QHash<const QLineEdit*, StoredText>& storedTexts() {
    static QHash<const QLineEdit*, StoredText> texts;
    return texts;
}

StoredText& storedFor(QLineEdit* box) {
    auto& texts = storedTexts();
    auto it = texts.find(box);
    if (it == texts.end()) {
        // A later box at the same address must not inherit this one's text.
        QObject::connect(box, &QObject::destroyed, [box] { storedTexts().remove(box); });
        QObject::connect(box, &QLineEdit::textChanged, [box](const QString& now) {
            const auto found = storedTexts().find(box);
            if (found != storedTexts().end()) {
                found->showing = now == found->line;
            }
        });
        // Written on every status line: repainted alone, not with the group boxes under it.
        platform::OpaqueOnBackdrop::install(box);
        it = texts.insert(box, {});
    }
    return *it;
}

}  // namespace

QString visibleLine(const std::string& text) {
    QString line = QString::fromStdString(text);
    line.remove('\r');
    line.remove('\n');
    return line;
}

void showPanelText(QLineEdit* box, const std::string& text, bool atPaint) {
    StoredText& stored = storedFor(box);
    if (stored.text != text || stored.line.isNull()) {
        stored.text = text;
        stored.line = visibleLine(text);
    }
    // A text wider than the box shows its beginning.
    if (atPaint) {
        platform::setTextAtPaint(box, stored.line, true);
    } else {
        platform::setTextNow(box, stored.line, true);
    }
    stored.showing = true;
}

std::string panelText(const QLineEdit* box) {
    const auto& texts = storedTexts();
    const auto it = texts.constFind(box);
    // The stored text stands for the box while the box shows it or is about to.
    if (it != texts.constEnd() && it->showing) {
        return it->text;
    }
    return box->text().toStdString();
}

}  // namespace terminal::ui
