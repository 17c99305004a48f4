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

    // `formerPath`: an older place of the file, read while the file does not exist yet.
    explicit SettingsFile(std::filesystem::path path, std::filesystem::path formerPath = {});

    struct Reading {
        std::string portName;  // "COM1" when nothing usable was read
        bool rewrite = false;  // a port line without a number: save the port at the next tick
    };

    // Reads the port by the file's rules; a missing or empty file is (re)written "COM=1;".
    // The file is opened without waiting and read only when it is a regular file; anything
    // else in its place (a FIFO, a device, a folder) counts as a file that cannot be opened.
    // While the file does not exist, a non-empty former file is read instead and the port is
    // marked for saving in the new place.
    Reading read() const;
    // Replaces the whole file with the one line for `portName`. Returns false when it failed.
    bool write(const std::string& portName) const;

    // The port of one settings text, by the same rules as read() (for tests and tools).
    static Reading parse(std::string_view content);

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::filesystem::path formerPath_;
};

// Where the settings file lives, and where an older version of the program kept it.
struct SettingsPlace {
    std::filesystem::path file;
    std::filesystem::path formerFile;  // empty: none to look for
};

// The settings file's place. Beside the program (its folder found by removing from the end of
// `programPath` every character that occurs in the program's file name "Tessaly") when the
// program runs from a folder of its own (a build folder, an unpacked copy) that is writable.
// A program in the system's folders (/usr, /usr/local, /opt, /bin, /sbin) is installed and
// shared: never beside it, even for root. That case and an unwritable folder use
// `configHome`/Tessaly/vive1939.ini, with `configHome`/vive1939.ini as the former place.
SettingsPlace settingsPlaceFor(const std::filesystem::path& programPath,
                               const std::filesystem::path& configHome,
                               bool (*writable)(const std::filesystem::path& folder));

// The same with $XDG_CONFIG_HOME (default ~/.config) and a real writability test.
SettingsPlace settingsPlaceFor(const std::filesystem::path& programPath);

// True when a settings file can be written in `folder` (the existing one opened for update,
// or a new one created and removed again).
bool folderIsWritable(const std::filesystem::path& folder);

// $XDG_CONFIG_HOME when set and absolute, else $HOME/.config.
std::filesystem::path configHome();

}  // namespace terminal
