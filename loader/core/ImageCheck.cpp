#include "loader/core/ImageCheck.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>

#include "loader/core/FirmwareImage.h"
#include "loader/core/ScrambleFormat.h"

namespace loader {

namespace {

[[noreturn]] void refuse(const std::string& path, const std::string& reason) {
    throw ImageError("Cannot program the firmware file " + path + ": " + reason + ".");
}

std::string kindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "it is a folder, not a file";
    }
    if (S_ISFIFO(mode)) {
        return "it is a pipe (FIFO), not a file";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "it is a device, not a file";
    }
    if (S_ISSOCK(mode)) {
        return "it is a socket, not a file";
    }
    return "it is not a regular file";
}

}  // namespace

CheckedImage openCheckedImage(const std::string& path, bool scrambled) {
    if (path.empty()) {
        throw ImageError("No firmware file has been chosen.");
    }
    // Non-blocking: a FIFO or a device put in the file's place must not hang the program.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        refuse(path, std::strerror(errno));
    }
    auto failWith = [&](const std::string& reason) {
        ::close(fd);
        refuse(path, reason);
    };
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        failWith(std::strerror(errno));
    }
    if (!S_ISREG(status.st_mode)) {
        failWith(kindOf(status.st_mode));
    }
    const auto size = static_cast<std::uint64_t>(status.st_size);
    if (size == 0) {
        failWith("it is empty, there is nothing to program");
    }
    if (size > std::numeric_limits<std::uint32_t>::max()) {
        failWith("it is too large to program (" + std::to_string(size) +
                 " bytes; the limit is 4294967295)");
    }
    if (scrambled && size <= scramble::sessionByteCount) {
        failWith("a scrambled image of " + std::to_string(size) + (size == 1 ? " byte" : " bytes") +
                 " carries no data byte (it needs more than 4 bytes)");
    }
    std::uint8_t first = 0;
    errno = 0;
    if (::pread(fd, &first, 1, 0) != 1) {
        failWith(errno != 0 ? std::strerror(errno) : "it cannot be read");
    }
    return {fd, static_cast<std::uint32_t>(size)};
}

std::uint32_t checkImage(const std::string& path, bool scrambled) {
    const CheckedImage checked = openCheckedImage(path, scrambled);
    ::close(checked.fd);
    return checked.length;
}

}  // namespace loader
