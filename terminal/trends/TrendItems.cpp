#include "terminal/trends/TrendItems.h"

#include <array>

#include "terminal/recording/ExportNames.h"
#include "terminal/troublecodes/TroubleCodes.h"
#include "terminal/vehicle/EngineDashboardMap.h"
#include "terminal/vehicle/EngineParameters.h"

namespace terminal {

namespace {

constexpr std::size_t levelItems = 1;
constexpr std::size_t firstLampItem = levelItems + engineDisplays.size();

std::vector<TrendItem> buildItems() {
    std::vector<TrendItem> items;
    // The level's column has no caption of its own: the header's name is used throughout.
    items.push_back({"level", "level", "", "level", TrendItemKind::level, 0, 0});
    for (const EngineDisplay& display : engineDisplays) {
        items.push_back({engineValueName(display), std::string(withoutPadding(display.caption)),
                         std::string(withoutPadding(display.units)), std::string(display.key),
                         TrendItemKind::display, display.id, display.decimals});
    }
    for (const EngineLamp& lamp : engineLamps) {
        items.push_back({std::string(lamp.label), std::string(lamp.label), "", "",
                         TrendItemKind::lamp, lamp.id, 0});
    }
    for (const TroubleCodeLamp& lamp : troubleCodeLamps) {
        const std::string name = troubleCodeLampName(lamp);
        items.push_back({name, name, "", "", TrendItemKind::lamp, lamp.id, 0});
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
