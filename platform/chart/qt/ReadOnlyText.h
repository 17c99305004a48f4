#pragma once
// The text interface of an accessible object that only shows a text: all of it readable,
// nothing selectable or editable. The object says what it shows in shownText().

#include <QAccessible>
#include <QAccessibleWidget>
#include <QRect>
#include <QString>
#include <QVariant>
#include <QWidget>
#include <algorithm>

namespace platform {

class ReadOnlyText : public QAccessibleTextInterface {
public:
    virtual QString shownText() const = 0;

    void selection(int, int* startOffset, int* endOffset) const override {
        *startOffset = 0;
        *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override {
        const QString all = shownText();
        // -1 as the end means "to the end of the text".
        const qsizetype end =
            endOffset < 0 ? all.size() : std::min<qsizetype>(endOffset, all.size());
        const qsizetype start = std::clamp<qsizetype>(startOffset, 0, end);
        return all.mid(start, end - start);
    }
    int characterCount() const override { return static_cast<int>(shownText().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        *startOffset = offset;
        *endOffset = offset;
        return {};
    }
};

// A label read out as text: its name the label's text (or the accessible name given), its
// description the one given, its text what it shows.
class LabelAccessible : public QAccessibleWidget, public ReadOnlyText {
public:
    explicit LabelAccessible(QWidget* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString shownText() const override { return labelText(); }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            return labelText();
        }
        if (kind == QAccessible::Value) {
            return labelText();
        }
        return QAccessibleWidget::text(kind);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }
    using ReadOnlyText::text;

private:
    QString labelText() const { return widget()->property("text").toString(); }
};

}  // namespace platform
