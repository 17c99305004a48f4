#pragma once
// `Tessaly --headless`: the terminal's session with no window and no display. JSON Lines
// events on standard output, one command per line on standard input, the link timer and the
// status rate on QTimers, the serial control as in the window. SIGINT and SIGTERM end it as
// quit does.

#include <filesystem>
#include <functional>

#include "terminal/core/SettingsFile.h"

namespace platform {
class CommandLine;
}

namespace terminal::headless {

// Adds --headless, --port and --status-rate to the window's command line, so --help lists
// them with the window's own options.
void addHeadlessOptions(platform::CommandLine& options);

// True when the raw arguments ask for the headless session (before any application object).
bool headlessRequested(int argc, char** argv);

// Runs the headless session to its end and returns the exit status. `options` has been
// given addHeadlessOptions(); `settingsPlace` gives the settings file once the application
// object exists (the window's rule, or --settings).
int runHeadless(int argc, char** argv, platform::CommandLine& options,
                const std::function<SettingsPlace()>& settingsPlace);

// For the window: false, after a usage error on standard error, when --port or
// --status-rate is given without --headless.
bool checkWindowOptions(const platform::CommandLine& options);

}  // namespace terminal::headless
