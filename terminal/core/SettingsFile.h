#pragma once
// "vive1939.ini": remembers the last COM port as one line "COM=n;" CR LF. No file problem
// ever escapes: a file that cannot be read, created or written leaves the port at "COM1"
// (or what could be read) and the terminal working.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace terminal {

class SettingsFile {
public:
    // The reader counts in 16 bits; bytes past this many are not read.
    static constexpr std::uintmax_t readLimit = 65535;

    explicit SettingsFile(std::filesystem::path path);

    struct Reading {
        std::string portName;  // "COM1" when nothing usable was read
        bool rewrite = false;  // a port line without a number: save the port at the next tick
    };

    // Reads the port by the file's rules; a missing or empty file is (re)written "COM=1;".
    Reading read() const;
    // Replaces the whole file with the one line for `portName`. Returns false when it failed.
    bool write(const std::string& portName) const;

    // The port of one settings text, by the same rules as read() (for tests and tools).
    static Reading parse(std::string_view content);

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// The settings file's place: the program's folder, found by removing from the end of
// `programPath` every character that occurs in the program's file name "Tessaly"; if that
// folder is not writable, `configHome`/vive1939.ini.
std::filesystem::path settingsFileFor(const std::filesystem::path& programPath,
                                      const std::filesystem::path& configHome,
                                      bool (*writable)(const std::filesystem::path& folder));

// The same with $XDG_CONFIG_HOME (default ~/.config) and a real writability test.
std::filesystem::path settingsFileFor(const std::filesystem::path& programPath);

// True when a settings file can be written in `folder` (the existing one opened for update,
// or a new one created and removed again).
bool folderIsWritable(const std::filesystem::path& folder);

// $XDG_CONFIG_HOME when set and absolute, else $HOME/.config.
std::filesystem::path configHome();

}  // namespace terminal
