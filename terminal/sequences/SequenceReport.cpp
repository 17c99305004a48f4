#include "terminal/sequences/SequenceReport.h"

#include <cstdio>

#include "terminal/scripting/JsonLine.h"

namespace terminal::sequences {

namespace {

std::string fixed(double seconds, int decimals) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, seconds);
    return buffer;
}

// Text for XML and HTML: markup characters escaped, control characters XML cannot hold
// dropped.
std::string escaped(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                if (static_cast<unsigned char>(c) >= 0x20 || c == '\n' || c == '\t') {
                    out += c;
                }
        }
    }
    return out;
}

std::string stepTitle(const RunReport& report, std::size_t index) {
    const SequenceStep& step = report.sequence->steps[index];
    return "step " + std::to_string(index + 1) + " (line " + std::to_string(step.line) +
           "): " + (step.name.empty() ? stepText(step) : step.name + ": " + stepText(step));
}

std::string stepKindName(StepKind kind) {
    switch (kind) {
        case StepKind::level:
            return "level";
        case StepKind::mode:
            return "mode";
        case StepKind::key:
            return "key";
        case StepKind::wait:
            return "wait";
        case StepKind::ramp:
            return "ramp";
        case StepKind::profile:
            return "profile";
        case StepKind::expect:
            return "expect";
        case StepKind::ask:
            return "ask";
        case StepKind::run:
            return "run";
    }
    return "step";
}

bool isCheck(const SequenceStep& step) {
    return step.kind == StepKind::expect || step.kind == StepKind::ask ||
           step.kind == StepKind::run;
}

// One testcase per check, and per action that failed (a refused or unanswered command).
bool inJunit(const RunReport& report, std::size_t index) {
    return isCheck(report.sequence->steps[index]) ||
           report.results[index].verdict == Verdict::failed;
}

std::string failureMessage(const StepResult& result) {
    std::string message;
    if (!result.expected.empty()) {
        message = "expected " + result.expected + ", seen " +
                  (result.seen.empty() ? "nothing" : result.seen);
    }
    if (!result.note.empty()) {
        message += (message.empty() ? "" : ": ") + result.note;
    }
    return message;
}

bool runBroken(const RunReport& report) {
    return report.outcome == RunOutcome::deviceMissing ||
           report.outcome == RunOutcome::deviceLost || report.outcome == RunOutcome::interrupted;
}

}  // namespace

RunReport reportOf(SequenceRunner& runner, std::string started) {
    RunReport report;
    report.sequence = &runner.sequence();
    report.results = runner.results();
    report.outcome = runner.outcome();
    report.stepAtEnd = runner.currentStep();
    report.started = std::move(started);
    report.seconds = runner.elapsedSeconds();
    report.troubleCodes = runner.troubleCodes().codes();
    return report;
}

int exitStatusFor(RunOutcome outcome, int signal) {
    switch (outcome) {
        case RunOutcome::passed:
            return 0;
        case RunOutcome::deviceMissing:
        case RunOutcome::deviceLost:
            return 3;
        case RunOutcome::interrupted:
            return signal > 0 ? 128 + signal : 1;
        case RunOutcome::running:
        case RunOutcome::failed:
            break;
    }
    return 1;
}

std::vector<FailedCheck> failedChecks(const RunReport& report) {
    std::vector<FailedCheck> checks;
    for (std::size_t i = 0; i < report.results.size(); ++i) {
        const StepResult& result = report.results[i];
        if (isCheck(report.sequence->steps[i]) &&
            (result.verdict == Verdict::failed || result.verdict == Verdict::warning)) {
            checks.push_back({result.endSeconds, i + 1, result.verdict == Verdict::warning});
        }
    }
    return checks;
}

std::string verdictText(const RunReport& report) {
    const std::string at = report.sequence->steps.empty()
                               ? std::string()
                               : " at step " + std::to_string(report.stepAtEnd + 1) + " (line " +
                                     std::to_string(report.sequence->steps[report.stepAtEnd].line) +
                                     ")";
    switch (report.outcome) {
        case RunOutcome::running:
            return "running";
        case RunOutcome::passed:
            return "passed";
        case RunOutcome::failed:
            return "failed";
        case RunOutcome::deviceMissing:
            return "device not identified within 10 s";
        case RunOutcome::deviceLost:
            return "device lost" + at;
        case RunOutcome::interrupted:
            return "stopped" + at;
    }
    return "failed";
}

