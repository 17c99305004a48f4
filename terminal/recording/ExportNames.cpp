#include "terminal/recording/ExportNames.h"

#include "terminal/dashboard/ControlIds.h"

namespace terminal {

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
