#include "terminal/scripting/CommandRunner.h"

#include <exception>

#include "terminal/dashboard/ControlIds.h"
#include "terminal/recording/DashboardExport.h"
#include "terminal/scripting/HeadlessEvents.h"

namespace terminal::headless {

// An error of the operation is answered; the session goes on.
template <typename Operation>
void CommandRunner::guarded(Operation operation) {
    try {
        operation();
    } catch (const std::exception& error) {
        refuse(error.what());
    }
}

void CommandRunner::refuse(const std::string& text) {
    hands_.answer(errorEvent(text));
}

void CommandRunner::onLine(std::string_view line) {
    const ParsedCommand parsed = parseCommand(line);
    if (!parsed.error.empty()) {
        refuse(parsed.error);
    } else if (parsed.command) {
        run(*parsed.command);
    }
}

void CommandRunner::run(const HeadlessCommand& command) {
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
            hands_.quit();
            break;
    }
}

// A status event now; without readings an error that says why, never the waiting look's
// values.
void CommandRunner::snapshot() {
    core_.noteSilence();
    const std::string reason = noReadingsReason(core_.shown());
    if (!reason.empty()) {
        refuse("snapshot: no readings: " + reason);
        return;
    }
    hands_.emitStatus();
}

// Refused where the window's control is disabled: the remote controls until an identified
// simulator with the right firmware, Connect while connected, Disconnect while not. A lost
// device closes the port at once but disables the controls only at the next tick; a remote
// command meanwhile would go nowhere and never be answered, so it is refused too.
bool CommandRunner::usable(int controlId, const HeadlessCommand& command) {
    const SessionState& session = core_.session();
    const bool enabled =
        controlId == ids::connectButton ? session.connectEnabled
        : controlId == ids::disconnectButton
            ? !session.connectEnabled
            : session.remoteControlsEnabled && core_.linkState() == LinkState::identified;
    if (enabled) {
        return true;
    }
    const std::string state(linkStateName(core_.linkState()));
    if (controlId == ids::connectButton) {
        refuse("connect: refused: the link is " + state);
    } else if (controlId == ids::disconnectButton) {
        refuse("disconnect: refused: no simulator is identified (the link is " + state + ")");
    } else {
        refuse(command.word + ": refused: no simulator with firmware " + acceptedFirmwareText() +
               " is identified (the link is " + state + ")");
    }
    return false;
}

// As the slider: taken hold of, moved to the level, let go.
void CommandRunner::setLevel(const HeadlessCommand& command) {
    if (!usable(ids::levelSlider, command)) {
        return;
    }
    guarded([this, &command] {
        core_.remoteControl().onLevelGrab();
        hands_.moveSlider(command.level);
        core_.remoteControl().onLevelChosen();
    });
}

void CommandRunner::pressKey(const HeadlessCommand& command) {
    if (!usable(command.controlId, command)) {
        return;
    }
    hands_.keyCommandSent(command.word);
    guarded([this, &command] { core_.remoteControl().onControlClicked(command.controlId); });
}

// A check box sends its key only when a click changes it; asking for the state it already
// has changes nothing, and says so.
void CommandRunner::switchMode(const HeadlessCommand& command) {
    if (!usable(command.controlId, command)) {
        return;
    }
    if (hands_.modeChecked(command.controlId) == command.on) {
        hands_.answer(unchangedEvent(command.word, command.on));
        return;
    }
    hands_.checkMode(command.controlId, command.on);
    hands_.keyCommandSent(command.word);
    guarded([this, &command] { core_.remoteControl().onControlClicked(command.controlId); });
}

// The About box's confirmed change, without the box: allowed when the box would unlock.
void CommandRunner::changeCanRate(const HeadlessCommand& command) {
    const AboutBoxSetup setup = core_.baudRateChange().aboutBoxSetup();
    if (!setup.changeAllowed) {
        refuse("can-rate: refused: no simulator with firmware " + acceptedFirmwareText() +
               " and a known CAN rate is identified (the link is " +
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