std::string textReport(const RunReport& report) {
    std::string text = "Sequence: " + report.sequence->name + "\nStarted: " + report.started +
                       "\nDuration: " + fixed(report.seconds, 1) +
                       " s\nVerdict: " + verdictText(report) + "\n\n";
    for (std::size_t i = 0; i < report.results.size(); ++i) {
        const StepResult& result = report.results[i];
        text += stepTitle(report, i) + ": " + std::string(verdictName(result.verdict));
        if (result.verdict != Verdict::notRun) {
            text +=
                " (" + fixed(result.startSeconds, 1) + " to " + fixed(result.endSeconds, 1) + " s)";
        }
        text += "\n";
        const auto detail = [&text](const char* label, const std::string& value) {
            if (!value.empty()) {
                text += std::string("    ") + label + ": " + value + "\n";
            }
        };
        detail("expected", result.expected);
        detail("seen", result.seen);
        detail("note", result.note);
        if (!result.output.empty()) {
            text += "    output:\n";
            std::size_t from = 0;
            while (from < result.output.size()) {
                const std::size_t end = result.output.find('\n', from);
                const std::size_t stop = end == std::string::npos ? result.output.size() : end;
                text += "      " + result.output.substr(from, stop - from) + "\n";
                from = stop + 1;
            }
        }
    }
    return text;
}

std::string junitXml(const RunReport& report) {
    int tests = 0;
    int failures = 0;
    int skipped = 0;
    std::string cases;
    const std::string suite = escaped(report.sequence->name);
    for (std::size_t i = 0; i < report.results.size(); ++i) {
        if (!inJunit(report, i)) {
            continue;
        }
        const StepResult& result = report.results[i];
        ++tests;
        const double seconds =
            result.verdict == Verdict::notRun ? 0 : result.endSeconds - result.startSeconds;
        cases += "    <testcase name=\"" + escaped(stepTitle(report, i)) + "\" classname=\"" +
                 suite + "\" time=\"" + fixed(seconds, 3) + "\"";
        std::string body;
        if (result.verdict == Verdict::failed) {
            ++failures;
            body += "      <failure message=\"" + escaped(failureMessage(result)) + "\" type=\"" +
                    (report.sequence->steps[i].kind == StepKind::expect &&
                             report.sequence->steps[i].expect.grade == Grade::fatal
                         ? "fatal"
                         : "error") +
                    "\">expected: " + escaped(result.expected) + "\nseen: " + escaped(result.seen) +
                    "</failure>\n";
        } else if (result.verdict == Verdict::skipped || result.verdict == Verdict::notRun) {
            ++skipped;
            body +=
                "      <skipped message=\"" +
                escaped(result.verdict == Verdict::notRun ? std::string("not run") : result.note) +
                "\"/>\n";
        } else if (result.verdict == Verdict::warning) {
            body +=
                "      <system-out>warning: " + escaped(failureMessage(result)) + "</system-out>\n";
        }
        if (!result.output.empty()) {
            body += "      <system-out>" + escaped(result.output) + "</system-out>\n";
        }
        cases += body.empty() ? "/>\n" : ">\n" + body + "    </testcase>\n";
    }
    int errors = 0;
    if (runBroken(report)) {
        ++tests;
        ++errors;
        cases += "    <testcase name=\"the run\" classname=\"" + suite +
                 "\" time=\"0.000\">\n      <error message=\"" + escaped(verdictText(report)) +
                 "\"/>\n    </testcase>\n";
    }
    const std::string counts = " tests=\"" + std::to_string(tests) + "\" failures=\"" +
                               std::to_string(failures) + "\" errors=\"" + std::to_string(errors) +
                               "\" skipped=\"" + std::to_string(skipped) + "\" time=\"" +
                               fixed(report.seconds, 3) + "\"";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites" + counts +
           ">\n  <testsuite name=\"" + suite + "\"" + counts + " timestamp=\"" +
           escaped(report.started) + "\">\n" + cases + "  </testsuite>\n</testsuites>\n";
}

