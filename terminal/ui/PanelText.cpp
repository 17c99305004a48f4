#include "terminal/ui/PanelText.h"

#include <QVariant>

namespace terminal::ui {

namespace {
constexpr const char* storedText = "panelText";
}

QString visibleLine(const std::string& text) {
    QString line = QString::fromStdString(text);
    line.remove('\r');
    line.remove('\n');
    return line;
}

void showPanelText(QLineEdit* box, const std::string& text) {
    box->setProperty(storedText, QByteArray::fromStdString(text));
    const QString line = visibleLine(text);
    if (box->text() != line) {
        box->setText(line);
        box->setCursorPosition(0);  // a text wider than the box shows its beginning
    }
}

std::string panelText(const QLineEdit* box) {
    const QByteArray stored = box->property(storedText).toByteArray();
    // The stored text stands for the box only while the box still shows it.
    if (visibleLine(stored.toStdString()) == box->text()) {
        return stored.toStdString();
    }
    return box->text().toStdString();
}

}  // namespace terminal::ui
