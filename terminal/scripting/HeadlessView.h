#pragma once
// The dashboard without a window: keeps what the window would show (the panel's texts and
// check boxes, the slider) in memory; what is enabled is the core's to know. Message
// boxes become error events and never wait for anyone; the link state, the identification
// and the simulator's acknowledgements become events of their own.

#include <string>

#include "terminal/dashboard/TerminalView.h"
#include "terminal/scripting/HeadlessHost.h"

namespace terminal::headless {

class HeadlessView : public TerminalView {
public:
    explicit HeadlessView(HeadlessHost& host);

    void readPanel(DashboardState& state) override { state = panel_; }
    void writePanel(const DashboardState& state) override { panel_ = state; }
    // The core keeps the displays and lamps (TerminalCore::shown()).
    void setDisplayValue(int /*id*/, double /*value*/) override {}
    void setLampActive(int /*id*/, bool /*lit*/) override {}
    double getSliderPosition() override { return slider_; }
    // Only the session moves the slider this way: to the level it shows the values for.
    void setSliderPosition(double position) override { slider_ = position; }
    void enableControl(int /*id*/, bool /*enabled*/) override {}
    void showMessage(const std::string& text, MessageIcon icon) override;
    void startTimer(int id, int periodMs) override { host_.startTimer(id, periodMs); }
    void stopTimer(int id) override { host_.stopTimer(id); }
    // The session's quit ends the program once the core has closed the port.
    void closeWindow() override { closed_ = true; }
    void showLinkState(LinkState state, const std::string& port,
                       const std::string& device) override;
    void showAcknowledgement(Acknowledgement which) override;

    // The operator's hands: the panel as the check boxes and port box hold it, the slider's
    // thumb as dragged, and which key or mode command last went out (named in its ack).
    DashboardState& panel() { return panel_; }
    void moveSlider(double position) { slider_ = position; }
    void keyCommandSent(const std::string& command) { keyCommand_ = command; }

    // What a status event reports.
    const DashboardState& panelState() const { return panel_; }
    bool closed() const { return closed_; }

private:
    HeadlessHost& host_;
    DashboardState panel_;
    double slider_ = 0;
    std::string keyCommand_ = "key";
    bool closed_ = false;
};

}  // namespace terminal::headless
