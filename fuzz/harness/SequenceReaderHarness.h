#pragma once
// The sequence reader over arbitrary text (and the drive-cycle reader over the same bytes).
// Returns what broke, or an empty text when every invariant held: a file gives a sequence or
// a message naming it, never both or neither; every step read points at a line of the text
// and holds a level from 0 to 100; a drive cycle read has rows, rising times and levels from 0
// to 100, or a message and no rows.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "terminal/sequences/SequenceFile.h"
#include "terminal/trends/TrendItems.h"

namespace fuzzing {

inline std::string runSequenceReader(const std::uint8_t* data, std::size_t size) {
    using namespace terminal::sequences;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const SequenceReading reading =
        readSequence(text, "fuzz.yaml", [](const std::string& path) -> std::optional<std::string> {
            if (path == "cycle.csv") {
                return std::string("time_s,level,warnings\n0,10,off\n1.5,20,on\n");
            }
            return std::nullopt;
        });
    if (reading.sequence.has_value() == !reading.error.empty()) {
        return "a sequence and a message, or neither: '" + reading.error + "'";
    }
    if (!reading.sequence) {
        if (!reading.error.starts_with("fuzz.yaml")) {
            return "a message that names no file: " + reading.error;
        }
    } else {
        const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
        for (const SequenceStep& step : reading.sequence->steps) {
            if (step.line < 1 || step.line > lines) {
                return "a step at line " + std::to_string(step.line) + " of " +
                       std::to_string(lines);
            }
            if (step.level < 0 || step.level > 100 || step.expect.level < 0 ||
                step.expect.level > 100) {
                return "a level out of range at line " + std::to_string(step.line);
            }
            if ((step.expect.kind == ExpectKind::value || step.expect.kind == ExpectKind::lamp) &&
                step.expect.item >= terminal::trendItems().size()) {
                return "a value that is no trend item at line " + std::to_string(step.line);
            }
            if (stepText(step).empty()) {
                return "a step without words at line " + std::to_string(step.line);
            }
        }
    }
    const ProfileReading profile = readProfile(text, "cycle.csv");
    if (profile.points.empty() == profile.error.empty()) {
        return "a drive cycle with rows and a message, or neither";
    }
    double last = 0;
    for (const ProfilePoint& point : profile.points) {
        if (point.seconds < last || point.level < 0 || point.level > 100) {
            return "a drive-cycle row out of order or range";
        }
        last = point.seconds;
    }
    return {};
}

}  // namespace fuzzing
