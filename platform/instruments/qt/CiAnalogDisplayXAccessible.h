#pragma once

#include <QAccessibleWidget>

namespace platform {

class CiAnalogDisplayX;

// What a screen reader or a GUI test reads from a numeric display: its caption as the name
// (the accessible name its window gives it) and, as read-only text, exactly what the face
// shows ("4015.88 RPM").
class CiAnalogDisplayXAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit CiAnalogDisplayXAccessible(CiAnalogDisplayX* display);

    // Tells a listening client that the shown text went from `before` to `after`. Builds and
    // sends nothing while no accessibility client is active.
    static void announceText(CiAnalogDisplayX* display, const QString& before,
                             const QString& after);

    QString text(QAccessible::Text kind) const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleTextInterface: the shown text, read-only, without selection or cursor.
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    CiAnalogDisplayX* display() const;
};

}  // namespace platform
