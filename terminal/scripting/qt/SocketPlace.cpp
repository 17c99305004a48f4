#include "terminal/scripting/qt/SocketPlace.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace terminal::headless {

namespace {

std::string modeText(mode_t mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

std::string failure(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

// Every missing folder on the way, made private.
bool makeFolders(const std::filesystem::path& folder) {
    struct stat info {};
    if (::lstat(folder.c_str(), &info) == 0) {
        return true;
    }
    if (folder.has_parent_path() && folder.parent_path() != folder &&
        !makeFolders(folder.parent_path())) {
        return false;
    }
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

// A missing folder is made private; an existing one must already be.
std::string checkFolder(const std::filesystem::path& folder) {
    if (!makeFolders(folder)) {
        return failure("cannot make the folder", folder.string());
    }
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) {
        return failure("cannot use the folder", folder.string());
    }
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::geteuid() || (info.st_mode & 077) != 0) {
        return "the socket's folder " + folder.string() +
               " must be a folder of yours with mode 0700 (it is " +
               (S_ISDIR(info.st_mode) ? "mode " + modeText(info.st_mode) +
                                            (info.st_uid != ::geteuid() ? ", another user's" : "")
                                      : std::string("not a folder")) +
               ")";
    }
    return {};
}

// A socket bound at `at` with mode 0600 from the start (no moment in which another user could
// connect) and listening; -1 with errno set, and nothing left at `at`, when it cannot be.
int listeningSocket(const std::string& at) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, at.c_str(), at.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return -1;
    }
    const mode_t formerMask = ::umask(0177);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    int error = errno;
    ::umask(formerMask);
    if (bound && ::listen(fd, 16) == 0) {
        return fd;
    }
    if (bound) {
        error = errno;
        ::unlink(at.c_str());
    }
    ::close(fd);
    errno = error;
    return -1;
}

}  // namespace

std::string defaultSocketPath(const std::string& runtimeFolder, const std::string& port) {
    const std::string name = std::filesystem::path(port).filename().string();
    return (std::filesystem::path(runtimeFolder) / "tessaly" / (name + ".sock")).string();
}

ListeningSocket listenAt(const std::string& path) {
    ListeningSocket result;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        result.error = "the socket path must have 1 to " +
                       std::to_string(sizeof address.sun_path - 1) + " characters";
        return result;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const std::filesystem::path place = std::filesystem::absolute(path);
    if (std::string error = checkFolder(place.parent_path()); !error.empty()) {
        result.error = error;
        return result;
    }

    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0) {
        if (!S_ISSOCK(info.st_mode)) {
            result.error = path + " exists and is not a socket: not replaced";
            return result;
        }
        // A socket nobody accepts on was left by a process that died without removing it.
        const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const bool live =
            probe >= 0 &&
            ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        const int probeError = errno;
        if (probe >= 0) {
            ::close(probe);
        }
        if (live) {
            result.error = path + ": another Tessaly listens there";
            return result;
        }
        if (probeError != ECONNREFUSED || ::unlink(path.c_str()) != 0) {
            errno = probeError;
            result.error = failure("cannot replace the socket", path);
            return result;
        }
    }

    // Listening before its name appears: a script that connects as soon as it sees the
    // socket is never refused. Where the hidden name does not fit, it is made in place.
    const std::filesystem::path given(path);
    const std::string hidden =
        (given.parent_path() / ("." + given.filename().string() + "." + std::to_string(::getpid())))
            .string();
    int fd = hidden.size() < sizeof address.sun_path ? listeningSocket(hidden) : -1;
    if (fd >= 0) {
        const bool named = ::link(hidden.c_str(), path.c_str()) == 0;
        const int linkError = errno;
        ::unlink(hidden.c_str());
        if (!named) {
            ::close(fd);
            fd = -1;
            if (linkError == EEXIST) {
                errno = linkError;
                result.error = failure("cannot listen at", path);
                return result;
            }
        }
    }
    if (fd < 0) {
        fd = listeningSocket(path);
        if (fd < 0) {
            result.error = failure("cannot listen at", path);
            return result;
        }
    }
    if (::lstat(path.c_str(), &info) != 0) {
        result.error = failure("cannot listen at", path);
        ::close(fd);
        return result;
    }
    result.fd = fd;
    result.device = info.st_dev;
    result.inode = info.st_ino;
    return result;
}

void removeSocketFile(const std::string& path, const ListeningSocket& made) {
    struct stat info {};
    if (made.fd >= 0 && ::lstat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode) &&
        info.st_dev == made.device && info.st_ino == made.inode) {
        ::unlink(path.c_str());
    }
}

}  // namespace terminal::headless
