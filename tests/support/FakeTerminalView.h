#pragma once
// A dashboard window for unit tests: keeps the controls' contents in its own DashboardState
// (so a test can play the operator by editing `panel` and readPanel picks it up), and
// records enabling, displays, lamps, the slider, message boxes, timers and closing.

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "terminal/dashboard/ControlIds.h"
#include "terminal/dashboard/TerminalView.h"

namespace testing_support {

class FakeTerminalView : public terminal::TerminalView {
public:
    // What the controls show. readPanel copies it out, writePanel copies into it.
    terminal::DashboardState panel;
    int readPanelCount = 0;
    int writePanelCount = 0;

    std::map<int, bool> enabled;
    std::map<int, double> displays;
    std::map<int, bool> lamps;
    double slider = 0;
    std::vector<double> sliderWrites;

    struct Message {
        std::string text;
        terminal::MessageIcon icon;
    };
    std::vector<Message> messages;

    // Timers running now (id -> period), and every start/stop as "start 2 1000", "stop 2".
    std::map<int, int> timers;
    std::vector<std::string> timerLog;
    bool closed = false;

    // Runs while a message box is "open", as the window's own event loop would.
    std::function<void()> duringMessage;

    FakeTerminalView() {
        namespace ids = terminal::ids;
        // As the dashboard is created: remote controls and Disconnect disabled.
        for (int id :
             {ids::disconnectButton, ids::levelSlider, ids::downButton, ids::upButton,
              ids::dynamicCheck, ids::quietCheck, ids::warningsCheck, ids::menuButton,
              ids::engineDm1Edit, ids::absDm1Edit, ids::transmissionDm1Edit, ids::engineDm2Edit,
              ids::engineDm1MultiPacketButton, ids::engineConfigurationButton,
              ids::engineDm2MultiPacketButton, ids::resetEngineDm2Check}) {
            enabled[id] = false;
        }
    }

    void readPanel(terminal::DashboardState& state) override {
        ++readPanelCount;
        state = panel;
    }
    void writePanel(const terminal::DashboardState& state) override {
        ++writePanelCount;
        panel = state;
    }
    void setDisplayValue(int id, double value) override { displays[id] = value; }
    void setLampActive(int id, bool lit) override { lamps[id] = lit; }
    double getSliderPosition() override { return slider; }
    void setSliderPosition(double position) override {
        slider = position;
        sliderWrites.push_back(position);
    }
    void enableControl(int id, bool on) override { enabled[id] = on; }
    bool isControlEnabled(int id) {
        auto it = enabled.find(id);
        return it == enabled.end() || it->second;
    }
    void showMessage(const std::string& text, terminal::MessageIcon icon) override {
        messages.push_back({text, icon});
        if (duringMessage) {
            duringMessage();
        }
    }
    void startTimer(int id, int periodMs) override {
        timers[id] = periodMs;
        timerLog.push_back("start " + std::to_string(id) + " " + std::to_string(periodMs));
    }
    void stopTimer(int id) override {
        timers.erase(id);
        timerLog.push_back("stop " + std::to_string(id));
    }
    void closeWindow() override { closed = true; }

    bool timerRunning(int id) const { return timers.count(id) != 0; }
};

}  // namespace testing_support
