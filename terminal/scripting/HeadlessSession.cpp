#include "terminal/scripting/HeadlessSession.h"

#include <exception>

#include "platform/serial/ComName.h"
#include "terminal/dashboard/ControlIds.h"
#include "terminal/dashboard/DashboardState.h"
#include "terminal/dashboard/ModeBoxes.h"
#include "terminal/link/PortNumber.h"
#include "terminal/scripting/HeadlessEvents.h"

namespace terminal::headless {

bool isPortChoice(std::string_view port) {
    if (!port.empty() && port.front() == '/') {
        return true;
    }
    return platform::comPortNumber(port, lastPortNumber).has_value();
}

HeadlessSession::HeadlessSession(HeadlessHost& host, platform::SerialControl& serial,
                                 platform::Clock& clock, std::filesystem::path settingsFile,
                                 std::filesystem::path formerSettingsFile)
    : host_(host),
      serial_(serial),
      clock_(clock),
      view_(host),
      core_(view_, serial, clock, std::move(settingsFile), std::move(formerSettingsFile)) {}

// Every entry point ends here: an error is reported and the session goes on.
template <typename Operation>
void HeadlessSession::guarded(Operation operation) {
    if (ended_) {
        return;
    }
    try {
        operation();
    } catch (const std::exception& error) {
        reportError(error.what());
    }
}

void HeadlessSession::start(const std::string& port) {
    startMs_ = clock_.milliseconds();
    if (!port.empty() && port.front() == '/') {
        core_.chooseDevicePath(port);
    } else if (!port.empty()) {
        core_.choosePortName(port);
    }
    guarded([this] { core_.startSession(); });
    host_.startTimer(silenceWatchTimer, silenceWatchPeriodMs);
}

void HeadlessSession::onTimer(int id) {
    if (id == silenceWatchTimer) {
        guarded([this] { core_.noteSilence(); });
        return;
    }
    guarded([this, id] { core_.onTimer(id); });
}

void HeadlessSession::onReceive() {
    guarded([this] { core_.onReceive(); });
}

void HeadlessSession::onInputLine(std::string_view line) {
    if (ended_) {
        return;
    }
    commands_.onLine(line);
}

void HeadlessSession::quit() {
    if (ended_) {
        return;
    }
    guarded([this] { core_.exitProgram(); });
    ended_ = true;
    host_.endSession();
}

void HeadlessSession::emitNewStatus() {
    guarded([this] { core_.noteSilence(); });
    if (core_.statusLinesShown() != statusLinesSent_) {
        emitStatus();
    }
}

void HeadlessSession::emitStatus() {
    if (ended_ || !core_.shown().readings) {
        return;
    }
    statusLinesSent_ = core_.statusLinesShown();
    DashboardPicture picture;
    picture.seconds = static_cast<double>(core_.lastStatusLineMs() - startMs_) / 1000.0;
    picture.panel = &view_.panelState();
    picture.shown = &core_.shown();
    host_.emitLine(statusEvent(picture));
}

void HeadlessSession::reportError(const std::string& text) {
    host_.emitLine(errorEvent(text));
}

bool HeadlessSession::modeChecked(int controlId) {
    return view_.panel().*modeFieldOf(controlId);
}

void HeadlessSession::checkMode(int controlId, bool on) {
    view_.panel().*modeFieldOf(controlId) = on;
}

void HeadlessSession::moveSlider(double position) {
    host_.commandSent(Acknowledgement::level);
    view_.moveSlider(position);
}

void HeadlessSession::keyCommandSent(const std::string& word) {
    host_.commandSent(Acknowledgement::key);
    view_.keyCommandSent(word);
}

}  // namespace terminal::headless
