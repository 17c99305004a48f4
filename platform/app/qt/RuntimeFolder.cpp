#include "platform/app/qt/RuntimeFolder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace platform {

namespace {

constexpr mode_t privateMode = 0700;

// A real folder (not a link to one) that belongs to us, made private if it was not.
bool isOwnPrivateFolder(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != ::geteuid()) {
        return false;
    }
    return (status.st_mode & 07777) == privateMode || ::chmod(path.c_str(), privateMode) == 0;
}

std::string currentUserName() {
    std::vector<char> buffer(16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_name != nullptr && *found->pw_name != '\0') {
        return found->pw_name;
    }
    return std::to_string(::geteuid());
}

// Where Qt looks for temporary files: $TMPDIR when it is an absolute path, else /tmp.
std::string tempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    if (tmp != nullptr && tmp[0] == '/') {
        std::string folder(tmp);
        while (folder.size() > 1 && folder.back() == '/') {
            folder.pop_back();
        }
        return folder;
    }
    return "/tmp";
}

}  // namespace

std::string privateRuntimeFolder(const std::string& tempFolder, const std::string& userName) {
    const std::string usual = tempFolder + "/runtime-" + userName;
    // mkdir never follows a link in the last part, and an existing entry is checked as it is.
    ::mkdir(usual.c_str(), privateMode);
    if (isOwnPrivateFolder(usual)) {
        return usual;
    }
    std::string fresh = usual + "-XXXXXX";
    if (::mkdtemp(fresh.data()) == nullptr) {
        return {};
    }
    return fresh;
}

void providePrivateRuntimeFolder() {
    const char* current = std::getenv("XDG_RUNTIME_DIR");
    if (current != nullptr && current[0] == '/') {
        return;
    }
    const std::string folder = privateRuntimeFolder(tempFolder(), currentUserName());
    if (!folder.empty()) {
        ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    }
}

}  // namespace platform
