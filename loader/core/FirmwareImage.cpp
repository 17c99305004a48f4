#include "loader/core/FirmwareImage.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "loader/core/ImageCheck.h"
#include "loader/core/IntelHexCheck.h"

namespace loader {

namespace {

constexpr const char* scrambledEnding = "Vlf";

std::string systemReason() {
    return errno != 0 ? std::strerror(errno) : "unknown error";
}

}  // namespace

FirmwareImage::FirmwareImage()
    : FirmwareImage([] { return static_cast<std::int64_t>(std::time(nullptr)); }) {}

FirmwareImage::FirmwareImage(CalendarClock calendar) : calendar_(std::move(calendar)) {}

FirmwareImage::~FirmwareImage() {
    close();
}

bool FirmwareImage::choose(FileChooser& chooser) {
    auto chosen = chooser.chooseFile(OpenFileRequest{});
    if (!chosen || chosen->empty()) {
        return false;
    }
    setPath(*chosen);
    return true;
}

void FirmwareImage::setPath(const std::string& path) {
    path_ = path;
    auto slash = path.find_last_of('/');
    fileName_ = slash == std::string::npos ? path : path.substr(slash + 1);
    scrambled_ = isScrambledName(fileName_);
}

bool FirmwareImage::isScrambledName(const std::string& fileName) {
    const std::string ending = scrambledEnding;
    return fileName.size() >= ending.size() &&
           fileName.compare(fileName.size() - ending.size(), ending.size(), ending) == 0;
}

std::uint8_t FirmwareImage::startByte() const {
    return scrambled_ ? startByteScrambled : startBytePlain;
}

std::uint32_t FirmwareImage::check() const {
    return checkImage(path_, scrambled_);
}

std::optional<std::string> FirmwareImage::hexFault() const {
    if (!isHexName(fileName_)) {
        return std::nullopt;
    }
    return hexFaultOf(path_, fileName_);
}

std::uint32_t FirmwareImage::open() {
    close();
    const CheckedImage checked = openCheckedImage(path_, scrambled_);
    fd_ = checked.fd;
    if (scrambled_) {
        drawSessionValues();
    }
    return checked.length;
}

void FirmwareImage::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

std::uint8_t FirmwareImage::byteAt(std::uint32_t offset) {
    return transform(offset, readFileByte(offset));
}

std::uint8_t FirmwareImage::readFileByte(std::uint32_t offset) {
    if (fd_ < 0) {
        throw ImageError("The firmware file " + path_ + " is not open.");
    }
    // Unbuffered, at its offset: every byte comes from the file as it is now.
    std::uint8_t byte = 0;
    errno = 0;
    const ssize_t got = ::pread(fd_, &byte, 1, static_cast<off_t>(offset));
    if (got != 1) {
        std::string reason = got < 0 ? systemReason() : "it has become shorter";
        throw ImageError("Cannot read byte " + std::to_string(offset) + " of the firmware file " +
                         path_ + ": " + reason + ".");
    }
    return byte;
}

void FirmwareImage::drawSessionValues() {
    auto now = static_cast<std::uint32_t>(calendar_()) + (salt_ << 24);
    random_.seed(now);
    r1_ = static_cast<std::uint16_t>(random_.next());
    random_.seed(now + r1_);
    r2_ = static_cast<std::uint16_t>(random_.next());
    mask_ = scramble::deriveMask(r1_, r2_);
}

std::uint8_t FirmwareImage::transform(std::uint32_t offset, std::uint8_t fileByte) {
    if (!scrambled_) {
        return fileByte;
    }
    if (offset < scramble::sessionByteCount) {
        firstBytes_[offset] = fileByte;
        switch (offset) {
            case 0:
                return scramble::lowByte(r1_);
            case 1:
                return scramble::highByte(r1_);
            case 2:
                return scramble::lowByte(r2_);
            default:
                // The key is built afresh in every run, from the seed just read.
                key_ = scramble::deriveKey(firstBytes_[0]);
                return scramble::highByte(r2_);
        }
    }
    return scramble::masked(scramble::keyed(fileByte, key_), mask_);
}

}  // namespace loader
