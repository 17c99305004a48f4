#pragma once
// The values the Trends window can plot: the recording's numeric columns (the level, the 27
// engine values and the 27 lamps), under the recording's own column names, in its order.
// The names are built by the functions that build the CSV header, so a plot, a --values
// argument and a recording's column always agree.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "terminal/dashboard/VehicleSnapshot.h"

namespace terminal {

enum class TrendItemKind { level, display, lamp };

struct TrendItem {
    std::string name;     // the CSV column: "level", "Engine RPM [RPM]", "Parking", "ABS Amber"
    std::string caption;  // the name without its unit: "Engine RPM"
    std::string unit;     // "RPM"; empty for the level and the lamps
    std::string key;      // the short key: "level", "engine_rpm"; empty for the lamps
    TrendItemKind kind;
    int id;        // the display or lamp control; 0 for the level
    int decimals;  // as the display shows the value; -1 where the display chooses
    // The values the item can take: an engine value's J1939 range (its largest valid raw
    // value, 0xFA for a byte, 0xFAFF for a word, 0xFAFFFFFF for four bytes, with its
    // resolution and offset) in the unit shown; a byte for the level; 0 and 1 for a lamp.
    double lowest;
    double highest;
};

const std::vector<TrendItem>& trendItems();
// Whether `value` is a reading `item` can hold: a finite number within its range.
bool withinRange(std::size_t item, double value);
// The item of a CSV column name, exactly as the header spells it.
std::optional<std::size_t> trendItemIndex(std::string_view name);
// The plots a new Trends window shows: Engine RPM, coolant temperature, speed, the level.
std::vector<std::size_t> defaultTrendItems();

// An engine value (a display item) as the dashboard computes it for `level`. Every engine
// value depends on the level alone (the Warnings mode changes a lamp, never a value), so the
// live history keeps the level and looks the values up here when it draws.
double engineValueAtLevel(std::size_t item, std::uint8_t level);
// The same for every level at once (nullptr for an item that is no engine value).
const std::array<float, 256>* engineValuesByLevel(std::size_t item);

// The 27 lamps as shown, one bit each in item order (bit 0: the first lamp item).
std::uint32_t lampBits(const VehicleSnapshot& shown);
// The bit of a lamp item in lampBits.
int lampBit(std::size_t item);

}  // namespace terminal
