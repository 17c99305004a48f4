#pragma once
// The fixed codes of the simulator link: line settings, the keypad's key codes and the CAN
// baud-rate codes with their texts.

#include <cstdint>
#include <string_view>

namespace terminal::wire {

inline constexpr std::string_view lineSettings = "115200,n,8,1";

// Key codes of "AT KI". Warnings shares Menu's code.
inline constexpr std::uint8_t keyUp = 0x02;
inline constexpr std::uint8_t keyDown = 0x01;
inline constexpr std::uint8_t keyMenu = 0x10;
inline constexpr std::uint8_t keyWarnings = 0x10;
inline constexpr std::uint8_t keyQuiet = 0x43;
inline constexpr std::uint8_t keyDynamic = 0x52;
inline constexpr std::uint8_t keyResetEngineDm2 = 0x51;

// CAN baud-rate codes, the same in both directions.
inline constexpr std::uint8_t rate250k = 0;
inline constexpr std::uint8_t rate62k5 = 1;
inline constexpr std::uint8_t rate125k = 2;
inline constexpr std::uint8_t rate500k = 3;
inline constexpr std::uint8_t rate1m = 4;

inline constexpr std::string_view rateText250k = "250K bps";
inline constexpr std::string_view rateText62k5 = "62.5K bps";
inline constexpr std::string_view rateText125k = "125K bps";
inline constexpr std::string_view rateText500k = "500K bps";
inline constexpr std::string_view rateText1m = "1M bps";
inline constexpr std::string_view rateTextInvalid = "invalid";

// The text shown for a received rate code ("invalid" above 4).
std::string_view rateText(std::uint8_t code);
// A code that names one of the five rates.
constexpr bool isRateCode(std::uint8_t code) {
    return code <= rate1m;
}

// The code digit sent for a rate text: exact, case-sensitive match in the order 250K, 500K,
// 62.5K, 125K, 1M; any other text gives '0'.
char rateDigit(std::string_view text);

}  // namespace terminal::wire
