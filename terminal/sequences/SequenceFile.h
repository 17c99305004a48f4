#pragma once
// Reads a bench sequence from its YAML text, whole, before anything is sent: a file that is
// not a valid sequence gives one message naming the file, the line and what is wrong
// ("overheat.yaml line 7: unknown step 'levle'"), and no steps.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "terminal/sequences/SequenceSteps.h"

namespace terminal::sequences {

struct SequenceReading {
    std::optional<Sequence> sequence;
    std::string error;  // set when sequence is empty
};

// A profile's CSV text by its path as written in the file (relative to the file's folder);
// nothing when it cannot be read.
using ProfileSource = std::function<std::optional<std::string>(const std::string& path)>;

// `label` names the file in messages (its file name).
SequenceReading readSequence(std::string_view text, const std::string& label,
                             const ProfileSource& profiles);

// The file at `path`, its profiles read relative to its folder.
SequenceReading readSequenceFile(const std::filesystem::path& path);

// A drive cycle's CSV: a header with time_s and level, and optionally dynamic, quiet,
// warnings, reset_dm2 (1/0, on/off); times from 0 rising. Messages name `label` and the row.
struct ProfileReading {
    std::vector<ProfilePoint> points;
    std::string error;
};
ProfileReading readProfile(std::string_view text, const std::string& label);

}  // namespace terminal::sequences
