#pragma once
// Hexadecimal digits, one character each way. Header only: the device stand-ins use it too
// and link nothing of the programs.

namespace platform {

// 0 to 15 for '0'-'9', 'A'-'F' and 'a'-'f'; -1 for any other character.
constexpr int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// The upper-case digit of a nibble (0 to 15).
constexpr char upperHexDigit(unsigned nibble) {
    return static_cast<char>(nibble < 10 ? '0' + nibble : 'A' + nibble - 10);
}

}  // namespace platform
