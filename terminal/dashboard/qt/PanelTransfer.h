#pragma once
// The two transfers between DashboardState and the dashboard's controls: the port combo, the
// read-only text boxes and the four mode check boxes.

#include <array>

#include "platform/layout/qt/DialogLayout.h"
#include "terminal/dashboard/DashboardState.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace terminal::ui {

// The panel's controls found once: both transfers run several times for every line.
class PanelBoxes {
public:
    explicit PanelBoxes(const platform::DialogControls& controls);

    void read(DashboardState& state) const;
    // `atPaint`: the boxes on the screen take changed texts at the window's next paint (for
    // the writes of every line); otherwise at once.
    void write(const DashboardState& state, bool atPaint = false) const;

    static constexpr std::size_t textCount = 11;
    static constexpr std::size_t checkCount = 4;

private:
    QComboBox* port_;
    QLineEdit* serialNumber_;
    std::array<QLineEdit*, textCount> texts_{};
    std::array<QCheckBox*, checkCount> checks_{};
};

}  // namespace terminal::ui
