#pragma once
// A box's text handed over as its window's paint begins, not at once. A value that changes
// hundreds of times a second (a line's status, an echoed byte's count) would otherwise be laid
// out anew at every change for a screen that shows one frame in 16 ms or more; this way the
// frame shows the last text given before it. A box that is hidden takes its text at once. A
// text set on the box by other means in between is newer, and the waiting one is dropped.

#include <QString>

class QLineEdit;

namespace platform {

// Gives `box` the text `text` at its window's next paint (at once while the box is hidden, and
// after 100 ms at the latest). `fromStart`: the box shows the text's beginning, as a text wider
// than the box should.
void setTextAtPaint(QLineEdit* box, const QString& text, bool fromStart = false);

// Gives `box` the text `text` now, dropping one that waits for the paint: for a change that
// must be seen together with others made in the same step.
void setTextNow(QLineEdit* box, const QString& text, bool fromStart = false);

// The text `box` shows, or will show at the next paint.
QString textAtPaint(const QLineEdit* box);

}  // namespace platform
