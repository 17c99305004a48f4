#include "SimOptions.h"

#include <getopt.h>
#include <cctype>
#include <cstdlib>
#include <iostream>
#include <stdexcept>

#include "platform/text/LicenceNotice.h"

namespace sim {

namespace {

constexpr const char* usage = R"(Usage: j1939-sim [OPTION]...
Plays the J1939 simulator's side of the terminal line protocol, for trying Tessaly without
the device. By default it creates a pseudo-terminal and prints its device path.

Line:
  --com N             link the pseudo-terminal as comN in the port-map folder
                      ($COMPORTS_DIR, else $XDG_CONFIG_HOME/comports, else ~/.config/comports)
                      so that Tessaly reaches it as COMN; the link is removed on exit
  --device PATH       use a real serial device (115200 8N1 raw) instead of a pseudo-terminal
  --log FILE          also write the log to FILE
  --verbose           log every status line sent, not only the answers

Device:
  --serial N          serial number (default 123456)
  --firmware V        firmware version number 1..256 (default 2, shown as 0.2)
  --revision L        firmware revision letter (default D)
  --old-firmware      firmware 0.1C, which the terminal refuses
  --can-rate R        CAN rate: 250K, 500K, 62.5K, 125K, 1M or a code 0..9 (default 250K;
                      codes above 4 are reported as they are, and shown as "invalid")
  --level N           starting level 0..255 (default 0)
  --no-dynamic        start with Dynamic off (the level stays where it is put)
  --quiet             start with Quiet on
  --no-warnings       start with Warnings off
  --reset-dm2         start with Reset Eng DM2 on
  --claim HEX         address-claim status byte (default 15: all three claimed)
  --step N            level change of one Up or Down key (default 5)
  --sweep N           level change per status round in Dynamic mode (default 1)

Timing:
  --rate HZ           status rounds (BRC ACS, BRC %S, BRC CLK) per second (default 5)
  --saturate          status lines back to back at the line rate (115200 baud), for benchmarks

Replay:
  --replay FILE       play the lines received in a Tessaly --record-lines log at their
                      recorded pace, starting when the terminal sends its first line; no
                      status rounds and no answers of its own; silent once the log is done
  --replay-speed N    play the log N times faster (default 1)

Faults:
  --silent-after S    stop sending anything after S seconds (SIGUSR1 toggles silence any time)
  --noise             garbage bytes between lines (never letters, spaces, CR or LF)
  --lower-case        send every line in lower case
  --bad-checksums     send every checksummed line with a wrong checksum

Keys: Up 0x02 / Down 0x01 step the level; 0x52 toggles Dynamic, 0x43 Quiet, 0x51 Reset Eng DM2;
0x10 (Menu, and the terminal's Warnings box) toggles Warnings. Every key is acknowledged.
Each received line is logged with the time, what it meant and whether its checksum is right.
  -h, --help          show this help
  --version           show the version and the licence
)";

enum Option {
    optCom = 256,
    optDevice,
    optLog,
    optVerbose,
    optSerial,
    optFirmware,
    optRevision,
    optOldFirmware,
    optCanRate,
    optLevel,
    optNoDynamic,
    optQuiet,
    optNoWarnings,
    optResetDm2,
    optClaim,
    optStep,
    optSweep,
    optRate,
    optSaturate,
    optSilentAfter,
    optNoise,
    optLowerCase,
    optBadChecksums,
    optVersion,
    optReplay,
    optReplaySpeed,
};

long integerIn(const char* text, long low, long high, const char* what, int base = 10) {
    char* end = nullptr;
    long value = std::strtol(text, &end, base);
    if (end == text || *end != '\0' || value < low || value > high) {
        throw std::invalid_argument(std::string(what) + " must be a number from " +
                                    std::to_string(low) + " to " + std::to_string(high));
    }
    return value;
}

double positiveNumber(const char* text, const char* what) {
    char* end = nullptr;
    double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(value > 0) || value > 1e6) {
        throw std::invalid_argument(std::string(what) + " must be a positive number");
    }
    return value;
}

int canRateCode(const std::string& text) {
    std::string upper;
    for (char c : text) {
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (upper == "250K" || upper == "250K BPS") {
        return 0;
    }
    if (upper == "62.5K" || upper == "62.5K BPS") {
        return 1;
    }
    if (upper == "125K" || upper == "125K BPS") {
        return 2;
    }
    if (upper == "500K" || upper == "500K BPS") {
        return 3;
    }
    if (upper == "1M" || upper == "1M BPS") {
        return 4;
    }
    return static_cast<int>(integerIn(text.c_str(), 0, 9, "--can-rate"));
}

void apply(int option, const char* value, SimOptions& options) {
    DeviceConfig& device = options.device;
    switch (option) {
        case optCom:
            options.comNumber = static_cast<int>(integerIn(value, 1, 255, "--com"));
            break;
        case optDevice:
            options.devicePath = value;
            break;
        case optLog:
            options.logPath = value;
            break;
        case optVerbose:
            options.verbose = true;
            break;
        case optSerial:
            device.serialNumber =
                static_cast<std::uint32_t>(integerIn(value, 0, 4294967295L, "--serial"));
            break;
        case optFirmware:
            device.firmwareVersion = static_cast<int>(integerIn(value, 1, 256, "--firmware"));
            break;
        case optRevision:
            if (std::string(value).size() != 1) {
                throw std::invalid_argument("--revision must be one letter");
            }
            device.revision = value[0];
            break;
        case optOldFirmware:
            device.firmwareVersion = 1;
            device.revision = 'C';
            break;
        case optCanRate:
            device.canRateCode = canRateCode(value);
            break;
        case optLevel:
            device.level = static_cast<std::uint8_t>(integerIn(value, 0, 255, "--level"));
            break;
        case optNoDynamic:
            device.dynamic = false;
            break;
        case optQuiet:
            device.quiet = true;
            break;
        case optNoWarnings:
            device.warnings = false;
            break;
        case optResetDm2:
            device.resetEngineDm2 = true;
            break;
        case optClaim:
            device.claimStatus = static_cast<std::uint8_t>(integerIn(value, 0, 255, "--claim", 16));
            break;
        case optStep:
            device.levelStep = static_cast<int>(integerIn(value, 1, 100, "--step"));
            break;
        case optSweep:
            device.sweepStep = static_cast<int>(integerIn(value, 1, 100, "--sweep"));
            break;
        case optRate:
            options.statusRate = positiveNumber(value, "--rate");
            break;
        case optSaturate:
            options.saturate = true;
            break;
        case optSilentAfter:
            options.silentAfter = positiveNumber(value, "--silent-after");
            break;
        case optNoise:
            options.faults.noise = true;
            break;
        case optLowerCase:
            options.faults.lowerCase = true;
            break;
        case optBadChecksums:
            options.faults.badChecksums = true;
            break;
        case optReplay:
            options.replayPath = value;
            break;
        case optReplaySpeed:
            options.replaySpeed = positiveNumber(value, "--replay-speed");
            break;
        default:
            throw std::invalid_argument("unknown option");
    }
}

}  // namespace

std::optional<SimOptions> parseOptions(int argc, char** argv, int& exitCode) {
    static const option longOptions[] = {
        {"com", required_argument, nullptr, optCom},
        {"device", required_argument, nullptr, optDevice},
        {"log", required_argument, nullptr, optLog},
        {"verbose", no_argument, nullptr, optVerbose},
        {"serial", required_argument, nullptr, optSerial},
        {"firmware", required_argument, nullptr, optFirmware},
        {"revision", required_argument, nullptr, optRevision},
        {"old-firmware", no_argument, nullptr, optOldFirmware},
        {"can-rate", required_argument, nullptr, optCanRate},
        {"level", required_argument, nullptr, optLevel},
        {"no-dynamic", no_argument, nullptr, optNoDynamic},
        {"quiet", no_argument, nullptr, optQuiet},
        {"no-warnings", no_argument, nullptr, optNoWarnings},
        {"reset-dm2", no_argument, nullptr, optResetDm2},
        {"claim", required_argument, nullptr, optClaim},
        {"step", required_argument, nullptr, optStep},
        {"sweep", required_argument, nullptr, optSweep},
        {"rate", required_argument, nullptr, optRate},
        {"saturate", no_argument, nullptr, optSaturate},
        {"silent-after", required_argument, nullptr, optSilentAfter},
        {"noise", no_argument, nullptr, optNoise},
        {"lower-case", no_argument, nullptr, optLowerCase},
        {"bad-checksums", no_argument, nullptr, optBadChecksums},
        {"replay", required_argument, nullptr, optReplay},
        {"replay-speed", required_argument, nullptr, optReplaySpeed},
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, optVersion},
        {nullptr, 0, nullptr, 0},
    };
    SimOptions options;
    optind = 1;
    opterr = 0;
    for (;;) {
        int option = getopt_long(argc, argv, "h", longOptions, nullptr);
        if (option == -1) {
            break;
        }
        if (option == 'h') {
            std::cout << usage;
            exitCode = 0;
            return std::nullopt;
        }
        if (option == optVersion) {
            std::cout << "j1939-sim " << J1939_SIM_VERSION << "\n" << platform::licenceNotice;
            exitCode = 0;
            return std::nullopt;
        }
        try {
            if (option == '?' || option == ':') {
                throw std::invalid_argument(std::string("unknown option or missing value: ") +
                                            argv[optind - 1]);
            }
            apply(option, optarg, options);
        } catch (const std::invalid_argument& error) {
            std::cerr << "j1939-sim: " << error.what() << "\nTry 'j1939-sim --help'.\n";
            exitCode = 2;
            return std::nullopt;
        }
    }
    if (optind < argc) {
        std::cerr << "j1939-sim: unexpected argument " << argv[optind]
                  << "\nTry 'j1939-sim --help'.\n";
        exitCode = 2;
        return std::nullopt;
    }
    return options;
}

}  // namespace sim
