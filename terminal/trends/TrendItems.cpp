#include "terminal/trends/TrendItems.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "terminal/recording/ExportNames.h"
#include "terminal/troublecodes/TroubleCodes.h"
#include "terminal/vehicle/EngineDashboardMap.h"
#include "terminal/vehicle/EngineParameters.h"

namespace terminal {

namespace {

constexpr std::size_t levelItems = 1;
constexpr std::size_t firstLampItem = levelItems + engineDisplays.size();

struct ValueRange {
    std::string_view key;
    double lowest;
    double highest;
};

// Each engine value's J1939 range, converted as the dashboard converts it: 0 to the largest
// valid raw value (0xFA, 0xFAFF, 0xFAFFFFFF) at the parameter's resolution and offset.
constexpr std::array<ValueRange, 27> valueRanges{{
    {"engine_rpm", 0, 8031.875},                  // 0.125 rpm/bit
    {"engine_load_pct", 0, 250},                  // 1 %/bit
    {"oil_pressure_psi", 0, 145},                 // 4 kPa/bit, to 1000 kPa
    {"fuel_rate_gph", 0, 848.7192355},            // 0.05 L/h per bit, to 3212.75 L/h
    {"engine_hours", 0, 210554060.75},            // 0.05 h/bit, four bytes
    {"coolant_temp_f", -40, 410},                 // 1 C/bit from -40 C, to 210 C
    {"accelerator_pct", 0, 100},                  // 0.4 %/bit
    {"trip_miles", 0, 327081382.3524},            // 0.125 km/bit, four bytes
    {"total_distance_miles", 0, 327081382.3524},  //
    {"vehicle_speed_mph", 0, 155.9621355},        // 1/256 km/h per bit, to 251 km/h
    {"fuel_economy_mpg", 0, 295.1902310},         // 1/512 km/L per bit, to 125.5 km/L
    {"boost_pressure_psi", 0, 72.5},              // 2 kPa/bit, to 500 kPa
    {"inlet_air_temp_f", -40, 410},               //
    {"battery_v", 0, 3212.75},                    // 0.05 V/bit
    {"fuel_level_pct", 0, 100},                   //
    {"trans_oil_temp_f", -459.4, 3154.94375},     // 0.03125 C/bit from -273 C
    {"oil_temp_f", -459.4, 3154.94375},           //
    {"oil_level_pct", 0, 100},                    //
    {"coolant_pressure_psi", 0, 72.5},            //
    {"coolant_level_pct", 0, 100},                //
    {"fuel_temp_f", -40, 410},                    //
    {"exhaust_temp_f", -459.4, 3154.94375},       //
    {"actual_torque_pct", -125, 125},             // 1 %/bit from -125 %
    {"friction_torque_pct", -125, 125},           //
    {"egr_flow_kg_h", 0, 3212.75},                // 0.05 kg/h per bit
    {"inlet_air_flow_kg_h", 0, 3212.75},          //
    {"air_inlet_pressure_psi", 0, 72.5},          //
}};

ValueRange rangeOf(std::string_view key) {
    for (const ValueRange& range : valueRanges) {
        if (range.key == key) {
            return range;
        }
    }
    return {key, -HUGE_VAL, HUGE_VAL};
}

std::vector<TrendItem> buildItems() {
    std::vector<TrendItem> items;
    // The level's column has no caption of its own: the header's name is used throughout.
    items.push_back({"level", "level", "", "level", TrendItemKind::level, 0, 0, 0, 255});
    for (const EngineDisplay& display : engineDisplays) {
        const ValueRange range = rangeOf(display.key);
        items.push_back({engineValueName(display), std::string(withoutPadding(display.caption)),
                         std::string(withoutPadding(display.units)), std::string(display.key),
                         TrendItemKind::display, display.id, display.decimals, range.lowest,
                         range.highest});
    }
    for (const EngineLamp& lamp : engineLamps) {
        items.push_back({std::string(lamp.label), std::string(lamp.label), "", "",
                         TrendItemKind::lamp, lamp.id, 0, 0, 1});
    }
    for (const TroubleCodeLamp& lamp : troubleCodeLamps) {
        const std::string name = troubleCodeLampName(lamp);
        items.push_back({name, name, "", "", TrendItemKind::lamp, lamp.id, 0, 0, 1});
    }
    return items;
}

// Per engine value, its value at every level.
using LevelTable = std::array<std::array<float, 256>, engineDisplays.size()>;

LevelTable buildLevelTable() {
    LevelTable table{};
    for (unsigned level = 0; level < 256; ++level) {
        const EngineParameters values =
            computeEngineParameters(static_cast<std::uint8_t>(level), false);
        for (std::size_t i = 0; i < engineDisplays.size(); ++i) {
            table[i][level] = values.*engineDisplays[i].field;
        }
    }
    return table;
}

}  // namespace

const std::vector<TrendItem>& trendItems() {
    static const std::vector<TrendItem> items = buildItems();
    return items;
}

bool withinRange(std::size_t item, double value) {
    if (item >= trendItems().size() || !std::isfinite(value)) {
        return false;
    }
    const TrendItem& entry = trendItems()[item];
    // The recording keeps single precision: a bound may round a little past itself.
    const double slack = 1e-6 * std::max({1.0, std::abs(entry.lowest), std::abs(entry.highest)});
    return value >= entry.lowest - slack && value <= entry.highest + slack;
}

std::optional<std::size_t> trendItemIndex(std::string_view name) {
    const std::vector<TrendItem>& items = trendItems();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].name == name) {
            return i;
        }
    }
    return std::nullopt;
}

std::vector<std::size_t> defaultTrendItems() {
    std::vector<std::size_t> chosen;
    for (float EngineParameters::*field :
         {&EngineParameters::engineSpeedRpm, &EngineParameters::coolantTempF,
          &EngineParameters::vehicleSpeedMph}) {
        for (std::size_t i = 0; i < engineDisplays.size(); ++i) {
            if (engineDisplays[i].field == field) {
                chosen.push_back(levelItems + i);
            }
        }
    }
    chosen.push_back(0);  // the level
    return chosen;
}

const std::array<float, 256>* engineValuesByLevel(std::size_t item) {
    static const LevelTable table = buildLevelTable();
    if (item < levelItems || item >= firstLampItem) {
        return nullptr;
    }
    return &table[item - levelItems];
}

double engineValueAtLevel(std::size_t item, std::uint8_t level) {
    const std::array<float, 256>* values = engineValuesByLevel(item);
    return values ? (*values)[level] : 0.0;
}

std::uint32_t lampBits(const VehicleSnapshot& shown) {
    const std::vector<TrendItem>& items = trendItems();
    std::uint32_t bits = 0;
    for (std::size_t i = firstLampItem; i < items.size(); ++i) {
        if (shown.lamp(items[i].id)) {
            bits |= std::uint32_t{1} << (i - firstLampItem);
        }
    }
    return bits;
}

int lampBit(std::size_t item) {
    return item >= firstLampItem ? static_cast<int>(item - firstLampItem) : -1;
}

}  // namespace terminal
