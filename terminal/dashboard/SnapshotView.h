#pragma once
// Stands between the session and its real view: passes every call on and keeps the displays
// and lamps written in a VehicleSnapshot, so what the dashboard shows can be exported
// without asking the widgets.

#include "terminal/dashboard/TerminalView.h"
#include "terminal/dashboard/VehicleSnapshot.h"

namespace terminal {

class SnapshotView : public TerminalView {
public:
    explicit SnapshotView(TerminalView& view) : view_(view) {}

    VehicleSnapshot& snapshot() { return snapshot_; }
    const VehicleSnapshot& snapshot() const { return snapshot_; }

    void readPanel(DashboardState& state) override { view_.readPanel(state); }
    void writePanel(const DashboardState& state) override { view_.writePanel(state); }
    void setDisplayValue(int id, double value) override {
        snapshot_.setDisplay(id, value);
        view_.setDisplayValue(id, value);
    }
    void setLampActive(int id, bool lit) override {
        snapshot_.setLamp(id, lit);
        view_.setLampActive(id, lit);
    }
    double getSliderPosition() override { return view_.getSliderPosition(); }
    void setSliderPosition(double position) override { view_.setSliderPosition(position); }
    void enableControl(int id, bool enabled) override { view_.enableControl(id, enabled); }
    void showMessage(const std::string& text, MessageIcon icon) override {
        view_.showMessage(text, icon);
    }
    void startTimer(int id, int periodMs) override { view_.startTimer(id, periodMs); }
    void stopTimer(int id) override { view_.stopTimer(id); }
    void closeWindow() override { view_.closeWindow(); }
    void showLinkState(LinkState state, const std::string& port,
                       const std::string& device) override {
        view_.showLinkState(state, port, device);
    }
    void showAcknowledgement(Acknowledgement which) override { view_.showAcknowledgement(which); }

private:
    TerminalView& view_;
    VehicleSnapshot snapshot_;
};

}  // namespace terminal
