#include "platform/qt/AccessibleNaming.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QList>

namespace platform {

void nameForReaders(QWidget* control, const QString& name, const QString& description) {
    if (control == nullptr) {
        return;
    }
    QList<QWidget*> parts{control};
    if (auto* list = qobject_cast<QComboBox*>(control)) {
        parts << list->lineEdit() << list->view();
    }
    for (QWidget* part : parts) {
        if (part == nullptr) {
            continue;
        }
        part->setAccessibleName(name);
        if (!description.isEmpty()) {
            part->setAccessibleDescription(description);
        }
    }
}

void tieLabel(QWidget* control, const ControlRow& labelRow) {
    if (control == nullptr || control->parentWidget() == nullptr) {
        return;
    }
    const QString shown = DialogLayout::plainCaption(labelRow.caption);
    for (auto* label : control->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->text() == shown) {
            label->setBuddy(control);
            return;
        }
    }
}

}  // namespace platform
