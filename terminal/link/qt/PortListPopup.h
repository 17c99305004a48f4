#pragma once
// Port discovery in the port combo box's drop-down: beside each COM name, the device it
// reaches and what the system knows of it, or "no device". The entries' texts stay the COM
// names, so what the box shows and selects does not change; the descriptions are looked up
// again each time the list opens, so an adapter plugged in meanwhile appears.

#include <QComboBox>

namespace terminal::ui {

// The item data role that holds an entry's description.
inline constexpr int portReachRole = Qt::UserRole + 1;

// Gives the box's list the two-column look and the refresh on opening.
void attachPortDiscovery(QComboBox* combo);

// Looks up every entry's device again (also done whenever the list opens).
void refreshPortDiscovery(QComboBox* combo);

}  // namespace terminal::ui
