// j1939-sim: a stand-in for the J1939 simulator device on a pseudo-terminal or serial port.
#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>

#include "DeviceLoop.h"
#include "EventLog.h"
#include "PortLink.h"
#include "SerialEndpoint.h"
#include "SimOptions.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;
volatile std::sig_atomic_t silenceToggles = 0;

void onStopSignal(int) {
    stopRequested = 1;
}

void onSilenceSignal(int) {
    silenceToggles = silenceToggles + 1;
}

void installSignals() {
    // No SA_RESTART: a signal must wake the loop out of poll().
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    action.sa_handler = onStopSignal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    action.sa_handler = onSilenceSignal;
    sigaction(SIGUSR1, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace

int main(int argc, char** argv) {
    int exitCode = 0;
    std::optional<sim::SimOptions> options = sim::parseOptions(argc, argv, exitCode);
    if (!options) {
        return exitCode;
    }
    installSignals();
    sim::EventLog log;
    try {
        if (!options->logPath.empty()) {
            log.openFile(options->logPath);
        }
        sim::SerialEndpoint line = options->devicePath.empty()
                                       ? sim::SerialEndpoint::openPseudoTerminal()
                                       : sim::SerialEndpoint::openDevice(options->devicePath);
        log.write("j1939-sim " J1939_SIM_VERSION " on " + line.devicePath() + ": " +
                  sim::Simulator(options->device).describe());
        std::unique_ptr<sim::PortLink> link;
        if (options->comNumber) {
            link = std::make_unique<sim::PortLink>(*options->comNumber, line.devicePath());
            std::string note = link->replaced().empty()
                                   ? std::string()
                                   : " (replaced a link to " + link->replaced() + ")";
            log.write("COM" + std::to_string(*options->comNumber) + " -> " + line.devicePath() +
                      " via " + link->linkPath() + note);
        }
        if (!options->replayPath.empty()) {
            // The replay's own line says what it plays.
        } else if (options->saturate) {
            log.write("status lines back to back at 115200 baud; Ctrl+C ends");
        } else {
            char period[64];
            std::snprintf(period, sizeof period, "status round every %.0f ms; Ctrl+C ends",
                          1000.0 / options->statusRate);
            log.write(period);
        }
        sim::DeviceLoop loop(*options, line, log);
        loop.run(stopRequested, silenceToggles);
        log.write("stopped");
    } catch (const std::exception& error) {
        log.write(std::string("error: ") + error.what());
        std::cerr << "j1939-sim: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
