#include "terminal/link/RemoteControl.h"

#include <cmath>

#include "terminal/dashboard/ControlIds.h"
#include "terminal/dashboard/TerminalView.h"
#include "terminal/link/TerminalCore.h"
#include "terminal/protocol/WireCodes.h"

namespace terminal {

namespace {
// Warnings shares Menu's key code; only its pending flag tells them apart.
constexpr KeypadControl keypad[] = {
    {ids::menuButton, wire::keyMenu, nullptr},
    {ids::downButton, wire::keyDown, nullptr},
    {ids::upButton, wire::keyUp, nullptr},
    {ids::dynamicCheck, wire::keyDynamic, &SessionState::dynamicPending},
    {ids::quietCheck, wire::keyQuiet, &SessionState::quietPending},
    {ids::warningsCheck, wire::keyWarnings, &SessionState::warningsPending},
    {ids::resetEngineDm2Check, wire::keyResetEngineDm2, &SessionState::resetDm2Pending},
};
}  // namespace

const KeypadControl* keypadControl(int id) {
    for (const KeypadControl& control : keypad) {
        if (control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

// Done in floating point so that no position, however odd, reaches an out-of-range
// conversion; for the slider's own range it is plain truncation.
std::uint8_t levelFromPosition(double position) {
    if (!std::isfinite(position)) {
        return 0;
    }
    double low = std::fmod(std::trunc(position), 256.0);
    if (low < 0) {
        low += 256.0;
    }
    return static_cast<std::uint8_t>(low);
}

RemoteControl::RemoteControl(TerminalCore& core, TerminalView& view) : core_(core), view_(view) {}

void RemoteControl::onControlClicked(int id) {
    const KeypadControl* control = keypadControl(id);
    if (control == nullptr) {
        return;
    }
    if (control->pending != nullptr) {
        core_.sessionState().*(control->pending) = true;
    }
    view_.readPanel(core_.dashboardState());
    core_.sendKeyCommand(control->keyCode);
}

void RemoteControl::onLevelGrab() {
    core_.sessionState().levelPending = true;
}

void RemoteControl::onLevelChosen() {
    core_.sessionState().levelPending = true;
    view_.readPanel(core_.dashboardState());
    core_.sendLevelCommand(levelFromPosition(view_.getSliderPosition()));
}

}  // namespace terminal
