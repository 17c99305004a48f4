#include "terminal/recording/ExportNames.h"

#include "terminal/dashboard/ControlIds.h"

namespace terminal {

namespace {

constexpr bool isKeyCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// Scripts and files name the values by these keys for good: each one lower-case snake case,
// and no two alike.
constexpr bool keysAreSnakeCaseAndUnique() {
    for (std::size_t i = 0; i < engineDisplays.size(); ++i) {
        const std::string_view key = engineDisplays[i].key;
        if (key.empty() || !(key.front() >= 'a' && key.front() <= 'z') || key.back() == '_') {
            return false;
        }
        for (char c : key) {
            if (!isKeyCharacter(c)) {
                return false;
            }
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (engineDisplays[j].key == key) {
                return false;
            }
        }
    }
    return true;
}
static_assert(keysAreSnakeCaseAndUnique());
}  // namespace

std::string_view withoutPadding(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

std::string engineValueName(const EngineDisplay& display) {
    std::string name(withoutPadding(display.caption));
    name += " [";
    name += withoutPadding(display.units);
    name += "]";
    return name;
}

std::string troubleCodeLampName(const TroubleCodeLamp& lamp) {
    std::string_view controller = "Engine";
    if (lamp.id == ids::absAmberLamp || lamp.id == ids::absRedStopLamp) {
        controller = "ABS";
    } else if (lamp.id == ids::transmissionAmberLamp || lamp.id == ids::transmissionRedStopLamp) {
        controller = "Transmission";
    }
    return std::string(controller) + " " + std::string(lamp.label);
}

}  // namespace terminal
