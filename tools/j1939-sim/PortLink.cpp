#include "PortLink.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace sim {

namespace {

std::string readLink(const std::string& path) {
    char target[PATH_MAX];
    ssize_t length = ::readlink(path.c_str(), target, sizeof target - 1);
    return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
}

void makeFolders(const std::string& folder) {
    for (std::size_t slash = 1; slash != std::string::npos; slash = folder.find('/', slash + 1)) {
        ::mkdir(folder.substr(0, slash).c_str(), 0755);
    }
    if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) {
        throw std::runtime_error("cannot create the port-map folder " + folder + ": " +
                                 std::strerror(errno));
    }
}

}  // namespace

std::string portMapFolder() {
    const char* explicitFolder = std::getenv("COMPORTS_DIR");
    if (explicitFolder != nullptr && *explicitFolder != '\0') {
        return explicitFolder;
    }
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && *config != '\0') {
        return std::string(config) + "/comports";
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : ".") + "/.config/comports";
}

PortLink::PortLink(int comNumber, const std::string& target) : target_(target) {
    std::string folder = portMapFolder();
    makeFolders(folder);
    linkPath_ = folder + "/com" + std::to_string(comNumber);

    struct stat existing {};
    if (::lstat(linkPath_.c_str(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode)) {
            throw std::runtime_error(linkPath_ + " exists and is not a link; not touching it");
        }
        replaced_ = readLink(linkPath_);
    }
    // Made beside the final name and renamed over it, so a program never sees the name missing.
    std::string temporary = linkPath_ + ".j1939-sim." + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    if (::symlink(target.c_str(), temporary.c_str()) != 0 ||
        ::rename(temporary.c_str(), linkPath_.c_str()) != 0) {
        int error = errno;
        ::unlink(temporary.c_str());
        throw std::runtime_error("cannot link " + linkPath_ + " -> " + target + ": " +
                                 std::strerror(error));
    }
}

PortLink::~PortLink() {
    if (readLink(linkPath_) == target_) {
        ::unlink(linkPath_.c_str());
    }
}

}  // namespace sim
