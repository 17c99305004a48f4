#include "terminal/headless/HeadlessSession.h"

#include <exception>

#include "terminal/core/ControlIds.h"
#include "terminal/core/DashboardExport.h"
#include "terminal/core/DashboardState.h"
#include "terminal/headless/HeadlessEvents.h"

namespace terminal::headless {

namespace {

using ModeField = bool DashboardState::*;

ModeField modeField(int controlId) {
    switch (controlId) {
        case ids::dynamicCheck:
            return &DashboardState::dynamicOn;
        case ids::quietCheck:
            return &DashboardState::quietOn;
        case ids::warningsCheck:
            return &DashboardState::warningsOn;
        default:
            return &DashboardState::resetEngineDm2On;
    }
}

constexpr int highestComPort = 40;

}  // namespace

bool isPortChoice(std::string_view port) {
    if (!port.empty() && port.front() == '/') {
        return true;
    }
    for (int n = 1; n <= highestComPort; ++n) {
        if (port == "COM" + std::to_string(n)) {
            return true;
        }
    }
    return false;
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
}

void HeadlessSession::onTimer(int id) {
    guarded([this, id] { core_.onTimer(id); });
}

void HeadlessSession::onReceive() {
    guarded([this] { core_.onReceive(); });
}

void HeadlessSession::onInputLine(std::string_view line) {
    if (ended_) {
        return;
    }
    const ParsedCommand parsed = parseCommand(line);
    if (!parsed.error.empty()) {
        reportError(parsed.error);
    } else if (parsed.command) {
        run(*parsed.command);
    }
}

void HeadlessSession::quit() {
    if (ended_) {
        return;
    }
    guarded([this] { core_.exitProgram(); });
    ended_ = true;
    host_.endSession();
}

void HeadlessSession::emitStatus() {
    if (ended_ || !core_.shown().readings) {
        return;
    }
    DashboardPicture picture;
    picture.seconds = static_cast<double>(clock_.milliseconds() - startMs_) / 1000.0;
    picture.level = view_.levelShown();
    picture.panel = &view_.panelState();
    picture.displays = &view_.displays();
    picture.lamps = &view_.lamps();
    host_.emitLine(statusEvent(picture));
}

void HeadlessSession::reportError(const std::string& text) {
    host_.emitLine(errorEvent(text));
}

void HeadlessSession::run(const HeadlessCommand& command) {
    using Kind = HeadlessCommand::Kind;
    switch (command.kind) {
        case Kind::level:
            setLevel(command);
            break;
        case Kind::key:
            pressKey(command);
            break;
        case Kind::mode:
            switchMode(command);
            break;
        case Kind::canRate:
            changeCanRate(command);
            break;
        case Kind::snapshot:
            snapshot();
            break;
        case Kind::disconnect:
            if (usable(ids::disconnectButton, command)) {
                guarded([this] { core_.disconnect(); });
            }
            break;
        case Kind::connect:
            if (usable(ids::connectButton, command)) {
                guarded([this] { core_.connect(); });
            }
            break;
        case Kind::quit:
            quit();
            break;
    }
}

// A status event now; without readings an error that says why, never the waiting look's
// values.
void HeadlessSession::snapshot() {
    const std::string reason = noReadingsReason(core_.shown());
    if (!reason.empty()) {
        reportError("snapshot: no readings: " + reason);
        return;
    }
    emitStatus();
}

// Refused where the window's control is disabled: the remote controls until an identified
// simulator with the right firmware, Connect while connected, Disconnect while not.
bool HeadlessSession::usable(int controlId, const HeadlessCommand& command) {
    if (view_.isControlEnabled(controlId)) {
        return true;
    }
    const std::string state(linkStateName(core_.linkState()));
    if (controlId == ids::connectButton) {
        reportError("connect: refused: the link is " + state);
    } else if (controlId == ids::disconnectButton) {
        reportError("disconnect: refused: no simulator is identified (the link is " + state + ")");
    } else {
        reportError(command.word +
                    ": refused: no simulator with firmware 0.2D/0.2E/0.2F is "
                    "identified (the link is " +
                    state + ")");
    }
    return false;
}

// As the slider: taken hold of, moved to the level, let go.
void HeadlessSession::setLevel(const HeadlessCommand& command) {
    if (!usable(ids::levelSlider, command)) {
        return;
    }
    guarded([this, &command] {
        core_.remoteControl().onLevelGrab();
        view_.moveSlider(command.level);
        core_.remoteControl().onLevelChosen();
    });
}

void HeadlessSession::pressKey(const HeadlessCommand& command) {
    if (!usable(command.controlId, command)) {
        return;
    }
    view_.keyCommandSent(command.word);
    guarded([this, &command] { core_.remoteControl().onControlClicked(command.controlId); });
}

// A check box sends its key only when a click changes it; asking for the state it already
// has changes nothing, and says so.
void HeadlessSession::switchMode(const HeadlessCommand& command) {
    if (!usable(command.controlId, command)) {
        return;
    }
    bool& checked = view_.panel().*modeField(command.controlId);
    if (checked == command.on) {
        host_.emitLine(unchangedEvent(command.word, checked));
        return;
    }
    checked = command.on;
    view_.keyCommandSent(command.word);
    guarded([this, &command] { core_.remoteControl().onControlClicked(command.controlId); });
}

// The About box's confirmed change, without the box: allowed when the box would unlock.
void HeadlessSession::changeCanRate(const HeadlessCommand& command) {
    const AboutBoxSetup setup = core_.baudRateChange().aboutBoxSetup();
    if (!setup.changeAllowed) {
        reportError(
            "can-rate: refused: no simulator with firmware 0.2D/0.2E/0.2F and a known CAN rate "
            "is identified (the link is " +
            std::string(linkStateName(core_.linkState())) + ")");
        return;
    }
    AboutBoxOutcome outcome;
    outcome.okResult = true;
    outcome.confirmed = true;
    outcome.rateText = command.rateText;
    guarded([this, &outcome] { core_.baudRateChange().finish(outcome); });
}

}  // namespace terminal::headless
