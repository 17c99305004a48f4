#pragma once
// The headless commands carried out on a dashboard: the windowless one of `--headless`, or the
// window itself when a script drives it through its socket. Every command runs the core
// operation of the control it names (RemoteControl, BaudRateChange, connect, disconnect,
// exit), with the same bytes, pacing and pending flags, and only when the window would let
// the operator use that control. Refusals and errors are answered to the command's sender.

#include <string>
#include <string_view>

#include "terminal/link/TerminalCore.h"
#include "terminal/scripting/HeadlessCommand.h"

namespace terminal::headless {

// The dashboard's controls as a command works them, and where its answers go.
class ScriptHands {
public:
    virtual ~ScriptHands() = default;

    // A mode check box: as it stands, and set as a click sets it (before the click's handler).
    virtual bool modeChecked(int controlId) = 0;
    virtual void checkMode(int controlId, bool on) = 0;
    // The slider's thumb dragged to `position` while held.
    virtual void moveSlider(double position) = 0;
    // The key or mode command named `word` is going out (its ack names it).
    virtual void keyCommandSent(const std::string& word) = 0;
    // An error or unchanged event for the command's sender only.
    virtual void answer(const std::string& line) = 0;
    // snapshot: a status event now (readings are known to be shown).
    virtual void emitStatus() = 0;
    // quit: the program's Exit.
    virtual void quit() = 0;
};

class CommandRunner {
public:
    CommandRunner(TerminalCore& core, ScriptHands& hands) : core_(core), hands_(hands) {}

    // One command line; a blank line does nothing.
    void onLine(std::string_view line);

private:
    void run(const HeadlessCommand& command);
    void snapshot();
    void setLevel(const HeadlessCommand& command);
    void pressKey(const HeadlessCommand& command);
    void switchMode(const HeadlessCommand& command);
    void changeCanRate(const HeadlessCommand& command);
    bool usable(int controlId, const HeadlessCommand& command);
    void refuse(const std::string& text);
    template <typename Operation>
    void guarded(Operation operation);

    TerminalCore& core_;
    ScriptHands& hands_;
};

}  // namespace terminal::headless
