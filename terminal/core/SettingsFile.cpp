#include "terminal/core/SettingsFile.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

#include "terminal/core/LinkTexts.h"

namespace terminal {

namespace {
constexpr std::string_view settingsFileName = "vive1939.ini";
constexpr std::string_view programFileName = "Tessaly";
constexpr std::string_view defaultContent = "COM=1;\r\n";

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool writeWhole(const std::filesystem::path& path, std::string_view content) {
    std::error_code ignored;
    if (path.has_parent_path()) {
        std::filesystem::create_directories(path.parent_path(), ignored);
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        return false;
    }
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    return !out.fail();
}
}  // namespace

SettingsFile::SettingsFile(std::filesystem::path path) : path_(std::move(path)) {}

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

// Past 65535 bytes the reader stops: what was read counts as the whole file.
SettingsFile::Reading SettingsFile::read() const {
    std::ifstream in(path_, std::ios::binary);
    if (!in) {
        writeWhole(path_, defaultContent);
        return {std::string(linkTexts::defaultPortName), false};
    }
    std::string content(readLimit, '\0');
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    content.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    in.close();
    if (content.empty()) {
        writeWhole(path_, defaultContent);
        return {std::string(linkTexts::defaultPortName), false};
    }
    return parse(content);
}

// The whole file is replaced: the last port line wins on reading, so old bytes left behind
// a shorter new line could bring an old port back.
bool SettingsFile::write(const std::string& portName) const {
    const std::size_t start = std::min(portName.find_first_not_of("COM"), portName.size());
    return writeWhole(path_, "COM=" + portName.substr(start) + ";\r\n");
}

std::filesystem::path settingsFileFor(const std::filesystem::path& programPath,
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
    if (writable != nullptr && writable(folder.empty() ? "." : folder)) {
        return std::filesystem::path(folder + std::string(settingsFileName));
    }
    return configHome / settingsFileName;
}

std::filesystem::path settingsFileFor(const std::filesystem::path& programPath) {
    return settingsFileFor(programPath, configHome(), folderIsWritable);
}

bool folderIsWritable(const std::filesystem::path& folder) {
    const std::filesystem::path file = folder / settingsFileName;
    std::error_code error;
    if (std::filesystem::exists(file, error)) {
        std::fstream update(file, std::ios::binary | std::ios::in | std::ios::out);
        return static_cast<bool>(update);
    }
    {
        std::ofstream probe(file, std::ios::binary);
        if (!probe) {
            return false;
        }
    }
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
