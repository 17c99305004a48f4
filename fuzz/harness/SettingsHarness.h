#pragma once
// The settings-file reader under arbitrary file contents. Returns what broke, or an empty
// text: the port is always a "COM" name, a port read back after saving it is the same port,
// and reading the file gives what its first 65535 bytes say.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "terminal/link/SettingsFile.h"

namespace fuzzing {

inline std::string runSettingsReader(const std::uint8_t* data, std::size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const auto parsed = terminal::SettingsFile::parse(content);
    if (parsed.portName.rfind("COM", 0) != 0) {
        return "port name " + parsed.portName + " is not a COM name";
    }

    static const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("settings-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const terminal::SettingsFile file(folder / "vive1939.ini");

    if (!file.write(parsed.portName)) {
        return "the settings file could not be written";
    }
    if (file.read().portName != parsed.portName) {
        return "port " + parsed.portName + " came back as " + file.read().portName;
    }

    {
        std::ofstream out(file.path(), std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
    }
    const auto read = file.read();
    if (!content.empty()) {
        const auto expected =
            terminal::SettingsFile::parse(content.substr(0, terminal::SettingsFile::readLimit));
        if (read.portName != expected.portName || read.rewrite != expected.rewrite) {
            return "reading the file differs from parsing its text";
        }
    } else if (read.portName != "COM1") {
        return "an empty file did not read as COM1";
    }
    return {};
}

}  // namespace fuzzing
