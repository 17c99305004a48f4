// The recording's files and texts: CSV quoting, the raw line log, a full disk, the clipboard
// texts and the CSV's time column.
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "terminal/recording/CsvWriter.h"
#include "terminal/recording/DashboardExport.h"
#include "terminal/recording/RawLineLog.h"
#include "terminal/recording/SessionRecorder.h"

namespace {

std::string fileText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::filesystem::path tempPath(const std::string& name) {
    return std::filesystem::temp_directory_path() /
           ("tessaly-recording-" + std::to_string(::getpid()) + "-" + name);
}

TEST(CsvRecording, QuotesFieldsWithCommasQuotesOrLineEnds) {
    const struct {
        const char* text;
        const char* field;
    } cases[] = {
        {"Engine RPM [RPM]", "Engine RPM [RPM]"},
        {"", ""},
        {"1,5", "\"1,5\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"111     1      1     0\r\n", "\"111     1      1     0\r\n\""},
        {"a\nb", "\"a\nb\""},
        {"a\rb", "\"a\rb\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(terminal::csvField(c.text), c.field) << c.text;
    }
    EXPECT_EQ(terminal::csvRow({"a", "b,c", "3.5"}), "a,\"b,c\",3.5\r\n");
}

TEST(CsvRecording, AFullDiskStopsTheRecordingWithOneMessage) {
    std::vector<std::string> reports;
    terminal::SessionRecorder recorder([&](const std::string& text) { reports.push_back(text); });
    EXPECT_FALSE(recorder.startCsv("/dev/full"));
    terminal::VehicleSnapshot shown;
    terminal::DashboardState panel;
    recorder.statusShown(shown, panel);
    recorder.linkChanged(shown, panel);
    EXPECT_FALSE(recorder.recordingCsv());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0],
              "Cannot record to CSV: /dev/full could not be written: No space left on device.");

    EXPECT_FALSE(recorder.startCsv("/nonexistent-folder/run.csv"));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1],
              "Cannot record to CSV: /nonexistent-folder/run.csv cannot be created: No such file "
              "or directory.");
}

TEST(CsvRecording, EveryStatusAndEveryChangeOfTheLinkIsARow) {
    const std::filesystem::path path = tempPath("rows.csv");
    terminal::SessionRecorder recorder([](const std::string&) {});
    ASSERT_TRUE(recorder.startCsv(path));
    terminal::VehicleSnapshot shown;
    terminal::DashboardState panel;
    shown.link = terminal::LinkState::identified;
    shown.readings = true;
    shown.level = 7;
    recorder.statusShown(shown, panel);
    shown.link = terminal::LinkState::lost;
    shown.readings = false;
    recorder.linkChanged(shown, panel);
    recorder.stopCsv();
    std::vector<std::string> links;
    std::istringstream text(fileText(path));
    for (std::string line; std::getline(text, line);) {
        const std::size_t first = line.find(',');
        links.push_back(line.substr(first + 1, line.find(',', first + 1) - first - 1));
    }
    EXPECT_EQ(links, (std::vector<std::string>{"link", "identified", "lost"}));
    std::filesystem::remove(path);
}

TEST(CsvRecording, AWriteThatFailsMidRecordingIsReported) {
    const std::filesystem::path path = tempPath("cut.csv");
    std::vector<std::string> reports;
    terminal::SessionRecorder recorder([&](const std::string& text) { reports.push_back(text); });
    ASSERT_TRUE(recorder.startCsv(path));
    // The file may grow no further than its header: the next row's write fails.
    rlimit former{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &former), 0);
    const rlimit header{static_cast<rlim_t>(std::filesystem::file_size(path)), former.rlim_max};
    const auto formerSignal = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &header), 0);
    terminal::VehicleSnapshot shown;
    shown.link = terminal::LinkState::identified;
    shown.readings = true;
    recorder.statusShown(shown, terminal::DashboardState{});
    ::setrlimit(RLIMIT_FSIZE, &former);
    std::signal(SIGXFSZ, formerSignal);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "The recording has stopped: " + path.string() +
                              " could not be written: File too large.");
    recorder.stopCsv();
    std::filesystem::remove(path);
}

