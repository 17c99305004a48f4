#include "platform/layout/qt/LayoutCaptions.h"

#include <QRect>
#include <algorithm>

namespace platform {

namespace {

// How far, in dialog units, a label may end before or after the control it names begins.
constexpr int labelGap = 4;

// A closed drop-down list is one line high; its row's height is that of the dropped list.
constexpr int closedListHeight = 12;

QRect unitsOf(const ControlRow& row) {
    const bool list = row.kind == ControlKind::editableCombo;
    return {row.x, row.y, row.w, list ? std::min(row.h, closedListHeight) : row.h};
}

// The smallest group box holding `control` whole.
const ControlRow* groupAround(const ControlRow& control, std::span<const ControlRow> rows) {
    const QRect place = unitsOf(control);
    const ControlRow* smallest = nullptr;
    for (const ControlRow& row : rows) {
        if (row.kind != ControlKind::groupBox || &row == &control ||
            !unitsOf(row).contains(place)) {
            continue;
        }
        if (smallest == nullptr || row.w * row.h < smallest->w * smallest->h) {
            smallest = &row;
        }
    }
    return smallest;
}

}  // namespace

QString captionText(const char* caption) {
    QString text = DialogLayout::plainCaption(caption).trimmed();
    if (text.endsWith(QLatin1Char(':'))) {
        text.chop(1);
    }
    return text.trimmed();
}

const ControlRow* rowWithId(std::span<const ControlRow> rows, int id) {
    for (const ControlRow& row : rows) {
        if (id != 0 && row.id == id) {
            return &row;
        }
    }
    return nullptr;
}

QString groupCaptionAround(const ControlRow& control, std::span<const ControlRow> rows) {
    const ControlRow* group = groupAround(control, rows);
    return group != nullptr ? captionText(group->caption) : QString();
}

const ControlRow* labelRowBefore(const ControlRow& control, std::span<const ControlRow> rows) {
    const QRect place = unitsOf(control);
    for (const ControlRow& row : rows) {
        const QRect label = unitsOf(row);
        const int end = row.x + row.w;
        if (row.kind == ControlKind::label && end >= place.left() - labelGap &&
            end <= place.left() + labelGap && row.x < place.left() &&
            label.top() <= place.bottom() && label.bottom() >= place.top()) {
            return &row;
        }
    }
    return nullptr;
}

QString labelBefore(const ControlRow& control, std::span<const ControlRow> rows) {
    const ControlRow* label = labelRowBefore(control, rows);
    return label != nullptr ? captionText(label->caption) : QString();
}

QString labelAbove(const ControlRow& control, std::span<const ControlRow> rows) {
    const QRect place = unitsOf(control);
    const ControlRow* group = groupAround(control, rows);
    if (group == nullptr) {
        return {};
    }
    for (const ControlRow& row : rows) {
        const QRect label = unitsOf(row);
        const int bottom = row.y + row.h;
        if (row.kind == ControlKind::label && bottom <= place.top() &&
            bottom >= place.top() - labelGap && label.left() >= place.left() - labelGap &&
            label.right() <= place.right() + labelGap && unitsOf(*group).contains(label)) {
            return captionText(row.caption);
        }
    }
    return {};
}

}  // namespace platform
