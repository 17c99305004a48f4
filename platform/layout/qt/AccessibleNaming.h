#pragma once
// Names a window's controls for screen readers and GUI test tools.

#include <QString>
#include <span>

#include "platform/layout/qt/DialogLayout.h"

class QWidget;

namespace platform {

// Gives `control` its accessible name, and a description unless that is empty. A list box
// passes the name on to its edit field and its dropped list: on Linux it reports its current
// text as its own name, and is named by the label tied to it (tieLabel).
void nameForReaders(QWidget* control, const QString& name, const QString& description = {});

// Ties the label drawn from `labelRow` (a sibling of `control`) to `control` as its buddy, so
// that screen readers read the label as the control's.
void tieLabel(QWidget* control, const ControlRow& labelRow);

// Names the control built from `row` by the captions around it among `rows` (LayoutCaptions):
// the label before it, tied to it, else the caption of its group box; a caption right above it
// as its description.
void nameByLayout(QWidget* control, const ControlRow& row, std::span<const ControlRow> rows);

}  // namespace platform
