#pragma once
// What the terminal's core asks of its window. The Qt dashboard implements it; tests use a
// fake that records the calls. Controls are addressed by their ids (ControlIds.h).

#include <string>

#include "terminal/dashboard/DashboardState.h"
#include "terminal/protocol/LinkState.h"

namespace terminal {

enum class MessageIcon { none, exclamation };

class TerminalView {
public:
    virtual ~TerminalView() = default;

    // Transfers between DashboardState and the controls' texts and check boxes.
    virtual void readPanel(DashboardState& state) = 0;
    virtual void writePanel(const DashboardState& state) = 0;

    // Direct widget writes: numeric displays, lamps, the level slider.
    virtual void setDisplayValue(int id, double value) = 0;
    virtual void setLampActive(int id, bool lit) = 0;
    virtual double getSliderPosition() = 0;
    virtual void setSliderPosition(double position) = 0;

    // Enabling by control id. The core keeps what it offers in its session flags and never
    // asks the window back.
    virtual void enableControl(int id, bool enabled) = 0;

    // Window services: a modal message box with OK, the window timer, closing the window.
    virtual void showMessage(const std::string& text, MessageIcon icon) = 0;
    virtual void startTimer(int id, int periodMs) = 0;
    virtual void stopTimer(int id) = 0;
    virtual void closeWindow() = 0;

    // Notifications a view may ignore. The link's state at every change, with the port's name
    // ("COM3", or the device path it was given) and the device in use (empty while unknown).
    virtual void showLinkState(LinkState /*state*/, const std::string& /*port*/,
                               const std::string& /*device*/) {}
    // The simulator acknowledged a level or key command.
    virtual void showAcknowledgement(Acknowledgement /*which*/) {}
};

}  // namespace terminal
