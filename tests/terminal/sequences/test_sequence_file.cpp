// Sequence files as a bench engineer writes them: every step read with its line, and every
// file that is not a sequence refused with the file, the line and what is wrong.
#include <gtest/gtest.h>

#include "terminal/sequences/SequenceFile.h"

namespace {

using namespace terminal::sequences;

std::optional<std::string> profiles(const std::string& path) {
    if (path == "cycles/urban.csv") {
        return std::string("time_s,level,warnings\n0,10,off\n1.5,20,on\n\n4,0,off\n");
    }
    return std::nullopt;
}

SequenceReading read(const std::string& text) {
    return readSequence(text, "overheat.yaml", profiles);
}

TEST(SequenceFile, ReadsEveryStepWithItsLineAndWords) {
    const SequenceReading reading = read(R"(name: Engine overheat warning
port: COM6
steps:
  - mode: {warnings: on, dynamic: off}
  - level: 50
  - expect: {level: 50, within: 5}
  - expect: {trouble_code: "Engine DM1 110:0", within: 3, present: false}
  - expect: {value: "Engine RPM", equals: 4015.875, tolerance: 0.5, grade: warning}
  - expect: {value: "Engine RPM [RPM]", min: 600}
  - expect: {lamp: "Engine Amber", lit: off, grade: fatal}
  - wait: 2
  - ramp: {level: 80, over: 10}
  - profile: cycles/urban.csv
  - name: Menu
    key: menu
  - ask: "Does the cluster show the amber engine lamp?"
  - run: {command: "./check_cluster.sh 110", timeout: 30}
  - hold: 0.5
)");
    ASSERT_TRUE(reading.sequence) << reading.error;
    const Sequence& sequence = *reading.sequence;
    EXPECT_EQ("Engine overheat warning", sequence.name);
    EXPECT_EQ("COM6", sequence.port);
    const std::vector<std::pair<int, std::string>> expected{
        {4, "mode warnings on, dynamic off"},
        {5, "level 50"},
        {6, "expect level 50 within 5 s"},
        {7, "expect trouble code Engine DM1 110:0 absent within 3 s"},
        {8, "expect Engine RPM = 4015.875 +/- 0.5"},
        {9, "expect Engine RPM [RPM] >= 600"},
        {10, "expect lamp Engine Amber dark"},
        {11, "wait 2 s"},
        {12, "ramp to level 80 over 10 s"},
        {13, "profile cycles/urban.csv"},
        {14, "key menu"},
        {16, "ask \"Does the cluster show the amber engine lamp?\""},
        {17, "run ./check_cluster.sh 110"},
        {18, "wait 0.5 s"},
    };
    ASSERT_EQ(expected.size(), sequence.steps.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i].first, sequence.steps[i].line) << i;
        EXPECT_EQ(expected[i].second, stepText(sequence.steps[i])) << i;
    }
    EXPECT_EQ("Menu", sequence.steps[10].name);
    EXPECT_EQ(Grade::warning, sequence.steps[4].expect.grade);
    EXPECT_EQ(Grade::error, sequence.steps[5].expect.grade);
    EXPECT_EQ(Grade::fatal, sequence.steps[6].expect.grade);
    EXPECT_EQ(110U, sequence.steps[3].expect.spn);
    EXPECT_EQ(30, sequence.steps[12].timeoutSeconds);
    const std::vector<ProfilePoint>& cycle = sequence.steps[9].profile;
    ASSERT_EQ(3U, cycle.size());
    EXPECT_EQ(1.5, cycle[1].seconds);
    EXPECT_EQ(20, cycle[1].level);
    EXPECT_EQ((std::vector<ModeSetting>{{"warnings", true}}), cycle[1].modes);
    EXPECT_EQ(4, cycle[2].seconds);
}

TEST(SequenceFile, TakesItsNameFromTheFileWithoutOne) {
    const SequenceReading reading = read("steps: [{level: 0}, {mode: {reset_dm2: on}}]\n");
    ASSERT_TRUE(reading.sequence) << reading.error;
    EXPECT_EQ("overheat", reading.sequence->name);
    EXPECT_EQ((std::vector<ModeSetting>{{"reset-dm2", true}}), reading.sequence->steps[1].modes);
}

