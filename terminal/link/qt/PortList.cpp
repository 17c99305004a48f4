#include "terminal/link/qt/PortList.h"

#include <QLineEdit>

#include "platform/serial/PortMap.h"
#include "terminal/link/PortNumber.h"
#include "terminal/link/qt/PortListPopup.h"

namespace terminal::ui {

namespace {

// Which device a port name reaches; a name outside the list opens COM1.
QString deviceTip(const QString& name) {
    const int number = portNumberFor(name.toStdString());
    QString tip = QString::fromStdString(platform::describeComPort(number));
    if (portNameFor(number) != name.toStdString()) {
        tip = QStringLiteral("\"%1\" is not in the list: %2").arg(name, tip);
    }
    return tip;
}

}  // namespace

void fillPortList(QComboBox* combo) {
    combo->clear();
    for (int n = firstPortNumber; n <= lastPortNumber; ++n) {
        const QString name = QString::fromStdString(portNameFor(n));
        combo->addItem(name);
        combo->setItemData(combo->count() - 1, deviceTip(name), Qt::ToolTipRole);
    }
    combo->setMaxVisibleItems(12);
    attachPortDiscovery(combo);
    QObject::connect(combo, &QComboBox::currentTextChanged, combo,
                     [combo](const QString& text) { combo->setToolTip(deviceTip(text)); });
}

void showPortName(QComboBox* combo, const QString& name) {
    if (combo->hasFocus() && combo->currentText() == name) {
        return;
    }
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i).startsWith(name, Qt::CaseInsensitive)) {
            // Written on every status line: the edit text is set only when it differs, as
            // setting it lays the text out anew even when it is the same.
            if (combo->currentIndex() != i) {
                combo->setCurrentIndex(i);
            }
            // Selecting the entry that is already current leaves a typed text in place.
            if (combo->currentText() != combo->itemText(i)) {
                combo->setEditText(combo->itemText(i));
            }
            return;
        }
    }
    if (combo->currentText() != name) {
        combo->setEditText(name);
    }
}

}  // namespace terminal::ui
