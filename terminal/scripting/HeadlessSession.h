#pragma once
// The terminal's session without a window: the same TerminalCore as the dashboard's, behind
// a HeadlessView, driven by command lines (CommandRunner) instead of clicks. Errors,
// serial-layer ones included, become error events; none ends the session.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/clock/Clock.h"
#include "platform/serial/SerialControl.h"
#include "terminal/link/TerminalCore.h"
#include "terminal/scripting/CommandRunner.h"
#include "terminal/scripting/HeadlessHost.h"
#include "terminal/scripting/HeadlessView.h"

namespace terminal::headless {

// True for a --port value the session takes: exactly COM1 to COM40, or an absolute path.
bool isPortChoice(std::string_view port);

// The timer that watches for silence between the link rhythm's ticks, and its period.
inline constexpr int silenceWatchTimer = 3;
inline constexpr int silenceWatchPeriodMs = 100;

class HeadlessSession : private ScriptHands {
public:
    HeadlessSession(HeadlessHost& host, platform::SerialControl& serial, platform::Clock& clock,
                    std::filesystem::path settingsFile,
                    std::filesystem::path formerSettingsFile = {});

    // The window's start-up. `port` (an isPortChoice() value, or empty for the remembered
    // one) is chosen afterwards, as an operator would pick it in the port box before the
    // first connect: a COM name is remembered at the next identification like the box's; a
    // device path is used for this run only.
    void start(const std::string& port);

    void onTimer(int id);
    void onReceive();
    // One command line, of standard input or of a script's socket.
    void onInputLine(std::string_view line);
    // End of standard input, SIGINT, SIGTERM, SIGHUP: the port closed as quit closes it.
    void quit() override;
    // snapshot's status event: sent only while the dashboard shows readings (an identified
    // simulator and a status line since), with the time the last status line arrived.
    void emitStatus() override;
    // The periodic status event: as snapshot's, but only for a status line that no status
    // event has carried yet, so a simulator that falls silent is never reported as current.
    void emitNewStatus();
    // An error from outside a session operation (the serial control's escaped ones).
    void reportError(const std::string& text);

    bool ended() const { return ended_; }
    TerminalCore& core() { return core_; }
    HeadlessView& view() { return view_; }

private:
    // ScriptHands: the view's controls.
    bool modeChecked(int controlId) override;
    void checkMode(int controlId, bool on) override;
    void moveSlider(double position) override;
    void keyCommandSent(const std::string& word) override;
    void answer(const std::string& line) override { host_.answer(line); }

    template <typename Operation>
    void guarded(Operation operation);

    HeadlessHost& host_;
    platform::SerialControl& serial_;
    platform::Clock& clock_;
    HeadlessView view_;
    TerminalCore core_;
    CommandRunner commands_{core_, *this};
    std::uint32_t startMs_ = 0;
    // The status lines shown when the last status event went out.
    std::uint64_t statusLinesSent_ = 0;
    bool ended_ = false;
};

}  // namespace terminal::headless
