#pragma once
// The run's trends for its report: the recording drawn by the same chart as `--plot` (its
// default values, its title), the time axis in seconds from the run's start, and each failed
// check marked where it ended (red; a warning amber) with its step number.

#include <QByteArray>
#include <QSize>
#include <cstdint>
#include <filesystem>

#include "terminal/sequences/SequenceReport.h"

namespace terminal::sequences {

// PNG bytes; empty when the recording cannot be read or has no rows. `startMs`: the run's
// start, milliseconds since 1970 UTC. Needs a QApplication (the chart is a widget).
QByteArray runPlotPng(const std::filesystem::path& recording, const RunReport& report,
                      std::int64_t startMs, QSize size = QSize(1400, 800));

}  // namespace terminal::sequences
