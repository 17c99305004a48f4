#include "loader/core/IntelHexCheck.h"

#include <unistd.h>

#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "loader/core/FirmwareImage.h"
#include "loader/core/ImageCheck.h"
#include "platform/text/HexDigit.h"

namespace loader {

namespace {

// Length, two address bytes, type and checksum: a record without data.
constexpr std::uint64_t recordFrameBytes = 5;
constexpr std::uint8_t endOfFileType = 0x01;
constexpr std::uint8_t lastKnownType = 0x05;
constexpr std::size_t readBlock = 64 * 1024;

// A character as the operator can read it in a message: "G", or byte 0x00 when unprintable.
std::string shown(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
        return std::string("\"") + c + "\"";
    }
    char text[16];
    std::snprintf(text, sizeof text, "byte 0x%02X", byte);
    return text;
}

std::string twoDigits(std::uint8_t value) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

}  // namespace

void IntelHexCheck::feed(std::string_view bytes) {
    for (const char c : bytes) {
        if (fault_) {
            return;
        }
        take(c);
    }
}

void IntelHexCheck::take(char c) {
    // CR LF, LF and CR alone all end a line; CR LF counts as one.
    if (c == '\r') {
        endLine();
        afterCr_ = true;
        return;
    }
    if (c == '\n') {
        if (!afterCr_) {
            endLine();
        }
        afterCr_ = false;
        return;
    }
    afterCr_ = false;
    if (endSeen_) {
        fail("something follows the end-of-file record");
        return;
    }
    if (lineChars_++ == 0) {
        if (c != ':') {
            fail("the line does not start with \":\"");
        }
        return;
    }
    const int value = platform::hexDigitValue(c);
    if (value < 0) {
        fail(shown(c) + " is not a hexadecimal digit");
        return;
    }
    if (digits_++ % 2 == 0) {
        highNibble_ = static_cast<unsigned>(value);
        return;
    }
    const auto byte = static_cast<std::uint8_t>(highNibble_ << 4 | static_cast<unsigned>(value));
    if (bytes_ == 0) {
        length_ = byte;
    } else if (bytes_ == 3) {
        type_ = byte;
    }
    sum_ = static_cast<std::uint8_t>(sum_ + byte);
    ++bytes_;
}

void IntelHexCheck::endLine() {
    if (lineChars_ > 0) {
        endRecord();
    }
    if (fault_) {
        return;
    }
    ++line_;
    lineChars_ = 0;
    digits_ = 0;
    bytes_ = 0;
    sum_ = 0;
    length_ = 0;
    type_ = 0;
}

void IntelHexCheck::endRecord() {
    if (digits_ % 2 != 0) {
        fail("the record has an odd number of hexadecimal digits (" + std::to_string(digits_) +
             ")");
        return;
    }
    if (bytes_ < recordFrameBytes) {
        fail("the record is too short (" + std::to_string(bytes_) +
             (bytes_ == 1 ? " byte" : " bytes") + "; a record has at least 5)");
        return;
    }
    if (bytes_ - recordFrameBytes != length_) {
        fail("the length byte says " + std::to_string(length_) + " data bytes, the record holds " +
             std::to_string(bytes_ - recordFrameBytes));
        return;
    }
    if (sum_ != 0) {
        fail("record checksum is wrong");
        return;
    }
    if (type_ > lastKnownType) {
        fail("unknown record type " + twoDigits(type_));
        return;
    }
    endSeen_ = type_ == endOfFileType;
    lastRecordLine_ = line_;
}

void IntelHexCheck::fail(std::string what) {
    if (!fault_) {
        fault_ = HexFault{line_, std::move(what)};
    }
}

std::optional<HexFault> IntelHexCheck::finish() {
    if (!fault_ && lineChars_ > 0) {
        endRecord();
    }
    if (!fault_ && !endSeen_) {
        fault_ = HexFault{lastRecordLine_ + 1,
                          "the end-of-file record is missing (the file may be cut short)"};
    }
    return fault_;
}

bool isHexName(const std::string& fileName) {
    constexpr std::string_view ending = ".hex";
    if (fileName.size() < ending.size()) {
        return false;
    }
    const std::string_view tail =
        std::string_view(fileName).substr(fileName.size() - ending.size());
    for (std::size_t i = 0; i < ending.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(tail[i])) != ending[i]) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> hexFaultOf(const std::string& path, const std::string& fileName) {
    const CheckedImage file = openCheckedImage(path, false);
    IntelHexCheck check;
    std::array<char, readBlock> block{};
    while (!check.failed()) {
        const ssize_t count = ::read(file.fd, block.data(), block.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            const std::string reason = std::strerror(errno);
            ::close(file.fd);
            throw ImageError("Cannot read the firmware file " + path + ": " + reason + ".");
        }
        if (count == 0) {
            break;
        }
        check.feed(std::string_view(block.data(), static_cast<std::size_t>(count)));
    }
    ::close(file.fd);
    const auto fault = check.finish();
    if (!fault) {
        return std::nullopt;
    }
    return fileName + " line " + std::to_string(fault->line) + ": " + fault->what;
}

}  // namespace loader
