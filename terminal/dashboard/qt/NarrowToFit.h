#pragma once
// The layouts were drawn for a narrower dialog font than the sans serif that stands in for it
// on Linux. A fixed text that does not fit its place is set a little narrower (semi-condensed,
// then condensed) rather than cut off.

class QLabel;
class QWidget;

namespace terminal::ui {

void narrowToFit(QLabel* label);
// Every label of `window`.
void narrowLabelsToFit(QWidget* window);

}  // namespace terminal::ui