TEST(SequenceFile, RefusesWhatIsNoSequenceNamingTheLine) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", "overheat.yaml line 1: not a sequence: a mapping with 'steps' is wanted"},
        {"name: x\n", "overheat.yaml line 1: no 'steps'"},
        {"steps: 5\n", "overheat.yaml line 1: 'steps' must be a list of steps"},
        {"name: x\nsteps:\n  - level: 50\n  - key: menu\n  - wait: 1\n  - level: 20\n"
         "  - levle: 50\n",
         "overheat.yaml line 7: unknown step 'levle'"},
        {"steps:\n  - level: 150\n",
         "overheat.yaml line 2: 'level' must be a whole number from 0 to 100, not '150'"},
        {"steps:\n  - level: 5.5\n",
         "overheat.yaml line 2: 'level' must be a whole number from 0 to 100, not '5.5'"},
        {"steps:\n  - level: [1]\n",
         "overheat.yaml line 2: 'level' must be a whole number from 0 to 100"},
        {"steps:\n  - level: 5\n    key: up\n",
         "overheat.yaml line 3: a step does one thing, not 'level' and 'key'"},
        {"steps:\n  - name: only\n",
         "overheat.yaml line 2: a step needs an action besides its name"},
        {"steps:\n  - 5\n", "overheat.yaml line 2: a step must be a mapping, such as 'level: 50'"},
        {"colour: red\nsteps: [{level: 1}]\n", "overheat.yaml line 1: unknown key 'colour'"},
        {"steps:\n  - key: left\n",
         "overheat.yaml line 2: 'key' must be menu, up or down, not 'left'"},
        {"steps:\n  - mode: {warnings: maybe}\n",
         "overheat.yaml line 2: 'warnings' must be on or off, not 'maybe'"},
        {"steps:\n  - mode: {warning: on}\n", "overheat.yaml line 2: unknown key 'warning'"},
        {"steps:\n  - wait: -1\n",
         "overheat.yaml line 2: 'wait' must be a number of seconds from 0 to 86400, not '-1'"},
        {"steps:\n  - ramp: {level: 80}\n",
         "overheat.yaml line 2: 'ramp' needs both 'level' and 'over'"},
        {"steps:\n  - expect: {value: \"Engine Rpm\", equals: 1}\n",
         "overheat.yaml line 2: unknown value 'Engine Rpm'"},
        {"steps:\n  - expect: {lamp: \"Engine RPM\"}\n",
         "overheat.yaml line 2: unknown lamp 'Engine RPM'"},
        {"steps:\n  - expect: {value: \"Engine RPM\"}\n",
         "overheat.yaml line 2: a value expect needs 'equals', 'min' or 'max'"},
        {"steps:\n  - expect: {level: 5, tolerance: 1}\n",
         "overheat.yaml line 2: 'tolerance' belongs to a 'value' expect"},
        {"steps:\n  - expect: {level: 5, warnings: on}\n",
         "overheat.yaml line 2: an expect checks one thing, not 'level' and 'warnings'"},
        {"steps:\n  - expect: {within: 5}\n",
         "overheat.yaml line 2: an expect needs what it checks: level, a mode, value, lamp, "
         "trouble_code or link"},
        {"steps:\n  - expect: {level: 5, grade: severe}\n",
         "overheat.yaml line 2: 'grade' must be warning, error or fatal, not 'severe'"},
        {"steps:\n  - expect: {trouble_code: \"Brake DM1 110:0\"}\n",
         "overheat.yaml line 2: unknown trouble-code list in 'Brake DM1 110:0' (Engine DM1, "
         "ABS DM1, Transmission DM1 or Engine DM2)"},
        {"steps:\n  - expect: {trouble_code: \"ABS DM1 110\"}\n",
         "overheat.yaml line 2: 'trouble_code' must be the list's name and SPN:FMI, not 'ABS DM1 "
         "110'"},
        {"steps:\n  - expect: {link: lost}\n",
         "overheat.yaml line 2: 'link' can only be identified, not 'lost'"},
        {"steps:\n  - profile: cycles/missing.csv\n",
         "overheat.yaml line 2: profile 'cycles/missing.csv' cannot be read"},
        {"steps:\n  - run: {timeout: 3}\n", "overheat.yaml line 2: 'run' needs 'command'"},
        {"port: COM41\nsteps: [{level: 1}]\n",
         "overheat.yaml line 1: 'port' must be COM1 to COM40 or an absolute device path, not "
         "'COM41'"},
        {"steps:\n  - level: 1\n  - level: 2\n    level: 3\n",
         "overheat.yaml line 4: 'level' is given twice"},
        {"steps: [\n  {level: 1}\n", "overheat.yaml line 3: end of sequence flow not found"},
    };
    for (const auto& [text, message] : cases) {
        const SequenceReading reading = read(text);
        EXPECT_FALSE(reading.sequence) << text;
        EXPECT_EQ(message, reading.error) << text;
    }
}

TEST(SequenceFile, RefusesDriveCyclesThatCannotBePlayed) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"time_s,level\n", "urban.csv: no rows of time_s and level"},
        {"time,level\n0,1\n", "urban.csv row 1: unknown column 'time'"},
        {"time_s,quiet\n0,on\n", "urban.csv row 1: the header needs time_s and level"},
        {"time_s,level\n0,10\n2,101\n",
         "urban.csv row 3: level must be a whole number from 0 to 100, not '101'"},
        {"time_s,level\n2,10\n1,20\n",
         "urban.csv row 3: time_s must be seconds from the row before's on, not '1'"},
        {"time_s,level\n-1,10\n", "urban.csv row 2: time_s must be seconds from 0 on, not '-1'"},
        {"time_s,level\n0,10,5\n", "urban.csv row 2: 3 fields where the header has 2"},
        {"time_s,level,dynamic\n0,10,x\n", "urban.csv row 2: dynamic must be on or off, not 'x'"},
    };
    for (const auto& [text, message] : cases) {
        const ProfileReading reading = readProfile(text, "urban.csv");
        EXPECT_TRUE(reading.points.empty()) << text;
        EXPECT_EQ(message, reading.error) << text;
    }
}

}  // namespace
