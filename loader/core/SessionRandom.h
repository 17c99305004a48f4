#pragma once
// The generator of the session values: 0..32767, reseedable, the same on every platform
// (the C library's rand() differs between systems and would tie results to one of them).

#include <cstdint>

namespace loader {

class SessionRandom {
public:
    static constexpr int maxValue = 32767;

    void seed(std::uint32_t value) { state_ = value; }
    // The next value, 0..maxValue.
    int next();

private:
    std::uint32_t state_ = 1;
};

}  // namespace loader