TEST(CsvRecording, ARowWithoutReadingsHoldsOnlyTimeAndLink) {
    using terminal::LinkState;
    terminal::VehicleSnapshot shown;
    shown.level = 42;
    // Warnings on, firmware 0.2: the record the dispatch makes of such a line.
    shown.record = terminal::statusRecord(42, {false, false, true, false}, 2);
    const struct {
        LinkState link;
        bool readings;
        const char* filled;  // time, link and level, then the first value, lamp 1032 and DM1
    } cases[] = {
        {LinkState::disconnected, false, "t|disconnected||||"},
        {LinkState::connecting, false, "t|connecting||||"},
        {LinkState::identified, false, "t|identified||||"},
        {LinkState::refused, false, "t|refused||||"},
        {LinkState::silent, false, "t|silent||||"},
        {LinkState::lost, false, "t|lost||||"},
        {LinkState::identified, true, "t|identified|42|3373.375|1|110:0:1:0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filled);
        shown.link = c.link;
        shown.readings = c.readings;
        const std::vector<std::string> row = terminal::dashboardCsvRow("t", shown);
        ASSERT_EQ(row.size(), 61u);
        EXPECT_EQ(
            row[0] + "|" + row[1] + "|" + row[2] + "|" + row[3] + "|" + row[51] + "|" + row[57],
            c.filled);
        std::string rest;
        for (std::size_t i = 2; i < row.size(); ++i) {
            rest += row[i];
        }
        EXPECT_EQ(rest.empty(), !c.readings) << rest;
    }
    EXPECT_EQ(terminal::dashboardCsvRow("t", shown)[58], "");
    EXPECT_EQ(terminal::dashboardCsvRow("t", shown)[60], "110:0:1:0");
    // At level 100 the engine boxes give their whole multi-packet lists.
    shown.record = terminal::statusRecord(100, {false, false, true, false}, 2);
    const std::vector<std::string> full = terminal::dashboardCsvRow("t", shown);
    EXPECT_EQ(full[57].substr(0, 20), "110:0:1:0 100:1:5:0 ");
    EXPECT_EQ(full[60].substr(0, 22), "1172:0:1:0 1081:1:2:0 ");
}

TEST(Clipboard, CopyValuesWithoutReadingsIsOneNoteNamingTheLink) {
    terminal::VehicleSnapshot shown;
    shown.setDisplay(1013, 0);
    shown.link = terminal::LinkState::lost;
    EXPECT_EQ(terminal::allValuesText(shown), "No values: the link is lost\n");
    shown.link = terminal::LinkState::identified;
    EXPECT_EQ(terminal::allValuesText(shown),
              "No values: the link is identified, but no status line has come since\n");
}

TEST(RawLineLog, CutsReceivedBytesAtLineEndsAndEscapesTheRest) {
    const auto path = tempPath("lines.log");
    terminal::RawLineLog log;
    ASSERT_TRUE(log.open(path));
    EXPECT_TRUE(log.sent(0.5, "AT ID?\r\n"));
    // One line in two reads, then two lines and the head of a third in one.
    EXPECT_TRUE(log.received(1.25, "BRC %S0"));
    EXPECT_TRUE(log.received(1.5, "8B07B\r\nACK KI\r\n\x01\\x\r"));
    EXPECT_TRUE(log.received(2.0, "\n"));
    // DEL, a high byte and a lone CR inside a line.
    EXPECT_TRUE(log.received(2.25, std::string("A\x7F\xE9\rZ\r\n")));
    // 600 bytes without a line end: cut into 256, 256 and, at its LF, the last 88.
    EXPECT_TRUE(log.received(3.0, std::string(600, 'x')));
    EXPECT_TRUE(log.received(3.5, "\n"));
    log.close();
    EXPECT_EQ(fileText(path),
              "0.500 tx AT ID?\n"
              "1.500 rx BRC %S08B07B\n"
              "1.500 rx ACK KI\n"
              "2.000 rx \\x01\\\\x\n"
              "2.250 rx A\\x7F\\xE9\\x0DZ\n"
              "3.000 rx " +
                  std::string(256, 'x') +
                  "\n"
                  "3.000 rx " +
                  std::string(256, 'x') +
                  "\n"
                  "3.500 rx " +
                  std::string(88, 'x') + "\n");
    std::filesystem::remove(path);
}

TEST(Clipboard, TroubleCodesInTabSeparatedColumnsAndValuesWithUnits) {
    EXPECT_EQ(terminal::troubleCodeText({{111, 1, 1, 0}}), "SPN\tFMI\tOC\tCM\n111\t1\t1\t0\n");
    EXPECT_EQ(terminal::troubleCodeText({{1172, 0, 1, 0}, {110, 15, 9, 0}}),
              "SPN\tFMI\tOC\tCM\n1172\t0\t1\t0\n110\t15\t9\t0\n");
    EXPECT_EQ(terminal::troubleCodeText({}), "SPN\tFMI\tOC\tCM\n");

    terminal::VehicleSnapshot shown;
    shown.link = terminal::LinkState::identified;
    shown.readings = true;
    shown.record = terminal::statusRecord(50, {false, false, true, false}, 2);
    const std::string text = terminal::allValuesText(shown);
    EXPECT_EQ(text.rfind("Engine RPM\t4015.875\tRPM\n", 0), 0u) << text;
    EXPECT_NE(text.find("\nEngine Coolant Temp (F)\t185\tF\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nEGR Mass Flow Rate\t"), std::string::npos) << text;
    const std::string lamps = "\nCruise\tlit\nEngine Amber\tlit\nEngine Red Stop\tlit\n";
    ASSERT_GT(text.size(), lamps.size());
    EXPECT_EQ(text.substr(text.size() - lamps.size()), lamps);
}

TEST(CsvRecording, TimeIsLocalIso8601WithMilliseconds) {
    const char* formerZone = std::getenv("TZ");
    const std::string former = formerZone ? formerZone : "";
    setenv("TZ", "UTC", 1);
    tzset();
    const auto when =
        std::chrono::system_clock::time_point(std::chrono::milliseconds(1700000000123));
    EXPECT_EQ(terminal::localTimeText(when), "2023-11-14T22:13:20.123+00:00");
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    EXPECT_EQ(terminal::localTimeText(when), "2023-11-14T23:13:20.123+01:00");
    if (formerZone) {
        setenv("TZ", former.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

}  // namespace
