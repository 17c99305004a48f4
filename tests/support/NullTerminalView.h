#pragma once
// A dashboard window that shows nothing: every write is dropped. For measuring and fuzzing
// the terminal's core on its own, without the cost of recording what was shown.

#include "terminal/core/TerminalView.h"

namespace testing_support {

class NullTerminalView : public terminal::TerminalView {
public:
    void readPanel(terminal::DashboardState&) override {}
    void writePanel(const terminal::DashboardState&) override {}
    void setDisplayValue(int, double) override {}
    void setLampActive(int, bool) override {}
    double getSliderPosition() override { return 0; }
    void setSliderPosition(double) override {}
    void enableControl(int, bool) override {}
    bool isControlEnabled(int) override { return true; }
    void showMessage(const std::string&, terminal::MessageIcon) override {}
    void startTimer(int, int) override {}
    void stopTimer(int) override {}
    void closeWindow() override {}
};

}  // namespace testing_support
