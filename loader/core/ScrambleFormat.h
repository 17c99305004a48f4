#pragma once
// The scrambled ("Vlf") image format: the key constants and the arithmetic on both ends.
//
// These values MUST match the tool that produces .Vlf files and the target's boot loader.
// Changing any of them makes every existing scrambled image program garbage into the PIC.

#include <cstdint>

namespace loader::scramble {

// File key: K0 = (S * keyMultiplier0) ^ keyMask0, K1 = (S * keyMultiplier1) ^ keyMask1,
// where S is the file's byte at offset 0; products modulo 256.
inline constexpr std::uint8_t keyMultiplier0 = 0x3B;
inline constexpr std::uint8_t keyMask0 = 0xA7;
inline constexpr std::uint8_t keyMultiplier1 = 0x6D;
inline constexpr std::uint8_t keyMask1 = 0x5C;

// Stand-ins for a key or mask byte that comes out 0 (a 0 would leave bytes unscrambled).
inline constexpr std::uint8_t keySubstitute0 = 0x4F;
inline constexpr std::uint8_t keySubstitute1 = 0xB2;
inline constexpr std::uint8_t maskSubstituteD = 0x2D;
inline constexpr std::uint8_t maskSubstituteE = 0x91;

// Bytes of the scrambled image that carry the session values instead of file bytes.
inline constexpr std::uint32_t sessionByteCount = 4;

struct SessionMask {
    std::uint8_t d;
    std::uint8_t e;
};

struct FileKey {
    std::uint8_t k0;
    std::uint8_t k1;
};

inline std::uint8_t lowByte(std::uint16_t v) {
    return static_cast<std::uint8_t>(v & 0xFF);
}
inline std::uint8_t highByte(std::uint16_t v) {
    return static_cast<std::uint8_t>(v >> 8);
}

// D and E from the two session values; neither is ever 0.
inline SessionMask deriveMask(std::uint16_t r1, std::uint16_t r2) {
    auto d = static_cast<std::uint8_t>((lowByte(r1) * highByte(r1)) ^ lowByte(r2));
    auto e = static_cast<std::uint8_t>((lowByte(r2) * highByte(r1)) ^ highByte(r2));
    return {d == 0 ? maskSubstituteD : d, e == 0 ? maskSubstituteE : e};
}

// K0 and K1 from the file's first byte; neither is ever 0.
inline FileKey deriveKey(std::uint8_t seed) {
    auto k0 = static_cast<std::uint8_t>((seed * keyMultiplier0) ^ keyMask0);
    auto k1 = static_cast<std::uint8_t>((seed * keyMultiplier1) ^ keyMask1);
    return {k0 == 0 ? keySubstitute0 : k0, k1 == 0 ? keySubstitute1 : k1};
}

// Q: what the file byte becomes under the file key; the target writes this.
inline std::uint8_t keyed(std::uint8_t fileByte, FileKey key) {
    return static_cast<std::uint8_t>((fileByte ^ key.k0) - key.k1);
}

// T: what goes on the line for Q under the session mask.
inline std::uint8_t masked(std::uint8_t q, SessionMask mask) {
    return static_cast<std::uint8_t>(mask.e ^ static_cast<std::uint8_t>(q + mask.d));
}

// Q recovered from a line byte T and the session mask alone.
inline std::uint8_t unmasked(std::uint8_t t, SessionMask mask) {
    return static_cast<std::uint8_t>((t ^ mask.e) - mask.d);
}

}  // namespace loader::scramble
