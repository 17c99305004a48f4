#include "platform/serial/PortMap.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <system_error>

namespace platform {

namespace fs = std::filesystem;

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

fs::path homeFolder() {
    std::string home = environment("HOME");
    if (!home.empty()) {
        return home;
    }
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) {
        return entry->pw_dir;
    }
    return "/";
}

// The number after `prefix` when `name` is exactly prefix + decimal digits.
std::optional<long> deviceNumber(const std::string& name, const std::string& prefix) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.size() - prefix.size() > 6) {
        return std::nullopt;
    }
    long number = 0;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') {
            return std::nullopt;
        }
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

}  // namespace

fs::path portMapFolder() {
    std::string explicitFolder = environment("COMPORTS_DIR");
    if (!explicitFolder.empty()) {
        return explicitFolder;
    }
    // A relative XDG_CONFIG_HOME is invalid by its own rules and is ignored.
    std::string config = environment("XDG_CONFIG_HOME");
    if (!config.empty() && config.front() == '/') {
        return fs::path(config) / "comports";
    }
    return homeFolder() / ".config" / "comports";
}

std::string displayPath(const fs::path& path) {
    std::string home = environment("HOME");
    while (home.size() > 1 && home.back() == '/') {
        home.pop_back();
    }
    std::string text = path.string();
    if (home.size() > 1 && text.compare(0, home.size(), home) == 0 &&
        (text.size() == home.size() || text[home.size()] == '/')) {
        return "~" + text.substr(home.size());
    }
    return text;
}

PortMap::PortMap() : PortMap(portMapFolder(), "/") {}

PortMap::PortMap(fs::path folder, fs::path systemRoot)
    : folder_(std::move(folder)), systemRoot_(std::move(systemRoot)) {}

std::optional<fs::path> PortMap::linkFor(int port) const {
    // Lower case is the convention; an upper-case COM3 made by hand is honoured too.
    for (const char* stem : {"com", "COM"}) {
        fs::path candidate = folder_ / (stem + std::to_string(port));
        std::error_code error;
        if (fs::is_symlink(fs::symlink_status(candidate, error))) {
            return candidate;
        }
    }
    return std::nullopt;
}

ComPortMapping PortMap::map(int port) const {
    ComPortMapping mapping;
    if (port < 1) {
        return mapping;
    }
    if (auto link = linkFor(port)) {
        std::error_code error;
        fs::path target = fs::read_symlink(*link, error);
        if (!error) {
            if (target.is_relative()) {
                target = (folder_ / target).lexically_normal();
            }
            mapping.source = ComPortMapping::Source::link;
            mapping.device = target.string();
            mapping.link = *link;
            return mapping;
        }
    }
    // A port the user mapped by hand never falls back: opening some other device silently
    // would be worse than saying the mapped one is missing.
    std::vector<std::string> devices = systemSerialDevices();
    if (static_cast<std::size_t>(port) <= devices.size()) {
        mapping.source = ComPortMapping::Source::system;
        mapping.device = devices[static_cast<std::size_t>(port) - 1];
        mapping.systemIndex = port;
    }
    return mapping;
}

bool PortMap::isRealOnBoardPort(const std::string& name) const {
    // The 8250 driver registers ttyS0..ttyS31 whether or not a UART answers; the ones
    // without hardware report type 0 (PORT_UNKNOWN).
    fs::path sysEntry = systemRoot_ / "sys" / "class" / "tty" / name;
    std::error_code error;
    if (!fs::exists(sysEntry / "device", error)) {
        return false;
    }
    std::ifstream typeFile(sysEntry / "type");
    int type = -1;
    if (typeFile >> type) {
        return type != 0;
    }
    return true;
}

std::vector<std::string> PortMap::systemSerialDevices() const {
    struct Found {
        int group;
        long number;
        std::string name;
    };
    static const char* const prefixes[] = {"ttyUSB", "ttyACM", "ttyS"};

    std::vector<Found> found;
    std::error_code error;
    fs::path dev = systemRoot_ / "dev";
    for (fs::directory_iterator it(dev, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        for (int group = 0; group < 3; ++group) {
            if (auto number = deviceNumber(name, prefixes[group])) {
                if (group == 2 && !isRealOnBoardPort(name)) {
                    break;
                }
                found.push_back({group, *number, name});
                break;
            }
        }
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.group != b.group ? a.group < b.group : a.number < b.number;
    });
    std::vector<std::string> devices;
    for (const Found& entry : found) {
        devices.push_back((dev / entry.name).string());
    }
    return devices;
}

std::string PortMap::describe(int port) const {
    std::string com = "COM" + std::to_string(port);
    ComPortMapping mapping = map(port);
    switch (mapping.source) {
        case ComPortMapping::Source::link: {
            std::error_code error;
            bool present = fs::exists(mapping.device, error);
            return com + " -> " + mapping.device + " (link in " + displayPath(folder_) +
                   (present ? ")" : ", device not present)");
        }
        case ComPortMapping::Source::system:
            return com + " -> " + mapping.device + " (serial device " +
                   std::to_string(mapping.systemIndex) + " found, no link in " +
                   displayPath(folder_) + ")";
        case ComPortMapping::Source::none:
            break;
    }
    return com + ": no device";
}

std::optional<std::string> deviceForComPort(int port) {
    ComPortMapping mapping = PortMap().map(port);
    if (mapping.source == ComPortMapping::Source::none) {
        return std::nullopt;
    }
    return mapping.device;
}

std::vector<std::string> systemSerialDevices(const fs::path& systemRoot) {
    return PortMap(portMapFolder(), systemRoot).systemSerialDevices();
}

std::string describeComPort(int port) {
    return PortMap().describe(port);
}

}  // namespace platform
