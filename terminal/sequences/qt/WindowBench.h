#pragma once
// A sequence's bench in the window: its commands go through the headless command path
// (CommandRunner) to the dashboard's own TerminalCore, working the window's controls as a
// script on the socket does; what it checks comes from the core's own record, never from the
// widgets. The core's acknowledgements and status lines go to the runner.

#include <filesystem>
#include <functional>
#include <string>

#include "terminal/link/SessionObserver.h"
#include "terminal/scripting/CommandRunner.h"
#include "terminal/sequences/SequenceRunner.h"
#include "terminal/sequences/qt/StepProcess.h"

namespace terminal::ui {
class DashboardWindow;
}

namespace terminal::sequences {

class WindowBench : public SequenceBench, private headless::ScriptHands, private SessionObserver {
public:
    explicit WindowBench(ui::DashboardWindow& window);
    ~WindowBench() override;

    // The run being fed (nullptr: none) and the folder its run steps start in.
    void attach(SequenceRunner* runner, const std::filesystem::path& folder);
    // Puts an ask step's question to the operator.
    std::function<void(const std::string& question)> onAsk;

    // SequenceBench.
    std::string command(const std::string& line) override;
    LinkState linkState() override;
    const VehicleSnapshot& shown() override;
    const DashboardState& panel() override;
    void startProgram(const std::string& command) override;
    void stopProgram() override;
    bool askOperator(const std::string& question) override;

private:
    // ScriptHands: the window's controls moved as a click moves them.
    bool modeChecked(int controlId) override;
    void checkMode(int controlId, bool on) override;
    void moveSlider(double position) override;
    void keyCommandSent(const std::string& /*word*/) override {}
    void answer(const std::string& line) override;
    void emitStatus() override {}
    void quit() override {}

    // SessionObserver.
    void acknowledged(Acknowledgement which) override;
    void statusShown(const VehicleSnapshot& shown, const DashboardState& panel) override;

    ui::DashboardWindow& window_;
    headless::CommandRunner commands_;
    StepProcess process_;
    SequenceRunner* runner_ = nullptr;
    std::filesystem::path folder_;
    std::string refusal_;
};

}  // namespace terminal::sequences
