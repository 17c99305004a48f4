// The reports of a finished run as CI, a script and a person read them: JUnit with one
// testcase per check and the failure's expected and seen values, report.json with every step,
// the text report step by step, and the HTML page with its verdict, step table, trouble codes
// and picture.
#include <gtest/gtest.h>

#include "terminal/sequences/SequenceFile.h"
#include "terminal/sequences/SequenceReport.h"

namespace {

using namespace terminal::sequences;

class Report : public ::testing::Test {
protected:
    Report() {
        SequenceReading reading = readSequence(
            "name: Overheat <warning>\nsteps:\n  - level: 50\n  - expect: {level: 50, within: 5}\n"
            "  - name: Amber\n    expect: {lamp: Engine Amber, grade: warning}\n"
            "  - expect: {level: 60}\n  - run: ./check.sh\n  - ask: Lit?\n",
            "overheat.yaml", [](const std::string&) { return std::nullopt; });
        sequence_ = *reading.sequence;
        report_.sequence = &sequence_;
        report_.outcome = RunOutcome::failed;
        report_.started = "2026-12-09T06:01:02";
        report_.seconds = 7.25;
        report_.results = {
            {Verdict::passed, 0, 0.5, "", "", "", ""},
            {Verdict::passed, 0.5, 1.5, "level 50", "level 50", "", ""},
            {Verdict::warning, 1.5, 1.5, "lamp Engine Amber lit", "lamp Engine Amber dark",
             "not met", ""},
            {Verdict::failed, 1.5, 1.5, "level 60", "level 50", "not met", ""},
            {Verdict::passed, 1.5, 2.25, "exit status 0", "exit status 0", "", "ok & done\n"},
            {Verdict::skipped, 2.25, 2.25, "pass", "", "skipped: no operator", ""},
        };
    }

