#include "terminal/dashboard/qt/NarrowToFit.h"

#include <QFontMetrics>
#include <QLabel>

namespace terminal::ui {

void narrowToFit(QLabel* label) {
    const QString text = label->text();
    QFont font = label->font();
    for (int stretch : {QFont::SemiCondensed, QFont::Condensed}) {
        if (QFontMetrics(font).horizontalAdvance(text) <= label->width()) {
            break;
        }
        font.setStretch(stretch);
    }
    label->setFont(font);
}

void narrowLabelsToFit(QWidget* window) {
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) {
            narrowToFit(label);
        }
    }
}

}  // namespace terminal::ui
