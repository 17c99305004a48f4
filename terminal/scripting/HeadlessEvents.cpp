#include "terminal/scripting/HeadlessEvents.h"

#include <string_view>

#include "terminal/recording/ExportNames.h"
#include "terminal/scripting/JsonLine.h"
#include "terminal/troublecodes/TroubleCodes.h"
#include "terminal/vehicle/EngineDashboardMap.h"

namespace terminal::headless {

namespace {

JsonObject event(std::string_view name) {
    JsonObject object;
    object.addText("event", name);
    return object;
}

}  // namespace

std::string linkEvent(LinkState state, const std::string& port, const std::string& device) {
    return event("link")
        .addText("state", linkStateName(state))
        .addText("port", port)
        .addText("device", device)
        .text();
}

std::string identifiedEvent(std::uint32_t serial, const std::string& firmwareText,
                            const std::string& canRateText, bool accepted) {
    // The firmware box shows the version right-aligned in five characters (" 0.2D").
    return event("identified")
        .addInteger("serial", serial)
        .addText("firmware", withoutPadding(firmwareText))
        .addText("can_rate", canRateText)
        .addBool("accepted", accepted)
        .text();
}

std::vector<std::string> linkEvents(LinkState state, const std::string& port,
                                    const std::string& device, const DashboardState& panel) {
    std::vector<std::string> lines{linkEvent(state, port, device)};
    if (state == LinkState::identified || state == LinkState::refused) {
        lines.push_back(identifiedEvent(panel.serialNumber, panel.firmwareVersionText,
                                        panel.canBaudText, state == LinkState::identified));
    }
    return lines;
}

std::string ackEvent(const std::string& command) {
    return event("ack").addText("command", command).text();
}

std::string unchangedEvent(const std::string& command, bool on) {
    return event("unchanged").addText("command", command).addBool("on", on).text();
}

std::string errorEvent(const std::string& message) {
    return event("error").addText("message", message).text();
}

std::string statusEvent(const DashboardPicture& picture) {
    const DashboardState emptyPanel;
    const DashboardState& panel = picture.panel != nullptr ? *picture.panel : emptyPanel;
    const StatusRecord emptyRecord;
    const StatusRecord& record = picture.shown != nullptr ? picture.shown->record : emptyRecord;
    JsonObject modes;
    modes.addBool("dynamic", record.modes.dynamicOn)
        .addBool("quiet", record.modes.quietOn)
        .addBool("warnings", record.modes.warningsOn)
        .addBool("reset_dm2", record.modes.resetEngineDm2On);
    JsonObject values;
    for (const EngineDisplay& display : engineDisplays) {
        values.addNumber(engineValueName(display), valueOf(record, display));
    }
    for (const EngineDisplay& display : engineDisplays) {
        values.addNumber(display.key, valueOf(record, display));
    }
    JsonObject lamps;
    for (const EngineLamp& lamp : engineLamps) {
        lamps.addBool(lamp.label, litIn(record, lamp));
    }
    for (const TroubleCodeLamp& lamp : troubleCodeLamps) {
        lamps.addBool(troubleCodeLampName(lamp), litIn(record, lamp));
    }
    JsonObject codes;
    for (const TroubleCodeBoxName& box : troubleCodeBoxes) {
        std::vector<JsonObject> shown;
        for (const TroubleCode& code : troubleCodesOf(box, record)) {
            JsonObject item;
            item.addInteger("spn", code.spn)
                .addInteger("fmi", code.fmi)
                .addInteger("oc", code.oc)
                .addInteger("cm", code.cm);
            shown.push_back(item);
        }
        codes.addObjects(box.caption, shown);
    }
    return event("status")
        .addNumber("time", picture.seconds)
        .addInteger("level", record.level)
        .addText("engine_clock", panel.engineClockText)
        .addObject("modes", modes)
        .addObject("values", values)
        .addObject("lamps", lamps)
        .addObject("trouble_codes", codes)
        .text();
}

}  // namespace terminal::headless
