#include "terminal/core/DashboardExport.h"

#include <cstdio>
#include <ctime>

#include "terminal/core/EngineDashboardMap.h"
#include "terminal/core/ExportNames.h"
#include "terminal/core/ExportNumber.h"
#include "terminal/core/TroubleCodeRows.h"
#include "terminal/core/TroubleCodes.h"

namespace terminal {

std::string localTimeText(std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count() %
        1000;
    if (millis < 0) {
        millis += 1000;
    }
    // One thread per program: the standard's shared result is safe to copy here.
    const std::tm local = *std::localtime(&seconds);
    char date[32];
    char offset[8];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    std::strftime(offset, sizeof offset, "%z", &local);  // "+0100"
    char text[64];
    std::snprintf(text, sizeof text, "%s.%03d%.3s:%.2s", date, static_cast<int>(millis), offset,
                  offset + 3);
    return text;
}

std::vector<std::string> dashboardCsvHeader() {
    std::vector<std::string> header{"time", "link", "level"};
    for (const EngineDisplay& display : engineDisplays) {
        header.push_back(engineValueName(display));
    }
    for (const EngineLamp& lamp : engineLamps) {
        header.emplace_back(lamp.label);
    }
    for (const TroubleCodeLamp& lamp : troubleCodeLamps) {
        header.push_back(troubleCodeLampName(lamp));
    }
    for (std::string_view caption :
         {engineDm1Caption, absDm1Caption, transmissionDm1Caption, engineDm2Caption}) {
        header.emplace_back(caption);
    }
    return header;
}

std::vector<std::string> dashboardCsvRow(const std::string& time, const VehicleSnapshot& shown,
                                         const DashboardState& panel) {
    std::vector<std::string> row{time, std::string(linkStateName(shown.link)),
                                 std::to_string(shown.level)};
    for (const EngineDisplay& display : engineDisplays) {
        row.push_back(exportNumber(shown.display(display.id)));
    }
    for (const EngineLamp& lamp : engineLamps) {
        row.emplace_back(shown.lamp(lamp.id) ? "1" : "0");
    }
    for (const TroubleCodeLamp& lamp : troubleCodeLamps) {
        row.emplace_back(shown.lamp(lamp.id) ? "1" : "0");
    }
    for (const std::string* text : {&panel.engineDm1Text, &panel.absDm1Text,
                                    &panel.transmissionDm1Text, &panel.engineDm2Text}) {
        row.emplace_back(withoutLineEnd(*text));
    }
    return row;
}

std::string allValuesText(const VehicleSnapshot& shown) {
    std::string text;
    for (const EngineDisplay& display : engineDisplays) {
        text += withoutPadding(display.caption);
        text += '\t';
        text += exportNumber(shown.display(display.id));
        text += '\t';
        text += withoutPadding(display.units);
        text += '\n';
    }
    for (const EngineLamp& lamp : engineLamps) {
        if (shown.lamp(lamp.id)) {
            text += lamp.label;
            text += "\tlit\n";
        }
    }
    for (const TroubleCodeLamp& lamp : troubleCodeLamps) {
        if (shown.lamp(lamp.id)) {
            text += troubleCodeLampName(lamp);
            text += "\tlit\n";
        }
    }
    return text;
}

std::string troubleCodeText(std::string_view rows) {
    std::string text(rows::caption);
    text += '\n';
    while (!rows.empty()) {
        const std::size_t end = rows.find('\n');
        std::string_view row = rows.substr(0, end);
        rows = end == std::string_view::npos ? std::string_view() : rows.substr(end + 1);
        row = withoutLineEnd(row);
        text += row;
        text += '\n';
    }
    return text;
}

}  // namespace terminal
