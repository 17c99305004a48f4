// The runner's verdicts on a fake bench and clock: checks met within their window pass,
// those still unmet at its end fail by their grade, commands go out as the controls send
// them and wait for the simulator's acknowledgement, drive cycles keep their own time, and
// a missing or lost device ends the run.
#include <gtest/gtest.h>

#include "FakeClock.h"
#include "terminal/sequences/SequenceFile.h"
#include "terminal/sequences/SequenceRunner.h"

namespace {

using namespace terminal::sequences;
using terminal::Acknowledgement;
using terminal::LinkState;

class FakeBench : public SequenceBench {
public:
    FakeBench() {
        shownNow.readings = true;
        shownNow.level = 40;
    }
    std::string command(const std::string& line) override {
        sent.push_back(line);
        return refusal;
    }
    LinkState linkState() override { return link; }
    const terminal::VehicleSnapshot& shown() override { return shownNow; }
    const terminal::DashboardState& panel() override { return panelNow; }
    void startProgram(const std::string& command) override { programs.push_back(command); }
    void stopProgram() override { ++stops; }
    bool askOperator(const std::string& question) override {
        questions.push_back(question);
        return operatorPresent;
    }

    std::vector<std::string> sent;
    std::string refusal;
    LinkState link = LinkState::identified;
    terminal::VehicleSnapshot shownNow;
    terminal::DashboardState panelNow;
    std::vector<std::string> programs;
    int stops = 0;
    bool operatorPresent = false;
    std::vector<std::string> questions;
};

class Runner : public ::testing::Test {
protected:
    void load(const std::string& text, RunnerOptions options = {}) {
        SequenceReading reading =
            readSequence(text, "bench.yaml", [](const std::string&) -> std::optional<std::string> {
                return std::string(
                    "time_s,level,quiet\n0,10,off\n1,20,off\n2.5,30,on\n2.8,35,on\n");
            });
        ASSERT_TRUE(reading.sequence) << reading.error;
        sequence_ = std::move(*reading.sequence);
        runner_ = std::make_unique<SequenceRunner>(sequence_, bench_, clock_, options);
        runner_->start();
        runner_->tick();
    }
    void at(std::uint32_t ms) {
        clock_.now = ms;
        runner_->tick();
    }
    Verdict verdict(std::size_t step) { return runner_->results()[step].verdict; }
    const StepResult& result(std::size_t step) { return runner_->results()[step]; }

