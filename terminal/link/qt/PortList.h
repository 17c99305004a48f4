#pragma once
// The port combo box (1000): the list "COM1" to "COM40" and how a port name is shown.

#include <QComboBox>
#include <QString>

namespace terminal::ui {

// Fills the list "COM1".."COM40" in this order; each entry's tooltip, and the box's, tells
// which device the name reaches through the port map.
void fillPortList(QComboBox* combo);

// Shows `name`: selects the first list entry that begins with it, letter case ignored;
// a name that begins no entry is shown as typed. While the operator is typing in the box
// and it already holds `name`, it is left alone, so the text under the cursor does not jump.
void showPortName(QComboBox* combo, const QString& name);

}  // namespace terminal::ui
