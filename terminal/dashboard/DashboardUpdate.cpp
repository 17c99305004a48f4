#include "terminal/dashboard/DashboardUpdate.h"

#include "terminal/dashboard/ControlIds.h"
#include "terminal/dashboard/StatusRecord.h"
#include "terminal/troublecodes/MultiPacketTables.h"
#include "terminal/troublecodes/TroubleCodeRows.h"
#include "terminal/troublecodes/TroubleCodes.h"
#include "terminal/vehicle/EngineDashboardMap.h"
#include "terminal/vehicle/EngineParameters.h"

namespace terminal {

void applyLevel(std::uint8_t level, TerminalView& view, DashboardState& state,
                std::uint16_t firmwareVersion) {
    // The modes the operator sees right now decide WIF and the trouble codes.
    view.readPanel(state);
    const EngineParameters params = computeEngineParameters(level, state.warningsOn);
    for (const EngineDisplay& display : engineDisplays) {
        view.setDisplayValue(display.id, params.*display.field);
    }
    for (const EngineLamp& lamp : engineLamps) {
        view.setLampActive(lamp.id, params.*lamp.field);
    }
    updateTroubleCodes(level, view, state, firmwareVersion);
    state.vinText = params.vinText;
    view.writePanel(state);
}

void updateTroubleCodes(std::uint8_t level, TerminalView& view, DashboardState& state,
                        std::uint16_t firmwareVersion) {
    const TroubleCodes codes =
        computeTroubleCodes(level, state.warningsOn, state.resetEngineDm2On, firmwareVersion);
    state.engineDm1Text = codes.engineDm1Text;
    state.engineDm2Text = codes.engineDm2Text;
    state.transmissionDm1Text = codes.transmissionDm1Text;
    state.absDm1Text = codes.absDm1Text;
    view.enableControl(ids::engineDm1MultiPacketButton, codes.engineDm1ButtonEnabled);
    view.enableControl(ids::engineDm2MultiPacketButton, codes.engineDm2ButtonEnabled);
    for (const TroubleCodeLamp& lamp : troubleCodeLamps) {
        view.setLampActive(lamp.id, codes.*lamp.field);
    }
}

StatusRecord statusRecord(std::uint8_t level, const SimulationModes& modes,
                          std::uint16_t firmwareVersion) {
    StatusRecord record;
    record.level = level;
    record.modes = modes;
    record.engine = computeEngineParameters(level, modes.warningsOn);
    record.troubleCodes =
        computeTroubleCodes(level, modes.warningsOn, modes.resetEngineDm2On, firmwareVersion);
    return record;
}

void resetTroubleCodes(TerminalView& view, DashboardState& state, MultiPacketLists& lists) {
    state.absDm1Text = rows::zero;
    state.engineDm2Text = rows::zero;
    state.transmissionDm1Text = rows::zero;
    state.engineDm1Text = rows::zero;
    view.enableControl(ids::engineDm1Edit, false);
    view.enableControl(ids::engineDm2Edit, false);
    view.enableControl(ids::absDm1Edit, false);
    view.enableControl(ids::transmissionDm1Edit, false);
    view.enableControl(ids::engineConfigurationButton, false);
    lists.engineDm2 = multiPacketList(engineDm2MultiPacketRows);
    lists.engineDm1 = multiPacketList(engineDm1MultiPacketRows);
}

}  // namespace terminal
