#include "terminal/vehicle/EngineRawValues.h"

namespace terminal {

namespace {

// Every intermediate is non-negative and below 2^31 for levels 0..255, so plain 64-bit
// arithmetic followed by truncation to the value's width gives the wrapped results.
constexpr std::uint8_t mod8(std::int64_t v) {
    return static_cast<std::uint8_t>(v & 0xFF);
}
constexpr std::uint16_t mod16(std::int64_t v) {
    return static_cast<std::uint16_t>(v & 0xFFFF);
}
constexpr std::uint32_t mod32(std::int64_t v) {
    return static_cast<std::uint32_t>(v & 0xFFFFFFFF);
}

// Last level of the normal range; above it most values ramp to their largest valid value.
constexpr std::int64_t normalTop = 80;

}  // namespace

EngineRawValues computeEngineRawValues(std::uint8_t level) {
    const std::int64_t L = level;
    const bool normal = L <= normalTop;
    EngineRawValues r;

    r.rawByte = mod8(5 * L / 2);
    r.rawHalf = mod8(r.rawByte / 2);
    r.rawWord = mod16(12851 * L / 20);
    r.rawTorque = mod8(5 * L / 4 + 125);

    if (normal) {
        r.rawBattery = mod16(15 * L / 2);
    } else if (L <= 90) {
        r.rawBattery = mod16(60 * L - 4200);
    } else {
        r.rawBattery = mod16((12611 * L - 1134990) / 2 + 1200);
    }

    if (L <= 20) {
        r.rawOilTemp = mod16(1864 * L / 5);
    } else if (normal) {
        r.rawOilTemp = mod16((384 * L - 7680) / 3 + 7456);
    } else {
        r.rawOilTemp = mod16((49119 * L - 3929520) / 20 + 15136);
    }

    if (normal) {
        r.rawTrip = mod32(200 * L);
        r.rawTotal = mod32(400 * L);
        r.rawHours = mod32(250 * L);
        r.rawInletTemp = mod8(2 * L);
        r.rawEconomy = mod16(1959 * L / 8);
        r.rawFuelRate = mod16(2271 * L / 40);
        r.rawExhaustTemp = mod16(1846 * L / 5);
    } else {
        r.rawTrip = mod32((L - 80) * 1995998 / 5 + 16000);
        r.rawTotal = mod32((L - 80) * 1991998 / 5 + 32000);
        r.rawHours = mod32(998999 * L - 79899920);
        r.rawInletTemp = mod8(160 + 9 * (L - 80) / 2);
        r.rawEconomy = mod16((8933 * L - 714640) / 4 + 19590);
        r.rawFuelRate = mod16((59713 * L - 4777040) / 20 + 4542);
        r.rawExhaustTemp = mod16((34719 * L - 2777520) / 20 + 29536);
    }
    return r;
}

}  // namespace terminal
