#pragma once
// The operator's steering of the simulator from the "Step 2" group: the keypad buttons (Menu,
// Down, Up), the four mode check boxes (Dynamic, Quiet, Warnings, Reset Eng DM2) and the level
// slider. Each action marks its control pending, so that status lines leave it alone until the
// simulator acknowledges, takes the panel and sends one command. Nothing waits for the answer.

#include <cstdint>

#include "terminal/link/SessionState.h"

namespace terminal {

class TerminalCore;
class TerminalView;

// One keypad or mode control: the key code it sends and the pending flag it sets first
// (none for the three keypad buttons).
struct KeypadControl {
    int id;
    std::uint8_t keyCode;
    bool SessionState::*pending;
};

// The control of that id, or nullptr when the id is not one of the seven.
const KeypadControl* keypadControl(int id);

// The slider's position as a level: truncated toward zero, its low 8 bits. A position that is
// not a number gives 0.
std::uint8_t levelFromPosition(double position);

class RemoteControl {
public:
    RemoteControl(TerminalCore& core, TerminalView& view);

    // A keypad button or mode check box was clicked (a check box has already toggled itself).
    // Ids of other controls are ignored.
    void onControlClicked(int id);
    // The operator took hold of the slider: level-pending, nothing sent.
    void onLevelGrab();
    // The operator let go of the slider or finished a change: the level command.
    void onLevelChosen();

private:
    TerminalCore& core_;
    TerminalView& view_;
};

}  // namespace terminal
