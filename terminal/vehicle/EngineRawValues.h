#pragma once
// The level turned into fixed-width J1939 raw integers (resolution and offset of each
// parameter). Levels 0..80 climb through the normal range, 81..100 ramp to the largest valid
// raw value, and higher levels wrap at each value's own width.

#include <cstdint>

namespace terminal {

struct EngineRawValues {
    std::uint8_t rawByte = 0;
    std::uint8_t rawHalf = 0;
    std::uint16_t rawWord = 0;
    std::uint8_t rawTorque = 0;
    std::uint16_t rawBattery = 0;
    std::uint16_t rawOilTemp = 0;
    std::uint32_t rawTrip = 0;
    std::uint32_t rawTotal = 0;
    std::uint32_t rawHours = 0;
    std::uint8_t rawInletTemp = 0;
    std::uint16_t rawEconomy = 0;
    std::uint16_t rawFuelRate = 0;
    std::uint16_t rawExhaustTemp = 0;
};

EngineRawValues computeEngineRawValues(std::uint8_t level);

}  // namespace terminal