    Sequence sequence_;
    RunReport report_;
};

TEST_F(Report, JunitHasATestcasePerCheckAndTheFailuresExpectedAndSeen) {
    EXPECT_EQ(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<testsuites tests=\"5\" failures=\"1\" errors=\"0\" skipped=\"1\" time=\"7.250\">\n"
        "  <testsuite name=\"Overheat &lt;warning&gt;\" tests=\"5\" failures=\"1\" errors=\"0\" "
        "skipped=\"1\" time=\"7.250\" timestamp=\"2026-12-09T06:01:02\">\n"
        "    <testcase name=\"step 2 (line 4): expect level 50 within 5 s\" "
        "classname=\"Overheat &lt;warning&gt;\" time=\"1.000\"/>\n"
        "    <testcase name=\"step 3 (line 5): Amber: expect lamp Engine Amber lit\" "
        "classname=\"Overheat &lt;warning&gt;\" time=\"0.000\">\n"
        "      <system-out>warning: expected lamp Engine Amber lit, seen lamp Engine Amber dark: "
        "not met</system-out>\n"
        "    </testcase>\n"
        "    <testcase name=\"step 4 (line 7): expect level 60\" "
        "classname=\"Overheat &lt;warning&gt;\" time=\"0.000\">\n"
        "      <failure message=\"expected level 60, seen level 50: not met\" "
        "type=\"error\">expected: level 60\nseen: level 50</failure>\n"
        "    </testcase>\n"
        "    <testcase name=\"step 5 (line 8): run ./check.sh\" "
        "classname=\"Overheat &lt;warning&gt;\" time=\"0.750\">\n"
        "      <system-out>ok &amp; done\n</system-out>\n"
        "    </testcase>\n"
        "    <testcase name=\"step 6 (line 9): ask &quot;Lit?&quot;\" "
        "classname=\"Overheat &lt;warning&gt;\" time=\"0.000\">\n"
        "      <skipped message=\"skipped: no operator\"/>\n"
        "    </testcase>\n"
        "  </testsuite>\n"
        "</testsuites>\n",
        junitXml(report_));
}

TEST_F(Report, JunitCountsALostDeviceAsAnErrorAndTheRestAsNotRun) {
    report_.outcome = RunOutcome::deviceLost;
    report_.stepAtEnd = 3;
    report_.results[3] = {Verdict::failed,
                          1.5,
                          2,
                          "level 60",
                          "no readings (the link is lost)",
                          "the device was lost (the link is lost)",
                          ""};
    report_.results[4] = {};
    report_.results[5] = {};
    const std::string xml = junitXml(report_);
    EXPECT_NE(std::string::npos,
              xml.find("<testsuites tests=\"6\" failures=\"1\" errors=\"1\" skipped=\"2\""))
        << xml;
    EXPECT_NE(
        std::string::npos,
        xml.find("    <testcase name=\"the run\" classname=\"Overheat &lt;warning&gt;\" "
                 "time=\"0.000\">\n      <error message=\"device lost at step 4 (line 7)\"/>"))
        << xml;
    EXPECT_NE(std::string::npos,
              xml.find("<testcase name=\"step 5 (line 8): run ./check.sh\" classname=\"Overheat "
                       "&lt;warning&gt;\" time=\"0.000\">\n      <skipped message=\"not run\"/>"))
        << xml;
}

TEST_F(Report, TheTextReportListsEveryStepWithItsVerdict) {
    EXPECT_EQ(
        "Sequence: Overheat <warning>\nStarted: 2026-12-09T06:01:02\nDuration: 7.2 s\n"
        "Verdict: failed\n\n"
        "step 1 (line 3): level 50: passed (0.0 to 0.5 s)\n"
        "step 2 (line 4): expect level 50 within 5 s: passed (0.5 to 1.5 s)\n"
        "    expected: level 50\n    seen: level 50\n"
        "step 3 (line 5): Amber: expect lamp Engine Amber lit: warning (1.5 to 1.5 s)\n"
        "    expected: lamp Engine Amber lit\n    seen: lamp Engine Amber dark\n"
        "    note: not met\n"
        "step 4 (line 7): expect level 60: failed (1.5 to 1.5 s)\n"
        "    expected: level 60\n    seen: level 50\n    note: not met\n"
        "step 5 (line 8): run ./check.sh: passed (1.5 to 2.2 s)\n"
        "    expected: exit status 0\n    seen: exit status 0\n    output:\n      ok & done\n"
        "step 6 (line 9): ask \"Lit?\": skipped (2.2 to 2.2 s)\n"
        "    expected: pass\n    note: skipped: no operator\n",
        textReport(report_));
}

TEST_F(Report, TheHtmlPageCarriesTheVerdictAndAStepTableWithNothingFetched) {
    const std::string html = htmlReport(report_);
    EXPECT_NE(std::string::npos,
              html.find("<p id=\"verdict\" class=\"failed\">Verdict: failed</p>"));
    EXPECT_NE(std::string::npos,
              html.find("<tr class=\"failed\"><td>4</td><td>7</td><td>expect level 60</td>"
                        "<td>failed</td><td>1.5</td><td>1.5</td><td>level 60</td>"
                        "<td>level 50</td><td>not met</td></tr>"));
    EXPECT_NE(std::string::npos, html.find("<h1>Overheat &lt;warning&gt;</h1>"));
    EXPECT_EQ(std::string::npos, html.find("src="));
    EXPECT_EQ(std::string::npos, html.find("href="));
}

TEST_F(Report, TheJsonReportHoldsTheRunAndEveryStepWithItsTimes) {
    Sequence two;
    two.name = "Two \"steps\"";
    SequenceStep level;
    level.kind = StepKind::level;
    level.line = 3;
    level.level = 50;
    SequenceStep expect;
    expect.kind = StepKind::expect;
    expect.line = 4;
    expect.name = "Hot";
    expect.expect.level = 60;
    two.steps = {level, expect};
    RunReport report;
    report.sequence = &two;
    report.outcome = RunOutcome::deviceLost;
    report.stepAtEnd = 1;
    report.started = "2026-12-09T06:01:02";
    report.ended = "2026-12-09T06:01:05";
    report.seconds = 3.5;
    report.file = "bench/two.yaml";
    report.port = "COM49";
    report.exitStatus = 3;
    report.results = {{Verdict::passed, 0.25, 0.5, "", "", "", ""},
                      {Verdict::failed, 0.5, 3.5, "level 60", "no readings", "lost", ""}};
    report.troubleCodes = {{"Engine DM1", 110, 0, 1, 0, 0.25, 3.25}};
    EXPECT_EQ(
        "{\"sequence\":\"Two \\\"steps\\\"\",\"file\":\"bench/two.yaml\",\"port\":\"COM49\","
        "\"started\":\"2026-12-09T06:01:02\",\"ended\":\"2026-12-09T06:01:05\",\"seconds\":3.5,"
        "\"verdict\":\"device lost at step 2 (line 4)\",\"passed\":false,\"exit_status\":3,"
        "\"steps\":[{\"step\":1,\"line\":3,\"kind\":\"level\",\"name\":\"\",\"text\":\"level 50\","
        "\"verdict\":\"passed\",\"start\":0.25,\"end\":0.5,\"expected\":\"\",\"seen\":\"\","
        "\"note\":\"\",\"output\":\"\"},"
        "{\"step\":2,\"line\":4,\"kind\":\"expect\",\"name\":\"Hot\",\"text\":\"expect level 60\","
        "\"verdict\":\"failed\",\"start\":0.5,\"end\":3.5,\"expected\":\"level 60\","
        "\"seen\":\"no readings\",\"note\":\"lost\",\"output\":\"\"}],"
        "\"trouble_codes\":[{\"list\":\"Engine DM1\",\"spn\":110,\"fmi\":0,\"oc\":1,\"cm\":0,"
        "\"first_seen\":0.25,\"last_seen\":3.25}]}\n",
        jsonReport(report));
}

TEST_F(Report, AStepNotRunHasNoTimesInTheJsonReport) {
    report_.results[5] = {};
    const std::string json = jsonReport(report_);
    EXPECT_NE(std::string::npos,
              json.find("{\"step\":6,\"line\":9,\"kind\":\"ask\",\"name\":\"\","
                        "\"text\":\"ask \\\"Lit?\\\"\",\"verdict\":\"not run\",\"expected\":\"\","))
        << json;
}

TEST_F(Report, ThePageListsTheTroubleCodesSeenAndEmbedsThePicture) {
    report_.troubleCodes = {{"Engine DM1", 110, 0, 1, 0, 0.5, 7.25},
                            {"ABS DM1", 597, 1, 7, 0, 2, 2}};
    report_.plotBase64 = "iVBORw0KGgo=";
    const std::string html = htmlReport(report_);
    EXPECT_NE(std::string::npos,
              html.find("<tr><td>Engine DM1</td><td>110</td><td>0</td><td>1</td><td>0</td>"
                        "<td>0.5</td><td>7.2</td></tr>\n<tr><td>ABS DM1</td><td>597</td><td>1</td>"
                        "<td>7</td><td>0</td><td>2.0</td><td>2.0</td></tr>"))
        << html;
    EXPECT_NE(std::string::npos, html.find("<img id=\"trends\" alt=\"The run's trends\" "
                                           "src=\"data:image/png;base64,iVBORw0KGgo=\">"));
    // The picture is the only source, and it is inside the page.
    EXPECT_EQ(html.find("src="), html.rfind("src="));
    EXPECT_EQ(std::string::npos, html.find("href="));

    report_.troubleCodes.clear();
    report_.plotBase64.clear();
    const std::string plain = htmlReport(report_);
    EXPECT_NE(std::string::npos,
              plain.find("<p id=\"trouble-codes\">No trouble code was shown during the run.</p>"));
    EXPECT_NE(std::string::npos, plain.find("<p id=\"trends\">Nothing was recorded to draw.</p>"));
}

TEST_F(Report, FailedAndWarnedChecksAreTheMarksOnTheTimeAxis) {
    const std::vector<FailedCheck> checks = failedChecks(report_);
    ASSERT_EQ(2u, checks.size());
    EXPECT_EQ(3u, checks[0].step);
    EXPECT_TRUE(checks[0].warning);
    EXPECT_EQ(4u, checks[1].step);
    EXPECT_FALSE(checks[1].warning);
    EXPECT_DOUBLE_EQ(1.5, checks[1].seconds);
}

TEST(RunExitStatus, FollowsTheOutcome) {
    struct Case {
        RunOutcome outcome;
        int signal;
        int status;
    };
    for (const Case& c :
         {Case{RunOutcome::passed, 0, 0}, Case{RunOutcome::failed, 0, 1},
          Case{RunOutcome::deviceMissing, 0, 3}, Case{RunOutcome::deviceLost, 0, 3},
          Case{RunOutcome::interrupted, 15, 143}, Case{RunOutcome::interrupted, 0, 1}}) {
        EXPECT_EQ(c.status, exitStatusFor(c.outcome, c.signal)) << c.signal;
    }
}

}  // namespace
