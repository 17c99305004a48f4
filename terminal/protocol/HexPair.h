#pragma once
// The byte encodings of the simulator link: every numeric field travels as two ASCII hex
// digits with the low nibble's digit first, and each checksummed line ends with a checksum
// byte that brings the sum of the line to zero.

#include <array>
#include <cstdint>
#include <string_view>

namespace terminal {

// One byte from its high-nibble character and its low-nibble character. The characters are
// not validated: any other character yields some byte, and its line then fails the checksum.
std::uint8_t decodeHexPair(char high, char low);

// The two digits of `byte`, low nibble's digit first ("A3" for 0x3A), upper case.
std::array<char, 2> encodeHexPair(std::uint8_t byte);

// The checksum to send after `bytes`: the two's complement of their 8-bit sum.
std::uint8_t lineChecksum(std::string_view bytes);

// True when the `length` bytes at the front of `line` plus the reversed checksum pair that
// follows them add up to 0 modulo 256.
bool checksumMatches(std::string_view line, std::size_t length);

}  // namespace terminal
