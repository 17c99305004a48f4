#include "terminal/recording/FlushedFile.h"

#include <cerrno>
#include <cstring>

namespace terminal {

FlushedFile::~FlushedFile() {
    close();
}

bool FlushedFile::open(const std::filesystem::path& path) {
    close();
    error_.clear();
    path_ = path;
    errno = 0;
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        fail("cannot be created", errno);
        return false;
    }
    return true;
}

bool FlushedFile::write(std::string_view piece) {
    if (file_ == nullptr) {
        return false;
    }
    errno = 0;
    if (std::fwrite(piece.data(), 1, piece.size(), file_) != piece.size() ||
        std::fflush(file_) != 0) {
        fail("could not be written", errno);
        return false;
    }
    return true;
}

void FlushedFile::close() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

void FlushedFile::fail(const std::string& what, int errorNumber) {
    close();
    error_ = path_.string() + " " + what;
    if (errorNumber != 0) {
        error_ += ": ";
        error_ += std::strerror(errorNumber);
    }
}

}  // namespace terminal
