#pragma once
// Test helpers that write simulator lines the way the simulator does, independently of the
// terminal's own encoder.

#include <cstdint>
#include <string>

namespace linetest {

inline std::string reversedPair(unsigned byte) {
    const char* digits = "0123456789ABCDEF";
    return {digits[byte & 0xF], digits[(byte >> 4) & 0xF]};
}

// `body` followed by its checksum (reversed pair) and CR LF.
inline std::string checksummed(const std::string& body) {
    unsigned sum = 0;
    for (unsigned char c : body) {
        sum += c;
    }
    return body + reversedPair((256 - sum % 256) % 256) + "\r\n";
}

// The same with the checksum one off, so the line must be refused.
inline std::string badChecksum(const std::string& body) {
    unsigned sum = 0;
    for (unsigned char c : body) {
        sum += c;
    }
    return body + reversedPair((257 - sum % 256) % 256) + "\r\n";
}

inline std::string identification(std::uint32_t serial, unsigned versionByte) {
    std::string body = "ACK ID00";
    for (int i = 0; i < 4; ++i) {
        body += reversedPair((serial >> (8 * i)) & 0xFF);
    }
    return checksummed(body + reversedPair(versionByte));
}

inline std::string simulationStatus(unsigned level, unsigned flags) {
    return checksummed("BRC %S" + reversedPair(level) + reversedPair(flags));
}

inline std::string addressClaim(unsigned status) {
    return checksummed("BRC ACS" + reversedPair(status));
}

inline std::string engineClock(unsigned x, unsigned y) {
    return checksummed("BRC CLK" + reversedPair(x) + reversedPair(y));
}

}  // namespace linetest
