#pragma once
// The command line of boot-target.

#include <cstdint>
#include <optional>
#include <string>

namespace boot_target {

struct Options {
    // Where the loader finds us: a symbolic link to the pseudo-terminal, by path or by COM
    // number in the port-map folder; or a real serial device instead of a pseudo-terminal.
    std::string linkPath;
    std::optional<int> comNumber;
    std::string devicePath;
    int deviceSpeed = 115200;

    std::string ident = "Vell-3.2 boot-target";
    std::string lineEnd = "\r\n";
    int eraseCount = 64;
    int eraseBatch = 16;
    int eraseDelayMs = 5;
    int replyDelayMs = 0;
    bool splitReplies = false;
    int splitGapMs = 3;
    // Emulated line speed in bit/s (10 bits per byte, each way); 0 = as fast as possible.
    int pace = 0;

    // Faults, by image byte index (0-based).
    std::optional<std::uint32_t> wrongEchoAt;
    std::optional<std::uint32_t> silentFrom;
    std::optional<std::uint32_t> vanishAt;

    std::string outPath;
    bool once = false;
    bool quiet = false;
};

// Parses argv; on a bad or missing value prints the reason and usage and returns nothing.
std::optional<Options> parseOptions(int argc, char** argv);
void printUsage();

}  // namespace boot_target
