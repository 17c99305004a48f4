#include "terminal/scripting/qt/ScriptedDashboard.h"

#include <QAbstractButton>
#include <cmath>
#include <exception>

#include "terminal/dashboard/qt/DashboardWindow.h"
#include "terminal/link/qt/LinkStatusBar.h"
#include "terminal/scripting/HeadlessEvents.h"

namespace terminal::ui {

ScriptedDashboard::ScriptedDashboard(DashboardWindow& window, double statusRate)
    : window_(window),
      commands_(window.core(), *this),
      socket_([this](const std::string& line) { commands_.onLine(line); },
              [this] {
                  const TerminalCore& core = window_.core();
                  return headless::linkEvents(core.linkState(), core.shown().port,
                                              core.shown().device, core.dashboard());
              }),
      startMs_(window.core().clock().milliseconds()) {
    window_.core().addObserver(this);
    // What the operator is told in a message box, the scripts are told as an error.
    window_.setMessageTap(
        [this](const std::string& text) { socket_.broadcast(headless::errorEvent(text)); });
    socket_.onCountChanged([this](int scripts) { window_.linkStatusBar().showScripts(scripts); });
    // Only a status line no event has carried yet; a silence is told the scripts from its
    // first second on (the window alone waits for its tick).
    connect(&statusTimer_, &QTimer::timeout, this, [this] {
        TerminalCore& core = window_.core();
        if (socket_.count() > 0) {
            core.noteSilence();
        }
        if (core.shown().readings && core.statusLinesShown() != statusLinesSent_) {
            emitStatus();
        }
    });
    if (statusRate > 0) {
        statusTimer_.start(std::max(1, static_cast<int>(std::lround(1000.0 / statusRate))));
    }
}

ScriptedDashboard::~ScriptedDashboard() {
    window_.setMessageTap(nullptr);
    socket_.remove();
    window_.core().removeObserver(this);
}

std::string ScriptedDashboard::listen(const std::string& path) {
    return socket_.listen(path);
}

bool ScriptedDashboard::modeChecked(int controlId) {
    auto* box = window_.controls().get<QAbstractButton>(controlId);
    return box != nullptr && box->isChecked();
}

// As the click toggles the box before its handler runs; setChecked sends nothing itself.
void ScriptedDashboard::checkMode(int controlId, bool on) {
    if (auto* box = window_.controls().get<QAbstractButton>(controlId)) {
        box->setChecked(on);
    }
}

void ScriptedDashboard::moveSlider(double position) {
    socket_.commandSent(Acknowledgement::level);
    window_.setSliderPosition(position);
}

void ScriptedDashboard::keyCommandSent(const std::string& word) {
    socket_.commandSent(Acknowledgement::key);
    keyCommand_ = word;
}

void ScriptedDashboard::emitStatus() {
    DashboardState panel;
    window_.readPanel(panel);
    const TerminalCore& core = window_.core();
    statusLinesSent_ = core.statusLinesShown();
    headless::DashboardPicture picture;
    picture.seconds = static_cast<double>(core.lastStatusLineMs() - startMs_) / 1000.0;
    picture.panel = &panel;
    picture.shown = &core.shown();
    socket_.broadcast(headless::statusEvent(picture));
}

// The window's Exit: the port closed, the window closed, the program ended.
void ScriptedDashboard::quit() {
    try {
        window_.core().exitProgram();
    } catch (const std::exception& error) {
        socket_.answer(headless::errorEvent(error.what()));
    }
}

void ScriptedDashboard::linkChanged(const VehicleSnapshot& shown, const DashboardState& panel) {
    for (const std::string& line :
         headless::linkEvents(shown.link, shown.port, shown.device, panel)) {
        socket_.broadcast(line);
    }
}

void ScriptedDashboard::acknowledged(Acknowledgement which) {
    socket_.ack(which, headless::ackEvent(which == Acknowledgement::level ? "level" : keyCommand_));
}

}  // namespace terminal::ui
