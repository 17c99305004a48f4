#include "terminal/sequences/SequenceRunner.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "terminal/recording/ExportNames.h"
#include "terminal/sequences/ExpectCheck.h"

namespace terminal::sequences {

std::string_view verdictName(Verdict verdict) {
    switch (verdict) {
        case Verdict::notRun:
            return "not run";
        case Verdict::running:
            return "running";
        case Verdict::passed:
            return "passed";
        case Verdict::warning:
            return "warning";
        case Verdict::failed:
            return "failed";
        case Verdict::skipped:
            return "skipped";
    }
    return "not run";
}

namespace {

enum class Sending { busy, done, failed };

std::uint32_t secondsToMs(double seconds) {
    return static_cast<std::uint32_t>(std::lround(seconds * 1000.0));
}

}  // namespace

SequenceRunner::SequenceRunner(const Sequence& sequence, SequenceBench& bench,
                               platform::Clock& clock, RunnerOptions options)
    : sequence_(sequence),
      bench_(bench),
      clock_(clock),
      options_(options),
      results_(sequence.steps.size()) {}

void SequenceRunner::start() {
    runStartMs_ = clock_.milliseconds();
    phase_ = Phase::identifying;
}

double SequenceRunner::elapsedSeconds() {
    return static_cast<double>(clock_.milliseconds() - runStartMs_) / 1000.0;
}

std::uint32_t SequenceRunner::stepMs() {
    return clock_.milliseconds() - stepStartMs_;
}

void SequenceRunner::acknowledged(Acknowledgement which) {
    if (phase_ == Phase::running) {
        acks_.push_back(which);
    }
}

void SequenceRunner::programFinished(int exitCode, const std::string& output) {
    programEnd_.emplace(exitCode, output);
}

void SequenceRunner::answered(bool pass, const std::string& note) {
    answer_.emplace(pass, note);
}

void SequenceRunner::statusShown() {
    if (phase_ == Phase::running && bench_.shown().readings) {
        troubleCodes_.observe(elapsedSeconds(), bench_.panel());
    }
}

void SequenceRunner::tick() {
    if (phase_ == Phase::identifying) {
        if (bench_.linkState() == LinkState::identified && bench_.shown().readings) {
            phase_ = Phase::running;
            statusShown();
            if (sequence_.steps.empty()) {
                finishRun(RunOutcome::passed);
                return;
            }
            beginStep();
        } else if (clock_.milliseconds() - runStartMs_ >= options_.identifyMs) {
            finishRun(RunOutcome::deviceMissing);
            return;
        } else {
            return;
        }
    }
    while (phase_ == Phase::running) {
        if (bench_.linkState() != LinkState::identified) {
            if (betweenSteps_) {
                // Lost during a pause: the step that would have run next is the one named.
                betweenSteps_ = false;
                ++current_;
            }
            finishStep(Verdict::failed, "the device was lost (the link is " +
                                            std::string(linkStateName(bench_.linkState())) + ")");
            finishRun(RunOutcome::deviceLost);
            break;
        }
        if (betweenSteps_) {
            if (paused_) {
                break;
            }
            betweenSteps_ = false;
            ++current_;
            beginStep();
        }
        if (!stepDone()) {
            break;
        }
        const SequenceStep& step = sequence_.steps[current_];
        if (step.kind == StepKind::expect && step.expect.grade == Grade::fatal &&
            results_[current_].verdict == Verdict::failed) {
            finishRun(RunOutcome::failed);
            break;
        }
        if (current_ + 1 == sequence_.steps.size()) {
            const bool failed = std::any_of(results_.begin(), results_.end(), [](const auto& r) {
                return r.verdict == Verdict::failed;
            });
            finishRun(failed ? RunOutcome::failed : RunOutcome::passed);
            break;
        }
        betweenSteps_ = true;
    }
    // What came before the commands now awaited answers nothing of theirs.
    acks_.clear();
}

void SequenceRunner::stop(const std::string& why) {
    if (finished()) {
        return;
    }
    if (phase_ == Phase::running && results_[current_].verdict == Verdict::running) {
        finishStep(Verdict::failed, why);
    }
    finishRun(RunOutcome::interrupted);
}

void SequenceRunner::beginStep() {
    const SequenceStep& step = sequence_.steps[current_];
    StepResult& result = results_[current_];
    result.verdict = Verdict::running;
    result.startSeconds = elapsedSeconds();
    stepStartMs_ = clock_.milliseconds();
    queue_.clear();
    awaited_.reset();
    started_ = false;
    programEnd_.reset();
    answer_.reset();
    nextPoint_ = 0;
    rampFrom_ = bench_.shown().level;
    lastLevelSent_ = rampFrom_;
    switch (step.kind) {
        case StepKind::level:
            queueLevel(step.level);
            break;
        case StepKind::mode:
            queueModes(step.modes);
            break;
        case StepKind::key:
            queue_.push_back({"key " + step.key, Acknowledgement::key});
            break;
        case StepKind::profile:
            lastLevelSent_ = -1;
            break;
        case StepKind::expect:
            result.expected = expectedText(step.expect);
            break;
        case StepKind::ask:
            result.expected = "pass";
            break;
        case StepKind::run:
            result.expected = "exit status 0";
            break;
        default:
            break;
    }
}

bool SequenceRunner::stepDone() {
    const SequenceStep& step = sequence_.steps[current_];
    switch (step.kind) {
        case StepKind::level:
        case StepKind::mode:
        case StepKind::key:
            return actionDone(step);
        case StepKind::wait:
            if (stepMs() >= secondsToMs(step.seconds)) {
                finishStep(Verdict::passed);
                return true;
            }
            return false;
        case StepKind::ramp:
            return rampDone(step);
        case StepKind::profile:
            return profileDone(step);
        case StepKind::expect:
            return expectDone(step);
        case StepKind::ask:
            return askDone(step);
        case StepKind::run:
            return runDone(step);
    }
    return false;
}

void SequenceRunner::queueLevel(int level) {
    queue_.push_back({"level " + std::to_string(level), Acknowledgement::level});
    lastLevelSent_ = level;
}

// Only the boxes whose state differs are clicked, as an operator would.
void SequenceRunner::queueModes(const std::vector<ModeSetting>& modes) {
    for (const ModeSetting& mode : modes) {
        if (modeOn(bench_.panel(), mode.word) != mode.on) {
            queue_.push_back({mode.word + (mode.on ? " on" : " off"), Acknowledgement::key});
        }
    }
}

bool SequenceRunner::sendQueued() {
    if (awaited_) {
        const auto ack = std::find(acks_.begin(), acks_.end(), *awaited_);
        if (ack != acks_.end()) {
            acks_.erase(ack);
            awaited_.reset();
        } else if (clock_.milliseconds() - sentMs_ >= options_.acknowledgeMs) {
            finishStep(Verdict::failed, "no acknowledgement of '" + lastSent_ + "' within " +
                                            describedNumber(options_.acknowledgeMs / 1000.0) +
                                            " s");
            return false;
        } else {
            return true;
        }
    }
    if (queue_.empty()) {
        return true;
    }
    const Queued next = queue_.front();
    queue_.erase(queue_.begin());
    const std::string refusal = bench_.command(next.line);
    if (!refusal.empty()) {
        finishStep(Verdict::failed, refusal);
        return false;
    }
    awaited_ = next.ack;
    sentMs_ = clock_.milliseconds();
    lastSent_ = next.line;
    return true;
}

bool SequenceRunner::idle() const {
    return !awaited_ && queue_.empty();
}

bool SequenceRunner::actionDone(const SequenceStep& /*step*/) {
    if (!sendQueued()) {
        return true;
    }
    if (idle()) {
        finishStep(Verdict::passed);
        return true;
    }
    return false;
}

// Level steps as fast as the simulator acknowledges them, each aimed at where the straight
// line from the start level stands now.
bool SequenceRunner::rampDone(const SequenceStep& step) {
    if (!sendQueued()) {
        return true;
    }
    if (!idle()) {
        return false;
    }
    const std::uint32_t over = secondsToMs(step.seconds);
    const double fraction =
        over == 0 ? 1.0 : std::min(1.0, static_cast<double>(stepMs()) / static_cast<double>(over));
    const int wanted =
        static_cast<int>(std::lround(rampFrom_ + (step.level - rampFrom_) * fraction));
    if (wanted != lastLevelSent_) {
        queueLevel(wanted);
        return !sendQueued();
    }
    if (fraction >= 1.0) {
        finishStep(Verdict::passed);
        return true;
    }
    return false;
}

// Each row at its own time from the step's start; rows whose time passed while a command
// waited are taken together, so a slow acknowledgement never stretches the cycle.
bool SequenceRunner::profileDone(const SequenceStep& step) {
    if (!sendQueued()) {
        return true;
    }
    if (!idle()) {
        return false;
    }
    const std::vector<ProfilePoint>& points = step.profile;
    const std::uint32_t now = stepMs();
    if (nextPoint_ < points.size() && secondsToMs(points[nextPoint_].seconds) <= now) {
        std::map<std::string, bool> modes;
        std::size_t due = nextPoint_;
        for (; due < points.size() && secondsToMs(points[due].seconds) <= now; ++due) {
            for (const ModeSetting& mode : points[due].modes) {
                modes[mode.word] = mode.on;
            }
        }
        nextPoint_ = due;
        std::vector<ModeSetting> settings;
        for (const auto& [word, on] : modes) {
            settings.push_back({word, on});
        }
        queueModes(settings);
        if (points[due - 1].level != lastLevelSent_) {
            queueLevel(points[due - 1].level);
        }
        if (!sendQueued()) {
            return true;
        }
    }
    if (nextPoint_ == points.size() && idle()) {
        finishStep(Verdict::passed);
        return true;
    }
    return false;
}

bool SequenceRunner::expectDone(const SequenceStep& step) {
    const Check check =
        checkExpectation(step.expect, bench_.linkState(), bench_.shown(), bench_.panel());
    results_[current_].seen = check.seen;
    if (check.met) {
        finishStep(Verdict::passed);
        return true;
    }
    if (stepMs() < secondsToMs(step.expect.withinSeconds)) {
        return false;
    }
    const std::string note =
        step.expect.withinSeconds > 0
            ? "not met within " + describedNumber(step.expect.withinSeconds) + " s"
            : std::string("not met");
    finishStep(step.expect.grade == Grade::warning ? Verdict::warning : Verdict::failed, note);
    return true;
}

bool SequenceRunner::askDone(const SequenceStep& step) {
    StepResult& result = results_[current_];
    if (!started_) {
        if (options_.answers) {
            result.seen = *options_.answers ? "pass" : "fail";
            finishStep(*options_.answers ? Verdict::passed : Verdict::failed,
                       "answered " + result.seen + " by --answers");
            return true;
        }
        if (!bench_.askOperator(step.question)) {
            finishStep(Verdict::skipped, "skipped: no operator to answer (see --answers)");
            return true;
        }
        started_ = true;
        return false;
    }
    if (!answer_) {
        return false;
    }
    result.seen = answer_->first ? "pass" : "fail";
    finishStep(answer_->first ? Verdict::passed : Verdict::failed, answer_->second);
    return true;
}

bool SequenceRunner::runDone(const SequenceStep& step) {
    StepResult& result = results_[current_];
    if (!started_) {
        started_ = true;
        bench_.startProgram(step.command);
    }
    if (programEnd_) {
        const auto [status, output] = *programEnd_;
        result.output = output;
        result.seen = status < 0 ? "no exit status" : "exit status " + std::to_string(status);
        finishStep(status == 0 ? Verdict::passed : Verdict::failed,
                   status < 0 ? "the command did not start or ended abnormally" : "");
        return true;
    }
    if (stepMs() >= secondsToMs(step.timeoutSeconds)) {
        // finishStep ends the command.
        result.seen = "still running";
        finishStep(Verdict::failed,
                   "stopped: no end within " + describedNumber(step.timeoutSeconds) + " s");
        return true;
    }
    return false;
}

void SequenceRunner::finishStep(Verdict verdict, const std::string& note) {
    StepResult& result = results_[current_];
    if (result.verdict != Verdict::running) {
        return;
    }
    const SequenceStep& step = sequence_.steps[current_];
    if (step.kind == StepKind::run && started_ && !programEnd_ && verdict != Verdict::passed) {
        bench_.stopProgram();
    }
    result.verdict = verdict;
    result.endSeconds = elapsedSeconds();
    if (!note.empty()) {
        result.note = note;
    }
    queue_.clear();
    awaited_.reset();
    if (onStepDone) {
        onStepDone(current_, result);
    }
}

void SequenceRunner::finishRun(RunOutcome outcome) {
    phase_ = Phase::done;
    outcome_ = outcome;
}

}  // namespace terminal::sequences
