// boot-target: a stand-in for the PIC's boot loader, so bootloader can be tried and tested
// without hardware. Run it, then point bootloader at the COM port it names.

#include <signal.h>

#include <cstdio>
#include <string>

#include "BootTarget.h"
#include "Endpoint.h"
#include "Options.h"

namespace {

volatile int stopRequested = 0;

void onSignal(int) {
    stopRequested = 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    auto options = boot_target::parseOptions(argc, argv);
    if (!options) {
        return 2;
    }

    struct sigaction action {};
    action.sa_handler = onSignal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);

    boot_target::Endpoint endpoint;
    std::string error;
    if (!options->devicePath.empty()) {
        if (!endpoint.openDevice(options->devicePath, options->deviceSpeed, error)) {
            std::fprintf(stderr, "boot-target: %s\n", error.c_str());
            return 1;
        }
        std::printf("boot-target: serving on %s at %d bit/s\n", endpoint.name().c_str(),
                    options->deviceSpeed);
    } else {
        if (!endpoint.openPseudoTerminal(error)) {
            std::fprintf(stderr, "boot-target: %s\n", error.c_str());
            return 1;
        }
        std::printf("boot-target: pseudo-terminal %s\n", endpoint.name().c_str());
        std::string link = options->linkPath;
        if (link.empty() && options->comNumber) {
            link = boot_target::portMapFolder() + "/com" + std::to_string(*options->comNumber);
        }
        if (!link.empty()) {
            if (!endpoint.createLink(link, error)) {
                std::fprintf(stderr, "boot-target: %s\n", error.c_str());
                return 1;
            }
            std::printf("boot-target: linked %s -> %s\n", link.c_str(), endpoint.name().c_str());
        }
    }
    if (options->pace > 0) {
        std::printf("boot-target: pacing as a %d bit/s line\n", options->pace);
    }
    std::printf("boot-target: ready\n");

    boot_target::BootTarget target(endpoint, *options);
    int status = target.run(stopRequested);
    endpoint.close();
    return status;
}
