#pragma once
// What a finished run leaves behind: a text report for a person at a terminal, an HTML page
// for one at a browser (self-contained, nothing fetched), and JUnit XML for a CI job (one
// testsuite per sequence, one testcase per expect, ask and run step).

#include <string>
#include <vector>

#include "terminal/sequences/SequenceRunner.h"

namespace terminal::sequences {

struct RunReport {
    const Sequence* sequence = nullptr;
    std::vector<StepResult> results;
    RunOutcome outcome = RunOutcome::running;
    std::size_t stepAtEnd = 0;  // the step running when the device was lost or the run stopped
    std::string started;        // the start's local time, e.g. "2026-12-09T06:01:02"
    double seconds = 0;
};

RunReport reportOf(SequenceRunner& runner, std::string started);

// "passed", "failed", "device not identified", "device lost at step 3 (line 9)", ...
std::string verdictText(const RunReport& report);

std::string textReport(const RunReport& report);
std::string junitXml(const RunReport& report);
std::string htmlReport(const RunReport& report);

}  // namespace terminal::sequences
