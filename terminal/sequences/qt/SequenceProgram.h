#pragma once
// `Tessaly --run FILE.yaml`: a bench sequence run on the headless session, without a window:
// progress on standard error one line a step, the verdict last, the reports in a folder.
// Exit 0 when every check passed (warnings allowed), 1 when one failed, 2 for a usage error or
// a refused file (nothing sent), 3 when the device was not identified or was lost, 128+n on a
// signal (the reports are still written).

#include <functional>

#include "terminal/link/SettingsFile.h"

namespace platform {
class CommandLine;
}

namespace terminal::sequences {

// Adds --run, --report and --answers (--port is the headless session's).
void addSequenceOptions(platform::CommandLine& options);

// True when the raw arguments ask for a sequence run (before any application object).
bool runRequested(int argc, char** argv);

int runSequence(int argc, char** argv, platform::CommandLine& options,
                const std::function<SettingsPlace()>& settingsPlace);

// For the window: false, after a usage error, when --report or --answers is given without
// --run.
bool checkWindowOptions(const platform::CommandLine& options);

}  // namespace terminal::sequences
