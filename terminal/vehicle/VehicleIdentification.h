#pragma once
// The vehicle identification number shown on the dashboard: a fixed template whose three
// digits before the final '*' carry the level applied.

#include <cstdint>
#include <string>
#include <string_view>

namespace terminal {

// Positions 14..16 ("788") are always overwritten before the text is shown.
inline constexpr std::string_view vinTemplate = "1M8GDM9AXKP042788*";

std::string vinTextForLevel(std::uint8_t level);

}  // namespace terminal
