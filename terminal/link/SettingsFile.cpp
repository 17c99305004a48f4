#include "terminal/link/SettingsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "terminal/link/LinkTexts.h"

namespace terminal {

namespace {
constexpr std::string_view settingsFileName = "vive1939.ini";
constexpr std::string_view programFileName = "Tessaly";
// The folder under the user's configuration folder for an installed program's file.
constexpr std::string_view configFolderName = "Tessaly";
constexpr std::string_view defaultContent = "COM=1;\r\n";
// A program below one of these runs from the system's folders: installed, shared by all users.
constexpr std::array<std::string_view, 4> systemFolders = {"/usr/", "/opt/", "/bin/", "/sbin/"};

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Opens without waiting (a FIFO or a device in the file's place would block a plain open)
// and keeps the descriptor only for a regular file; -1 otherwise.
int openRegular(const std::filesystem::path& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) {
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

struct FileContent {
    bool missing = false;  // nothing at all at that path
    std::string bytes;
};

// Past `limit` bytes the reader stops: what was read counts as the whole file.
FileContent readRegular(const std::filesystem::path& path, std::size_t limit) {
    FileContent content;
    const int fd = openRegular(path, O_RDONLY);
    if (fd < 0) {
        content.missing = errno == ENOENT;
        return content;
    }
    content.bytes.resize(limit);
    std::size_t filled = 0;
    while (filled < limit) {
        const ssize_t got = ::read(fd, content.bytes.data() + filled, limit - filled);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    content.bytes.resize(filled);
    ::close(fd);
    return content;
}

bool writeWhole(const std::filesystem::path& path, std::string_view content) {
    std::error_code ignored;
    if (path.has_parent_path()) {
        std::filesystem::create_directories(path.parent_path(), ignored);
    }
    const int fd = openRegular(path, O_WRONLY | O_CREAT);
    if (fd < 0) {
        return false;
    }
    bool written = ::ftruncate(fd, 0) == 0;
    std::size_t done = 0;
    while (written && done < content.size()) {
        const ssize_t put = ::write(fd, content.data() + done, content.size() - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        written = put > 0;
        done += written ? static_cast<std::size_t>(put) : 0;
    }
    return ::close(fd) == 0 && written;
}

bool isSystemFolder(const std::string& folder) {
    return std::any_of(systemFolders.begin(), systemFolders.end(), [&](std::string_view root) {
        return folder.compare(0, root.size(), root) == 0;
    });
}
}  // namespace

SettingsFile::SettingsFile(std::filesystem::path path, std::filesystem::path formerPath)
    : path_(std::move(path)), formerPath_(std::move(formerPath)) {}

SettingsFile::Reading SettingsFile::parse(std::string_view content) {
    Reading reading{std::string(linkTexts::defaultPortName), false};
    while (!content.empty()) {
        const std::size_t lf = content.find('\n');
        const std::size_t lineLength = lf == std::string_view::npos ? content.size() : lf + 1;
        std::string line(content.substr(0, lineLength));
        content.remove_prefix(lineLength);
        const char first = line.front();
        if (first == ';' || first == '/' || first == '\r' || first == '\n') {
            continue;
        }
        std::transform(line.begin(), line.end(), line.begin(), upper);
        if (line.rfind("COM", 0) != 0) {
            continue;
        }
        const std::size_t start = line.find_first_not_of("COM=");
        const std::size_t semicolon = line.find(';', start == std::string::npos ? 0 : start);
        if (start == std::string::npos || semicolon == std::string::npos || semicolon == start) {
            reading.portName = linkTexts::defaultPortName;
            reading.rewrite = true;
            continue;
        }
        reading.portName = "COM" + line.substr(start, semicolon - start);
    }
    return reading;
}

SettingsFile::Reading SettingsFile::read() const {
    const FileContent content = readRegular(path_, readLimit);
    if (content.missing && !formerPath_.empty()) {
        const FileContent former = readRegular(formerPath_, readLimit);
        if (!former.bytes.empty()) {
            // Carried over to the file's own place at the next tick.
            Reading reading = parse(former.bytes);
            reading.rewrite = true;
            return reading;
        }
    }
    if (content.bytes.empty()) {
        // Missing, empty, or nothing that can be read as a file: the default port, written
        // where that is possible.
        writeWhole(path_, defaultContent);
        return {std::string(linkTexts::defaultPortName), false};
    }
    return parse(content.bytes);
}

// The whole file is replaced: the last port line wins on reading, so old bytes left behind
// a shorter new line could bring an old port back.
bool SettingsFile::write(const std::string& portName) const {
    const std::size_t start = std::min(portName.find_first_not_of("COM"), portName.size());
    return writeWhole(path_, "COM=" + portName.substr(start) + ";\r\n");
}

SettingsPlace settingsPlaceFor(const std::filesystem::path& programPath,
                               const std::filesystem::path& configHome,
                               bool (*writable)(const std::filesystem::path& folder)) {
    std::string folder = programPath.string();
    while (!folder.empty() && programFileName.find(folder.back()) != std::string_view::npos) {
        folder.pop_back();
    }
    // Under another file name the removal stops inside the name; the folder is still the
    // program's own.
    if (folder.empty() || folder.back() != '/') {
        folder = programPath.parent_path().string();
        if (!folder.empty()) {
            folder += '/';
        }
    }
    if (!isSystemFolder(folder) && writable != nullptr && writable(folder.empty() ? "." : folder)) {
        return {std::filesystem::path(folder + std::string(settingsFileName)), {}};
    }
    return {configHome / configFolderName / settingsFileName, configHome / settingsFileName};
}

SettingsPlace settingsPlaceFor(const std::filesystem::path& programPath) {
    return settingsPlaceFor(programPath, configHome(), folderIsWritable);
}

bool folderIsWritable(const std::filesystem::path& folder) {
    const std::filesystem::path file = folder / settingsFileName;
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(file, error))) {
        const int fd = ::open(file.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) {
            return false;
        }
        ::close(fd);
        return true;
    }
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    std::filesystem::remove(file, error);
    return true;
}

std::filesystem::path configHome() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr && home[0] != '\0' ? home : ".") / ".config";
}

}  // namespace terminal
