#pragma once
// What a finished run leaves behind: a text report for a person at a terminal, an HTML page
// for one at a browser (self-contained, nothing fetched), JUnit XML for a CI job (one
// testsuite per sequence, one testcase per expect, ask and run step) and JSON for a script.

#include <string>
#include <vector>

#include "terminal/sequences/SequenceRunner.h"
#include "terminal/sequences/TroubleCodeLog.h"

namespace terminal::sequences {

struct RunReport {
    const Sequence* sequence = nullptr;
    std::vector<StepResult> results;
    RunOutcome outcome = RunOutcome::running;
    std::size_t stepAtEnd = 0;  // the step running when the device was lost or the run stopped
    std::string started;        // the start's local time, e.g. "2026-12-09T06:01:02"
    std::string ended;
    double seconds = 0;
    std::string file;  // the sequence file as it was given
    std::string port;  // the port chosen ("COM3", a device path; empty: the remembered one)
    int exitStatus = 0;
    std::vector<SeenTroubleCode> troubleCodes;
    // The run's trends as a PNG, in base64; empty when there was nothing to draw.
    std::string plotBase64;
};

RunReport reportOf(SequenceRunner& runner, std::string started);

// The exit status of `Tessaly --run` for an outcome: 0 passed, 1 a check failed (or the
// operator stopped it), 3 no device or a lost one, 128+n for signal n.
int exitStatusFor(RunOutcome outcome, int signal = 0);

// A failed or warned check: when it ended, seconds since the run's start, and its step number
// as the reports count (from 1), for the marks on the trends' time axis.
struct FailedCheck {
    double seconds = 0;
    std::size_t step = 0;
    bool warning = false;
};
std::vector<FailedCheck> failedChecks(const RunReport& report);

// "passed", "failed", "device not identified", "device lost at step 3 (line 9)", ...
std::string verdictText(const RunReport& report);

std::string textReport(const RunReport& report);
std::string junitXml(const RunReport& report);
std::string htmlReport(const RunReport& report);
// report.json: the run and every step with its times (seconds since the start; absent for a
// step not run), verdict, expected and seen values, and the trouble codes seen.
std::string jsonReport(const RunReport& report);

}  // namespace terminal::sequences
