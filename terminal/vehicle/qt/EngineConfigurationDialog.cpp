#include "terminal/vehicle/qt/EngineConfigurationDialog.h"

#include <QPushButton>

#include "terminal/dashboard/qt/NarrowToFit.h"
#include "terminal/vehicle/qt/EngineConfigurationTable.h"

namespace terminal::ui {

namespace {

using platform::ControlKind;
using platform::ControlRow;
namespace flags = platform::flags;

// Placement of the lines inside a box, in dialog units. Values stand right-aligned at the
// box's right edge, so they line up under each other.
constexpr int firstLineTop = 11;
constexpr int lineStep = 11;
constexpr int lineHeight = 8;
constexpr int sideMargin = 6;
constexpr int valueWidth = 50;
constexpr int labelValueGap = 2;

// The wide "Byte 35-39" box holds two columns, each as wide as the boxes above it.
constexpr int leftColumnRight = 279;
constexpr int rightColumnLeft = 286;

void addLine(std::vector<ControlRow>& rows, const ConfigurationLine& line, int left, int right,
             int top) {
    const int labelWidth = right - left - valueWidth - labelValueGap;
    rows.push_back({0, ControlKind::label, line.label, left, top, labelWidth, lineHeight});
    rows.push_back({0, ControlKind::label, line.value, right - valueWidth, top, valueWidth,
                    lineHeight, flags::rightAligned});
}

}  // namespace

std::vector<ControlRow> EngineConfigurationDialog::layoutRows() {
    std::vector<ControlRow> rows;
    rows.push_back({1, ControlKind::pushButton, "OK", 257, 298, 50, 14, flags::defaultButton});
    for (const ConfigurationGroup& group : engineConfigurationGroups) {
        rows.push_back(
            {0, ControlKind::groupBox, group.caption, group.x, group.y, group.w, group.h});
        int used = 0;
        while (used < static_cast<int>(group.lines.size()) && group.lines[used].label) {
            ++used;
        }
        const int left = group.x + sideMargin;
        const int right = group.x + group.w - sideMargin;
        if (used <= 2) {
            for (int i = 0; i < used; ++i) {
                addLine(rows, group.lines[i], left, right, group.y + firstLineTop + i * lineStep);
            }
            continue;
        }
        // Lines alternate left and right, row by row: 3344 | 3345, 3346 | 3347, 3348.
        for (int i = 0; i < used; ++i) {
            const bool rightColumn = i % 2 == 1;
            addLine(rows, group.lines[i], rightColumn ? rightColumnLeft + sideMargin : left,
                    rightColumn ? right : leftColumnRight - sideMargin,
                    group.y + firstLineTop + (i / 2) * lineStep);
        }
    }
    return rows;
}

EngineConfigurationDialog::EngineConfigurationDialog(QWidget* parent) : QDialog(parent) {
    platform::DialogLayout layout;
    layout.sizeWindow(this, width, height);
    setWindowTitle(QStringLiteral("Vell Engine Configuration"));
    const std::vector<ControlRow> rows = layoutRows();
    controls_ = layout.build(this, rows);
    narrowLabelsToFit(this);
    connect(controls_.get<QPushButton>(1), &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace terminal::ui
