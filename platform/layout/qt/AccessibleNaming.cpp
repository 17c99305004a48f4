#include "platform/layout/qt/AccessibleNaming.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QList>

#include "platform/layout/qt/LayoutCaptions.h"

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

void nameByLayout(QWidget* control, const ControlRow& row, std::span<const ControlRow> rows) {
    const ControlRow* label = labelRowBefore(row, rows);
    if (label != nullptr) {
        tieLabel(control, *label);
    }
    nameForReaders(control,
                   label != nullptr ? captionText(label->caption) : groupCaptionAround(row, rows),
                   labelAbove(row, rows));
}

}  // namespace platform
