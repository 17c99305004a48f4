#include "loader/core/FirmwareImage.h"

#include <cerrno>
#include <cstring>
#include <limits>

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

std::uint32_t FirmwareImage::open() {
    close();
    if (path_.empty()) {
        throw ImageError("No firmware file has been chosen.");
    }
    errno = 0;
    file_ = std::fopen(path_.c_str(), "rb");
    if (file_ == nullptr) {
        throw ImageError("Cannot open the firmware file " + path_ + ": " + systemReason() + ".");
    }
    // Unbuffered: every byte is fetched from the file as it is now, not from a stale copy.
    std::setvbuf(file_, nullptr, _IONBF, 0);
    errno = 0;
    long length = -1;
    if (std::fseek(file_, 0, SEEK_END) == 0) {
        length = std::ftell(file_);
    }
    if (length < 0) {
        std::string reason = systemReason();
        close();
        throw ImageError("Cannot read the firmware file " + path_ + ": " + reason + ".");
    }
    if (static_cast<unsigned long>(length) > std::numeric_limits<std::uint32_t>::max()) {
        close();
        throw ImageError("The firmware file " + path_ + " is too large to program.");
    }
    if (scrambled_) {
        drawSessionValues();
    }
    return static_cast<std::uint32_t>(length);
}

void FirmwareImage::close() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

std::uint8_t FirmwareImage::byteAt(std::uint32_t offset) {
    return transform(offset, readFileByte(offset));
}

std::uint8_t FirmwareImage::readFileByte(std::uint32_t offset) {
    if (file_ == nullptr) {
        throw ImageError("The firmware file " + path_ + " is not open.");
    }
    errno = 0;
    int c = EOF;
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) == 0) {
        c = std::fgetc(file_);
    }
    if (c == EOF) {
        std::string reason = std::ferror(file_) ? systemReason() : "it has become shorter";
        throw ImageError("Cannot read byte " + std::to_string(offset) + " of the firmware file " +
                         path_ + ": " + reason + ".");
    }
    return static_cast<std::uint8_t>(c);
}

void FirmwareImage::drawSessionValues() {
    auto now = static_cast<std::uint32_t>(calendar_());
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