std::string htmlReport(const RunReport& report) {
    const bool good = report.outcome == RunOutcome::passed;
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
        escaped(report.sequence->name) +
        "</title>\n<style>\nbody{font-family:sans-serif;margin:1.5em}\n"
        "table{border-collapse:collapse}\ntd,th{border:1px solid #999;padding:.25em .5em;"
        "text-align:left;vertical-align:top}\n.passed{background:#d8f0d8}\n"
        ".failed{background:#f6d0d0}\n.warning{background:#fbefc8}\n"
        ".skipped,.not-run{background:#eee}\npre{margin:0}\n"
        "#verdict{font-size:1.4em;font-weight:bold;padding:.3em .5em}\n"
        "img{max-width:100%;height:auto}\n</style>\n</head>\n<body>\n<h1>" +
        escaped(report.sequence->name) + "</h1>\n<p id=\"verdict\" class=\"" +
        (good ? "passed" : "failed") + "\">Verdict: " + escaped(verdictText(report)) + "</p>\n<p>" +
        escaped(report.file) + (report.port.empty() ? "" : " on " + escaped(report.port)) +
        ", started " + escaped(report.started) +
        (report.ended.empty() ? "" : ", ended " + escaped(report.ended)) + ", " +
        fixed(report.seconds, 1) + " s, exit status " + std::to_string(report.exitStatus) +
        "</p>\n<h2>Steps</h2>\n<table "
        "id=\"steps\">\n<tr><th>#</th><th>Line</th><th>Step</th><th>Verdict</th>"
        "<th>From (s)</th><th>To (s)</th><th>Expected</th><th>Seen</th><th>Note</th></tr>\n";
    for (std::size_t i = 0; i < report.results.size(); ++i) {
        const StepResult& result = report.results[i];
        const SequenceStep& step = report.sequence->steps[i];
        std::string verdict(verdictName(result.verdict));
        std::string cssClass = verdict == "not run" ? "not-run" : verdict;
        const bool ran = result.verdict != Verdict::notRun;
        std::string note = escaped(result.note);
        if (!result.output.empty()) {
            note += "<pre>" + escaped(result.output) + "</pre>";
        }
        html += "<tr class=\"" + cssClass + "\"><td>" + std::to_string(i + 1) + "</td><td>" +
                std::to_string(step.line) + "</td><td>" +
                escaped(step.name.empty() ? stepText(step) : step.name + ": " + stepText(step)) +
                "</td><td>" + verdict + "</td><td>" + (ran ? fixed(result.startSeconds, 1) : "") +
                "</td><td>" + (ran ? fixed(result.endSeconds, 1) : "") + "</td><td>" +
                escaped(result.expected) + "</td><td>" + escaped(result.seen) + "</td><td>" + note +
                "</td></tr>\n";
    }
    html += "</table>\n<h2>Trouble codes</h2>\n";
    if (report.troubleCodes.empty()) {
        html += "<p id=\"trouble-codes\">No trouble code was shown during the run.</p>\n";
    } else {
        html +=
            "<table id=\"trouble-codes\">\n<tr><th>List</th><th>SPN</th><th>FMI</th><th>OC</th>"
            "<th>CM</th><th>First seen (s)</th><th>Last seen (s)</th></tr>\n";
        for (const SeenTroubleCode& code : report.troubleCodes) {
            html += "<tr><td>" + escaped(code.list) + "</td><td>" + std::to_string(code.spn) +
                    "</td><td>" + std::to_string(code.fmi) + "</td><td>" + std::to_string(code.oc) +
                    "</td><td>" + std::to_string(code.cm) + "</td><td>" +
                    fixed(code.firstSeconds, 1) + "</td><td>" + fixed(code.lastSeconds, 1) +
                    "</td></tr>\n";
        }
        html += "</table>\n";
    }
    html += "<h2>Trends</h2>\n";
    if (report.plotBase64.empty()) {
        html += "<p id=\"trends\">Nothing was recorded to draw.</p>\n";
    } else {
        html +=
            "<p>Failed checks are marked in red on the time axis, warnings in amber, each "
            "with its step number.</p>\n<img id=\"trends\" alt=\"The run's trends\" "
            "src=\"data:image/png;base64," +
            report.plotBase64 + "\">\n";
    }
    return html + "</body>\n</html>\n";
}

std::string jsonReport(const RunReport& report) {
    using headless::JsonObject;
    std::vector<JsonObject> steps;
    for (std::size_t i = 0; i < report.results.size(); ++i) {
        const StepResult& result = report.results[i];
        const SequenceStep& step = report.sequence->steps[i];
        JsonObject entry;
        entry.addInteger("step", static_cast<std::int64_t>(i + 1))
            .addInteger("line", step.line)
            .addText("kind", stepKindName(step.kind))
            .addText("name", step.name)
            .addText("text", stepText(step))
            .addText("verdict", verdictName(result.verdict));
        if (result.verdict != Verdict::notRun) {
            entry.addNumber("start", result.startSeconds).addNumber("end", result.endSeconds);
        }
        entry.addText("expected", result.expected)
            .addText("seen", result.seen)
            .addText("note", result.note)
            .addText("output", result.output);
        steps.push_back(entry);
    }
    std::vector<JsonObject> codes;
    for (const SeenTroubleCode& code : report.troubleCodes) {
        JsonObject entry;
        entry.addText("list", code.list)
            .addInteger("spn", code.spn)
            .addInteger("fmi", code.fmi)
            .addInteger("oc", code.oc)
            .addInteger("cm", code.cm)
            .addNumber("first_seen", code.firstSeconds)
            .addNumber("last_seen", code.lastSeconds);
        codes.push_back(entry);
    }
    JsonObject run;
    run.addText("sequence", report.sequence->name)
        .addText("file", report.file)
        .addText("port", report.port)
        .addText("started", report.started)
        .addText("ended", report.ended)
        .addNumber("seconds", report.seconds)
        .addText("verdict", verdictText(report))
        .addBool("passed", report.outcome == RunOutcome::passed)
        .addInteger("exit_status", report.exitStatus)
        .addObjects("steps", steps)
        .addObjects("trouble_codes", codes);
    return run.text() + "\n";
}

}  // namespace terminal::sequences
