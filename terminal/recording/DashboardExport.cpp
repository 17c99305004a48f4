#include "terminal/recording/DashboardExport.h"

#include <cstdio>
#include <ctime>

#include "terminal/recording/ExportNames.h"
#include "terminal/recording/ExportNumber.h"
#include "terminal/troublecodes/TroubleCodes.h"
#include "terminal/vehicle/EngineDashboardMap.h"

namespace terminal {

namespace {

// SPN, FMI, OC and CM in decimal with `separator` between them.
std::string codeFields(const TroubleCode& code, char separator) {
    return std::to_string(code.spn) + separator + std::to_string(code.fmi) + separator +
           std::to_string(code.oc) + separator + std::to_string(code.cm);
}

}  // namespace

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
    for (const TroubleCodeBoxName& box : troubleCodeBoxes) {
        header.emplace_back(box.caption);
    }
    return header;
}

std::vector<std::string> dashboardCsvRow(const std::string& time, const VehicleSnapshot& shown) {
    std::vector<std::string> row{time, std::string(linkStateName(shown.link))};
    if (!shown.readings) {
        // As many cells as the header, so every reader sees the columns line up.
        row.resize(dashboardCsvHeader().size());
        return row;
    }
    const StatusRecord& record = shown.record;
    row.push_back(std::to_string(record.level));
    for (const EngineDisplay& display : engineDisplays) {
        row.push_back(exportNumber(valueOf(record, display)));
    }
    for (const EngineLamp& lamp : engineLamps) {
        row.emplace_back(litIn(record, lamp) ? "1" : "0");
    }
    for (const TroubleCodeLamp& lamp : troubleCodeLamps) {
        row.emplace_back(litIn(record, lamp) ? "1" : "0");
    }
    for (const TroubleCodeBoxName& box : troubleCodeBoxes) {
        row.push_back(troubleCodeCell(troubleCodesOf(box, record)));
    }
    return row;
}

std::string troubleCodeCell(const std::vector<TroubleCode>& codes) {
    std::string cell;
    for (const TroubleCode& code : codes) {
        if (!cell.empty()) {
            cell += ' ';
        }
        cell += codeFields(code, ':');
    }
    return cell;
}

std::string noReadingsReason(const VehicleSnapshot& shown) {
    if (shown.readings) {
        return {};
    }
    std::string reason = "the link is " + std::string(linkStateName(shown.link));
    if (shown.link == LinkState::identified) {
        reason += ", but no status line has come since";
    }
    return reason;
}

std::string allValuesText(const VehicleSnapshot& shown) {
    if (!shown.readings) {
        return "No values: " + noReadingsReason(shown) + "\n";
    }
    const StatusRecord& record = shown.record;
    std::string text;
    for (const EngineDisplay& display : engineDisplays) {
        text += withoutPadding(display.caption);
        text += '\t';
        text += exportNumber(valueOf(record, display));
        text += '\t';
        text += withoutPadding(display.units);
        text += '\n';
    }
    for (const EngineLamp& lamp : engineLamps) {
        if (litIn(record, lamp)) {
            text += lamp.label;
            text += "\tlit\n";
        }
    }
    for (const TroubleCodeLamp& lamp : troubleCodeLamps) {
        if (litIn(record, lamp)) {
            text += troubleCodeLampName(lamp);
            text += "\tlit\n";
        }
    }
    return text;
}

std::string troubleCodeText(const std::vector<TroubleCode>& codes) {
    std::string text = "SPN\tFMI\tOC\tCM\n";
    for (const TroubleCode& code : codes) {
        text += codeFields(code, '\t') + '\n';
    }
    return text;
}

}  // namespace terminal
