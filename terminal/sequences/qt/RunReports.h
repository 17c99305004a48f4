#pragma once
// The reports of a finished run written into its folder, the same from `--run` and from the
// Sequence window: junit.xml, report.txt, report.json and report.html, the page with the
// trends of the folder's recording.csv drawn in.

#include <cstdint>
#include <filesystem>

#include "terminal/sequences/SequenceReport.h"

namespace terminal::sequences {

// Where a run's reports go unless told: a folder beside the file, named after it and the time
// now ("overheat-20261209-060102").
std::filesystem::path defaultReportFolder(const std::filesystem::path& file);

// True when every file was written. `startMs`: the run's start, milliseconds since 1970 UTC.
bool writeRunReports(const std::filesystem::path& folder, RunReport report, std::int64_t startMs);

}  // namespace terminal::sequences
