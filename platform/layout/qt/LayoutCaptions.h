#pragma once
// The captions a reader sees around a control of a dialog-unit layout, found from the layout's
// rows: a window names its text boxes, lists and bars for screen readers from the same
// captions it shows, without spelling them a second time.

#include <QString>
#include <span>

#include "platform/layout/qt/DialogLayout.h"

namespace platform {

// A caption as a reader hears it: "&&" shown as "&", mnemonics dropped, padding spaces and a
// closing colon left out ("Total Bytes :" -> "Total Bytes").
QString captionText(const char* caption);

// The row with `id` (not 0), or nullptr.
const ControlRow* rowWithId(std::span<const ControlRow> rows, int id);

// The caption of the smallest group box in `rows` that holds `control` whole; empty if none.
QString groupCaptionAround(const ControlRow& control, std::span<const ControlRow> rows);

// A label in `rows` that ends where `control` begins, on the same line ("Port :" before the
// port list): its row (or nullptr), and its caption (or empty).
const ControlRow* labelRowBefore(const ControlRow& control, std::span<const ControlRow> rows);
QString labelBefore(const ControlRow& control, std::span<const ControlRow> rows);

// A label in `rows` right above `control`, within its width and inside the same smallest group
// box (a column caption such as "SPN  FMI  OC  CM"); empty if none.
QString labelAbove(const ControlRow& control, std::span<const ControlRow> rows);

}  // namespace platform
