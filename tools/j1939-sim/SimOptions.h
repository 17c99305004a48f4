#pragma once
// Command-line options of j1939-sim.

#include <optional>
#include <string>

#include "LineShaper.h"
#include "Simulator.h"

namespace sim {

struct SimOptions {
    DeviceConfig device;
    LineFaults faults;
    std::optional<int> comNumber;  // --com N: link as comN in the port-map folder
    std::string devicePath;        // --device PATH: a real serial port instead of a pty
    std::string logPath;
    double statusRate = 5.0;  // status rounds per second
    bool saturate = false;
    std::optional<double> silentAfter;  // seconds
    bool verbose = false;               // also log every status line sent
    std::string replayPath;             // --replay FILE: a Tessaly --record-lines log
    double replaySpeed = 1.0;
};

// Parses argv. Returns nullopt after printing help/version (exit 0) or an error (exit 2);
// `exitCode` says which.
std::optional<SimOptions> parseOptions(int argc, char** argv, int& exitCode);

}  // namespace sim
