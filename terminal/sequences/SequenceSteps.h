#pragma once
// A bench sequence as read from its file: the steps in order, each with the line it was
// written on, so a verdict and a refusal can point at the file.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace terminal::sequences {

enum class StepKind { level, mode, key, wait, ramp, profile, expect, ask, run };

// How much a failed expect weighs: a warning lets the run pass, fatal ends it.
enum class Grade { warning, error, fatal };

// One mode check box to set: the headless command's word ("dynamic", "quiet", "warnings",
// "reset-dm2") and the state wanted.
struct ModeSetting {
    std::string word;
    bool on = false;

    friend bool operator==(const ModeSetting&, const ModeSetting&) = default;
};

// One row of a drive cycle: at `seconds` after the profile starts, this level (and these
// boxes, when the CSV has mode columns).
struct ProfilePoint {
    double seconds = 0;
    int level = 0;
    std::vector<ModeSetting> modes;
};

enum class ExpectKind { level, mode, value, lamp, troubleCode, link };

struct Expectation {
    ExpectKind kind = ExpectKind::level;
    int level = 0;         // level
    ModeSetting mode;      // mode
    std::string caption;   // value, lamp: the caption as written
    std::size_t item = 0;  // value, lamp: the trend item it names
    std::optional<double> equals;
    std::optional<double> min;
    std::optional<double> max;
    double tolerance = 0;
    bool lit = true;      // lamp
    std::size_t box = 0;  // troubleCode: index into troubleCodeBoxes
    std::uint32_t spn = 0;
    int fmi = 0;
    bool present = true;       // troubleCode
    double withinSeconds = 0;  // 0: now
    Grade grade = Grade::error;
};

struct SequenceStep {
    StepKind kind = StepKind::wait;
    int line = 0;
    std::string name;
    int level = 0;                   // level, ramp: the target
    std::vector<ModeSetting> modes;  // mode
    std::string key;                 // key: menu, up, down
    double seconds = 0;              // wait, ramp's over
    std::string profileFile;         // profile: as written
    std::vector<ProfilePoint> profile;
    Expectation expect;
    std::string question;       // ask
    std::string command;        // run
    double timeoutSeconds = 0;  // run
};

struct Sequence {
    std::string name;
    std::string port;  // empty: the --port option's or the remembered one
    std::vector<SequenceStep> steps;
};

// What a step does, in the file's words: "level 50", "expect Engine RPM = 4015.875 ± 0.5".
std::string stepText(const SequenceStep& step);

}  // namespace terminal::sequences

namespace terminal::sequences {
// A number as the reports write it: shortest exact form ("4015.875", "50").
std::string describedNumber(double value);
// What an expect wants, without its time window: "level 50", "lamp Engine Amber lit".
std::string expectedText(const Expectation& expect);
}  // namespace terminal::sequences