    testing_support::FakeClock clock_;
    FakeBench bench_;
    Sequence sequence_;
    std::unique_ptr<SequenceRunner> runner_;
};

TEST_F(Runner, AnExpectPassesWhenItsConditionComesWithinTheWindow) {
    load("steps:\n  - expect: {level: 50, within: 5}\n");
    EXPECT_EQ(Verdict::running, verdict(0));
    at(3000);
    EXPECT_EQ(Verdict::running, verdict(0));
    bench_.shownNow.level = 50;
    at(3020);
    EXPECT_EQ(Verdict::passed, verdict(0));
    EXPECT_EQ("level 50", result(0).expected);
    EXPECT_EQ("level 50", result(0).seen);
    EXPECT_EQ(3.02, result(0).endSeconds);
    EXPECT_EQ(RunOutcome::passed, runner_->outcome());
}

TEST_F(Runner, AnExpectStillUnmetAtTheWindowsEndFailsWithWhatWasSeen) {
    load("steps:\n  - expect: {level: 50, within: 5}\n  - wait: 1\n");
    at(4999);
    EXPECT_EQ(Verdict::running, verdict(0));
    at(5000);
    EXPECT_EQ(Verdict::failed, verdict(0));
    EXPECT_EQ("level 40", result(0).seen);
    EXPECT_EQ("not met within 5 s", result(0).note);
    EXPECT_EQ(Verdict::running, verdict(1));
    at(6000);
    EXPECT_EQ(RunOutcome::failed, runner_->outcome());
}

TEST_F(Runner, AFailedExpectWeighsByItsGrade) {
    struct Case {
        const char* grade;
        Verdict verdict;
        Verdict next;
        RunOutcome outcome;
    };
    for (const Case& c : {Case{"warning", Verdict::warning, Verdict::passed, RunOutcome::passed},
                          Case{"error", Verdict::failed, Verdict::passed, RunOutcome::failed},
                          Case{"fatal", Verdict::failed, Verdict::notRun, RunOutcome::failed}}) {
        clock_.now = 0;
        load(std::string("steps:\n  - expect: {value: Engine RPM, min: 100, grade: ") + c.grade +
             "}\n  - wait: 0\n");
        EXPECT_EQ(c.verdict, verdict(0)) << c.grade;
        EXPECT_EQ("Engine RPM >= 100", result(0).expected) << c.grade;
        EXPECT_EQ("Engine RPM 0", result(0).seen) << c.grade;
        EXPECT_EQ(c.next, verdict(1)) << c.grade;
        EXPECT_EQ(c.outcome, runner_->outcome()) << c.grade;
    }
}

TEST_F(Runner, ChecksNothingAgainstTheWaitingLook) {
    load("steps:\n  - wait: 1\n  - expect: {value: Engine RPM, max: 100}\n");
    bench_.shownNow.readings = false;
    at(1000);
    EXPECT_EQ(Verdict::failed, verdict(1));
    EXPECT_EQ("no readings (the link is identified)", result(1).seen);
}

TEST_F(Runner, ALevelWaitsForItsAcknowledgement) {
    load("steps:\n  - level: 50\n  - level: 60\n");
    EXPECT_EQ(std::vector<std::string>{"level 50"}, bench_.sent);
    runner_->acknowledged(Acknowledgement::key);
    at(100);
    EXPECT_EQ(Verdict::running, verdict(0));
    runner_->acknowledged(Acknowledgement::level);
    at(200);
    EXPECT_EQ(Verdict::passed, verdict(0));
    EXPECT_EQ((std::vector<std::string>{"level 50", "level 60"}), bench_.sent);
    at(5199);
    EXPECT_EQ(Verdict::running, verdict(1));
    at(5200);
    EXPECT_EQ(Verdict::failed, verdict(1));
    EXPECT_EQ("no acknowledgement of 'level 60' within 5 s", result(1).note);
}

TEST_F(Runner, AModeClicksOnlyTheBoxesThatDiffer) {
    bench_.panelNow.warningsOn = true;
    load("steps:\n  - mode: {warnings: on, dynamic: on, quiet: off}\n  - key: up\n");
    EXPECT_EQ(std::vector<std::string>{"dynamic on"}, bench_.sent);
    runner_->acknowledged(Acknowledgement::key);
    at(20);
    EXPECT_EQ(Verdict::passed, verdict(0));
    EXPECT_EQ((std::vector<std::string>{"dynamic on", "key up"}), bench_.sent);
}

TEST_F(Runner, ARefusedCommandFailsItsStep) {
    bench_.refusal = "level: refused: the link is silent";
    load("steps:\n  - level: 50\n");
    EXPECT_EQ(Verdict::failed, verdict(0));
    EXPECT_EQ("level: refused: the link is silent", result(0).note);
    EXPECT_EQ(RunOutcome::failed, runner_->outcome());
}

TEST_F(Runner, WaitsTenSecondsForTheDeviceThenGivesUp) {
    bench_.link = LinkState::connecting;
    load("steps:\n  - level: 50\n");
    at(9999);
    EXPECT_FALSE(runner_->finished());
    at(10000);
    EXPECT_EQ(RunOutcome::deviceMissing, runner_->outcome());
    EXPECT_TRUE(bench_.sent.empty());
}

TEST_F(Runner, ALostDeviceEndsTheRunAtTheStepItWasLostAt) {
    load("steps:\n  - wait: 1\n  - wait: 10\n  - level: 3\n");
    at(2000);
    bench_.link = LinkState::lost;
    at(2020);
    EXPECT_EQ(RunOutcome::deviceLost, runner_->outcome());
    EXPECT_EQ(1U, runner_->currentStep());
    EXPECT_EQ(Verdict::failed, verdict(1));
    EXPECT_EQ("the device was lost (the link is lost)", result(1).note);
    EXPECT_EQ(Verdict::notRun, verdict(2));
}

TEST_F(Runner, ADriveCycleKeepsItsOwnTimeAndCatchesUpAfterASlowAcknowledgement) {
    load("steps:\n  - profile: cycle.csv\n");
    EXPECT_EQ(std::vector<std::string>{"level 10"}, bench_.sent);
    runner_->acknowledged(Acknowledgement::level);
    at(999);
    EXPECT_EQ(1U, bench_.sent.size());
    at(1000);
    EXPECT_EQ("level 20", bench_.sent.back());
    // Acknowledged only after the rows of 2.5 s and 2.8 s are due: their modes and the later
    // row's level go out, nothing of the row skipped.
    runner_->acknowledged(Acknowledgement::level);
    at(2900);
    EXPECT_EQ("quiet on", bench_.sent.back());
    runner_->acknowledged(Acknowledgement::key);
    at(2920);
    EXPECT_EQ((std::vector<std::string>{"level 10", "level 20", "quiet on", "level 35"}),
              bench_.sent);
    EXPECT_EQ(Verdict::running, verdict(0));
    runner_->acknowledged(Acknowledgement::level);
    at(2940);
    EXPECT_EQ(Verdict::passed, verdict(0));
}

TEST_F(Runner, ARampStepsTheLevelAlongTheLineAtTheSimulatorsPace) {
    load("steps:\n  - ramp: {level: 50, over: 10}\n");
    EXPECT_TRUE(bench_.sent.empty());
    at(2500);
    EXPECT_EQ(std::vector<std::string>{"level 43"}, bench_.sent);
    at(5000);
    EXPECT_EQ(1U, bench_.sent.size());
    runner_->acknowledged(Acknowledgement::level);
    at(5000);
    EXPECT_EQ("level 45", bench_.sent.back());
    runner_->acknowledged(Acknowledgement::level);
    at(12000);
    EXPECT_EQ("level 50", bench_.sent.back());
    EXPECT_EQ(Verdict::running, verdict(0));
    runner_->acknowledged(Acknowledgement::level);
    at(12020);
    EXPECT_EQ(Verdict::passed, verdict(0));
}

TEST_F(Runner, AnAskIsSkippedWithoutAnOperatorAndAnsweredByAnswers) {
    load("steps:\n  - ask: Lamp lit?\n");
    EXPECT_EQ(Verdict::skipped, verdict(0));
    EXPECT_EQ("skipped: no operator to answer (see --answers)", result(0).note);
    EXPECT_EQ(RunOutcome::passed, runner_->outcome());

    RunnerOptions options;
    options.answers = false;
    load("steps:\n  - ask: Lamp lit?\n", options);
    EXPECT_EQ(Verdict::failed, verdict(0));
    EXPECT_EQ("fail", result(0).seen);
    EXPECT_EQ("answered fail by --answers", result(0).note);

    bench_.operatorPresent = true;
    load("steps:\n  - ask: Lamp lit?\n");
    EXPECT_EQ(Verdict::running, verdict(0));
    runner_->answered(true, "amber, as wanted");
    at(20);
    EXPECT_EQ(Verdict::passed, verdict(0));
    EXPECT_EQ("amber, as wanted", result(0).note);
}

TEST_F(Runner, ARunPassesOnExitZeroAndFailsOtherwiseOrPastItsTimeout) {
    load(
        "steps:\n  - run: {command: ./check.sh 110, timeout: 30}\n  - run: ./other\n"
        "  - run: {command: ./slow, timeout: 2}\n");
    EXPECT_EQ(std::vector<std::string>{"./check.sh 110"}, bench_.programs);
    runner_->programFinished(0, "cluster ok\n");
    at(100);
    EXPECT_EQ(Verdict::passed, verdict(0));
    EXPECT_EQ("cluster ok\n", result(0).output);
    runner_->programFinished(4, "no lamp\n");
    at(200);
    EXPECT_EQ(Verdict::failed, verdict(1));
    EXPECT_EQ("exit status 4", result(1).seen);
    at(2199);
    EXPECT_EQ(Verdict::running, verdict(2));
    EXPECT_EQ(0, bench_.stops);
    at(2200);
    EXPECT_EQ(Verdict::failed, verdict(2));
    EXPECT_EQ(1, bench_.stops);
    EXPECT_EQ("stopped: no end within 2 s", result(2).note);
}

TEST_F(Runner, StopFailsTheStepRunningAndLeavesTheRest) {
    load("steps:\n  - wait: 5\n  - wait: 5\n");
    at(1000);
    runner_->stop("stopped by signal 15");
    EXPECT_EQ(RunOutcome::interrupted, runner_->outcome());
    EXPECT_EQ(Verdict::failed, verdict(0));
    EXPECT_EQ("stopped by signal 15", result(0).note);
    EXPECT_EQ(Verdict::notRun, verdict(1));
}

TEST_F(Runner, TheTroubleCodesShownWhileStepsRunAreLoggedWithFirstAndLastSeen) {
    bench_.panelNow.engineDm1Text = "110     0     1     0\r\n";
    load("steps:\n  - wait: 10\n");
    at(2000);
    bench_.panelNow.absDm1Text = "597     1     7     0\r\n";
    runner_->statusShown();
    at(4500);
    bench_.panelNow.engineDm1Text = "110     0     3     0\r\n";
    runner_->statusShown();
    at(6000);
    bench_.panelNow.absDm1Text = "";
    runner_->statusShown();
    const std::vector<SeenTroubleCode>& codes = runner_->troubleCodes().codes();
    ASSERT_EQ(2u, codes.size());
    EXPECT_EQ("Engine DM1", codes[0].list);
    EXPECT_EQ(110u, codes[0].spn);
    EXPECT_EQ(3, codes[0].oc);
    EXPECT_DOUBLE_EQ(0, codes[0].firstSeconds);
    EXPECT_DOUBLE_EQ(6, codes[0].lastSeconds);
    EXPECT_EQ("ABS DM1", codes[1].list);
    EXPECT_EQ(597u, codes[1].spn);
    EXPECT_DOUBLE_EQ(2, codes[1].firstSeconds);
    EXPECT_DOUBLE_EQ(4.5, codes[1].lastSeconds);
}

TEST_F(Runner, APauseLetsTheStepRunningEndAndHoldsTheNextUntilItIsLifted) {
    load("steps:\n  - wait: 1\n  - level: 50\n");
    at(500);
    runner_->setPaused(true);
    at(1000);
    EXPECT_EQ(Verdict::passed, verdict(0));
    at(9000);
    EXPECT_EQ(Verdict::notRun, verdict(1));
    EXPECT_TRUE(bench_.sent.empty());
    runner_->setPaused(false);
    at(9100);
    EXPECT_EQ(Verdict::running, verdict(1));
    EXPECT_EQ(std::vector<std::string>{"level 50"}, bench_.sent);
}

TEST_F(Runner, ADeviceLostDuringAPauseNamesTheStepThatWasToRunNext) {
    load("steps:\n  - wait: 1\n  - level: 50\n");
    runner_->setPaused(true);
    at(1000);
    bench_.link = LinkState::lost;
    at(1100);
    EXPECT_EQ(RunOutcome::deviceLost, runner_->outcome());
    EXPECT_EQ(1u, runner_->currentStep());
    EXPECT_TRUE(bench_.sent.empty());
}

}  // namespace
