#pragma once
// A dashboard window that shows nothing: every write is dropped, only the controls' enabling
// is kept (the session's link rhythm depends on it). For measuring and fuzzing the terminal's
// core on its own, without the cost of recording what was shown.

#include <array>

#include "terminal/dashboard/TerminalView.h"

namespace testing_support {

class NullTerminalView : public terminal::TerminalView {
public:
    void readPanel(terminal::DashboardState&) override {}
    void writePanel(const terminal::DashboardState&) override {}
    void setDisplayValue(int, double) override {}
    void setLampActive(int, bool) override {}
    double getSliderPosition() override { return 0; }
    void setSliderPosition(double) override {}
    void enableControl(int id, bool enabled) override {
        if (id >= 0 && id < static_cast<int>(enabled_.size())) {
            enabled_[static_cast<std::size_t>(id)] = enabled;
        }
    }
    bool isControlEnabled(int id) {
        return id >= 0 && id < static_cast<int>(enabled_.size()) &&
               enabled_[static_cast<std::size_t>(id)];
    }
    void showMessage(const std::string&, terminal::MessageIcon) override {}
    void startTimer(int, int) override {}
    void stopTimer(int) override {}
    void closeWindow() override {}

private:
    // Control ids run up to 1081; every control starts enabled.
    std::array<bool, 1100> enabled_ = [] {
        std::array<bool, 1100> all{};
        all.fill(true);
        return all;
    }();
};

}  // namespace testing_support
