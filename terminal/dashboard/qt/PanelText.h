#pragma once
// Texts of the read-only boxes. A stored text may end with CR LF (the trouble-code rows); a
// single-line box shows it without the line end, and the stored text is what the box gives
// back, so a transfer round trip changes nothing.
// With `atPaint`, a box on the screen takes a changed text at its window's next paint
// (TextAtPaint), and panelText gives the text back meanwhile; without, at once.

#include <QLineEdit>
#include <string>

namespace terminal::ui {

void showPanelText(QLineEdit* box, const std::string& text, bool atPaint = false);
std::string panelText(const QLineEdit* box);

// `text` without its line ends, as one line of a box shows it.
QString visibleLine(const std::string& text);

}  // namespace terminal::ui
