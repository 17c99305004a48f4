#pragma once
// `Tessaly --headless`: the terminal's session with no window and no display. JSON Lines
// events on standard output, one command per line on standard input, the link timer and the
// status rate on QTimers, the serial control as in the window. SIGINT and SIGTERM end it as
// quit does.

#include <QStringList>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "terminal/link/SettingsFile.h"

namespace platform {
class CommandLine;
}

namespace terminal::headless {

// Adds --headless, --port, --status-rate and --listen to the window's command line, so --help
// lists them with the window's own options.
void addHeadlessOptions(platform::CommandLine& options);

// True when the raw arguments ask for the headless session (before any application object).
bool headlessRequested(int argc, char** argv);

// Runs the headless session to its end and returns the exit status. `options` has been
// given addHeadlessOptions(); `settingsPlace` gives the settings file once the application
// object exists (the window's rule, or --settings).
int runHeadless(int argc, char** argv, platform::CommandLine& options,
                const std::function<SettingsPlace()>& settingsPlace);

// For the window: false, after a usage error on standard error, when --port is given without
// --headless, or --status-rate without --headless or --listen.
bool checkWindowOptions(const platform::CommandLine& options);

// The arguments with a bare --listen (last, or before another option) given its empty value,
// which stands for the default place: the parser knows no optional values.
QStringList withListenDefault(QStringList arguments);

// Where --listen asks the socket to be: nothing without --listen; the default place for
// `port` (COMn or a device path) with an empty value.
std::optional<std::string> listenPath(const platform::CommandLine& options,
                                      const std::string& port);

// Status events per second for the socket's scripts: --status-rate or the default; nothing,
// after a usage error, when it is not a rate.
std::optional<double> statusRateOption(const platform::CommandLine& options);

// A --listen failure on standard error; returns the status to end with.
int listenFailed(const std::string& reason);

}  // namespace terminal::headless
