#pragma once
// The pre-flight of an Intel HEX image. The target erases its application flash on the start
// byte, so a file cut short by a failed copy or holding a damaged record would leave the board
// without an application; the file is therefore read through once before that byte. Only the
// form is checked: every line that is not empty is a record (":" and an even number of
// hexadecimal digits, a length byte that matches, a checksum that brings the record's bytes to
// zero modulo 256, a record type 00 to 05), and there is exactly one end-of-file record with
// nothing but line ends after it. Addresses and data are the boot loader's business; the bytes
// sent are never changed.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace loader {

// The first fault of a file: its line (counted from 1) and what is wrong there.
struct HexFault {
    std::uint64_t line = 0;
    std::string what;
};

class IntelHexCheck {
public:
    // Takes the next piece of the file; pieces may split lines anywhere.
    void feed(std::string_view bytes);
    // After the last piece: the first fault, or nothing for a sound file.
    std::optional<HexFault> finish();
    // Whether a fault has been found already (the rest of the file need not be read).
    bool failed() const { return fault_.has_value(); }

private:
    void take(char c);
    void endLine();
    void endRecord();
    void fail(std::string what);

    std::uint64_t line_ = 1;
    std::uint64_t lastRecordLine_ = 0;
    // Characters of the current line so far, line ends not counted.
    std::uint64_t lineChars_ = 0;
    bool afterCr_ = false;
    // Record being read: its digits, its bytes so far and their sum.
    std::uint64_t digits_ = 0;
    unsigned highNibble_ = 0;
    std::uint64_t bytes_ = 0;
    std::uint8_t sum_ = 0;
    std::uint8_t length_ = 0;
    std::uint8_t type_ = 0;
    bool endSeen_ = false;
    std::optional<HexFault> fault_;
};

// Whether an image of this name is checked: the name ends in ".hex", in any case.
bool isHexName(const std::string& fileName);

// Reads the file at `path` through the check: "fw.hex line 3: record checksum is wrong", with
// `fileName` in front, or nothing for a sound file. Throws ImageError when it cannot be read.
std::optional<std::string> hexFaultOf(const std::string& path, const std::string& fileName);

}  // namespace loader
