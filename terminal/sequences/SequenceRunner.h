#pragma once
// Runs a bench sequence on the program's one thread, a step at a time, driven by ticks and
// events: nothing blocks and nothing waits. Commands go through the headless command path
// (the bench's command(), the same CommandRunner as --headless and the socket), so a step does
// exactly what the window's control would; readings come from what the dashboard shows.
//
// The run starts when the simulator is identified and a status line shown (10 s at most),
// and ends as soon as the link leaves identified, naming the step it was lost at.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock/Clock.h"
#include "terminal/dashboard/DashboardState.h"
#include "terminal/dashboard/VehicleSnapshot.h"
#include "terminal/protocol/LinkState.h"
#include "terminal/sequences/SequenceSteps.h"
#include "terminal/sequences/TroubleCodeLog.h"

namespace terminal::sequences {

// The session a sequence runs on, as the runner sees it.
class SequenceBench {
public:
    virtual ~SequenceBench() = default;

    // One headless command line ("level 50", "warnings on", "key menu"), carried out now;
    // the error it was answered with, or empty when it went out.
    virtual std::string command(const std::string& line) = 0;
    virtual LinkState linkState() = 0;
    virtual const VehicleSnapshot& shown() = 0;
    virtual const DashboardState& panel() = 0;
    // A run step's outside command, started without waiting for it; its end is told through
    // SequenceRunner::programFinished. stopProgram ends it (its end is then not told).
    virtual void startProgram(const std::string& command) = 0;
    virtual void stopProgram() = 0;
    // An ask step's question to an operator, answered through SequenceRunner::answered; false
    // when there is no one to ask.
    virtual bool askOperator(const std::string& question) = 0;
};

enum class Verdict { notRun, running, passed, warning, failed, skipped };
std::string_view verdictName(Verdict verdict);

struct StepResult {
    Verdict verdict = Verdict::notRun;
    double startSeconds = 0;  // since the run started
    double endSeconds = 0;
    std::string expected;  // checks: what was wanted
    std::string seen;      // checks: what was there at the end
    std::string note;      // why it failed or was skipped; the operator's note
    std::string output;    // run: what the command wrote
};

enum class RunOutcome { running, passed, failed, deviceMissing, deviceLost, interrupted };

struct RunnerOptions {
    // --answers: every ask step answered so, without asking.
    std::optional<bool> answers;
    std::uint32_t identifyMs = 10000;
    // How long a level or key command may wait for its acknowledgement.
    std::uint32_t acknowledgeMs = 5000;
};

class SequenceRunner {
public:
    SequenceRunner(const Sequence& sequence, SequenceBench& bench, platform::Clock& clock,
                   RunnerOptions options = {});

    // Waits for the simulator from now on.
    void start();
    // The program's periodic tick: every step advances here.
    void tick();
    // Events, taken at the next tick.
    void acknowledged(Acknowledgement which);
    void programFinished(int exitCode, const std::string& output);
    void answered(bool pass, const std::string& note);
    // A status line is shown: its trouble codes go into the run's log while steps run.
    void statusShown();
    // A signal or the operator's Stop: the step running fails with `why`, the rest is not run.
    void stop(const std::string& why);
    // The operator's Pause: the step running goes on to its end, the next one begins only
    // once the pause is lifted. A lost device still ends the run.
    void setPaused(bool paused) { paused_ = paused; }
    bool paused() const { return paused_; }

    bool finished() const { return outcome_ != RunOutcome::running; }
    RunOutcome outcome() const { return outcome_; }
    const Sequence& sequence() const { return sequence_; }
    const std::vector<StepResult>& results() const { return results_; }
    // The step running or last run (the step a lost device is named by).
    std::size_t currentStep() const { return current_; }
    double elapsedSeconds();
    const TroubleCodeLog& troubleCodes() const { return troubleCodes_; }

    // Told of each step as it ends.
    std::function<void(std::size_t index, const StepResult& result)> onStepDone;

private:
    enum class Phase { idle, identifying, running, done };

    void beginStep();
    bool stepDone();
    bool actionDone(const SequenceStep& step);
    bool expectDone(const SequenceStep& step);
    bool rampDone(const SequenceStep& step);
    bool profileDone(const SequenceStep& step);
    bool askDone(const SequenceStep& step);
    bool runDone(const SequenceStep& step);
    // Sends the next queued command when none waits for its acknowledgement; false once a
    // command was refused or not acknowledged in time (the step has failed).
    bool sendQueued();
    bool idle() const;
    void queueModes(const std::vector<ModeSetting>& modes);
    void queueLevel(int level);
    void finishStep(Verdict verdict, const std::string& note = {});
    void finishRun(RunOutcome outcome);
    std::uint32_t stepMs();

    const Sequence& sequence_;
    SequenceBench& bench_;
    platform::Clock& clock_;
    RunnerOptions options_;
    Phase phase_ = Phase::idle;
    RunOutcome outcome_ = RunOutcome::running;
    std::vector<StepResult> results_;
    std::size_t current_ = 0;
    std::uint32_t runStartMs_ = 0;
    std::uint32_t stepStartMs_ = 0;

    // Commands of the step not yet sent, and the acknowledgement the last one waits for.
    struct Queued {
        std::string line;
        Acknowledgement ack;
    };
    std::vector<Queued> queue_;
    std::optional<Acknowledgement> awaited_;
    std::uint32_t sentMs_ = 0;
    std::string lastSent_;
    std::vector<Acknowledgement> acks_;
    int lastLevelSent_ = -1;
    int rampFrom_ = 0;
    std::size_t nextPoint_ = 0;
    bool started_ = false;  // the step's program or question is out
    bool paused_ = false;
    bool betweenSteps_ = false;  // current_ has ended; the next one has not begun
    std::optional<std::pair<int, std::string>> programEnd_;
    std::optional<std::pair<bool, std::string>> answer_;
    TroubleCodeLog troubleCodes_;
};

}  // namespace terminal::sequences
