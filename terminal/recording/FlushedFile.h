#pragma once
// A file written in whole pieces, each flushed at once, for records that must survive the
// program being killed. The first failed write (a full disk, a vanished drive) closes the
// file and keeps the reason; nothing is thrown, so the session writing it goes on.

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace terminal {

class FlushedFile {
public:
    FlushedFile() = default;
    FlushedFile(const FlushedFile&) = delete;
    FlushedFile& operator=(const FlushedFile&) = delete;
    ~FlushedFile();

    // Creates or empties the file; false (with error()) when it cannot be.
    bool open(const std::filesystem::path& path);
    // False when the piece could not be written whole; the file is closed then.
    bool write(std::string_view piece);
    void close();

    bool isOpen() const { return file_ != nullptr; }
    const std::filesystem::path& path() const { return path_; }
    // Why the file could not be opened or written ("... could not be written: No space ...").
    const std::string& error() const { return error_; }

private:
    void fail(const std::string& what, int errorNumber);

    std::FILE* file_ = nullptr;
    std::filesystem::path path_;
    std::string error_;
};

}  // namespace terminal
