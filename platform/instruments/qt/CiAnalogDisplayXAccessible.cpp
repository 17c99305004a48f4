#include "platform/instruments/qt/CiAnalogDisplayXAccessible.h"

#include <algorithm>

#include "platform/instruments/qt/CiAnalogDisplayX.h"

namespace platform {

CiAnalogDisplayXAccessible::CiAnalogDisplayXAccessible(CiAnalogDisplayX* display)
    : QAccessibleWidget(display, QAccessible::StaticText) {}

void CiAnalogDisplayXAccessible::announceText(CiAnalogDisplayX* display, const QString& before,
                                              const QString& after) {
    if (!QAccessible::isActive()) {
        return;
    }
    QAccessibleTextUpdateEvent event(display, 0, before, after);
    QAccessible::updateAccessibility(&event);
}

CiAnalogDisplayX* CiAnalogDisplayXAccessible::display() const {
    return static_cast<CiAnalogDisplayX*>(widget());
}

QString CiAnalogDisplayXAccessible::text(QAccessible::Text kind) const {
    if (kind == QAccessible::Value) {
        return display()->displayText();
    }
    return QAccessibleWidget::text(kind);
}

QAccessible::State CiAnalogDisplayXAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    return state;
}

void* CiAnalogDisplayXAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface) {
        return static_cast<QAccessibleTextInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

void CiAnalogDisplayXAccessible::selection(int, int* startOffset, int* endOffset) const {
    *startOffset = 0;
    *endOffset = 0;
}

int CiAnalogDisplayXAccessible::selectionCount() const {
    return 0;
}

void CiAnalogDisplayXAccessible::addSelection(int, int) {}

void CiAnalogDisplayXAccessible::removeSelection(int) {}

void CiAnalogDisplayXAccessible::setSelection(int, int, int) {}

int CiAnalogDisplayXAccessible::cursorPosition() const {
    return 0;
}

void CiAnalogDisplayXAccessible::setCursorPosition(int) {}

QString CiAnalogDisplayXAccessible::text(int startOffset, int endOffset) const {
    const QString shown = display()->displayText();
    // -1 as the end means "to the end of the text".
    const qsizetype end =
        endOffset < 0 ? shown.size() : std::min<qsizetype>(endOffset, shown.size());
    const qsizetype start = std::clamp<qsizetype>(startOffset, 0, end);
    return shown.mid(start, end - start);
}

int CiAnalogDisplayXAccessible::characterCount() const {
    return static_cast<int>(display()->displayText().size());
}

QRect CiAnalogDisplayXAccessible::characterRect(int) const {
    return {};
}

int CiAnalogDisplayXAccessible::offsetAtPoint(const QPoint&) const {
    return -1;
}

void CiAnalogDisplayXAccessible::scrollToSubstring(int, int) {}

QString CiAnalogDisplayXAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    *startOffset = offset;
    *endOffset = offset;
    return {};
}

}  // namespace platform
