#include "terminal/dashboard/qt/PanelTransfer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <array>
#include <cstdint>
#include <exception>
#include <string>

#include "terminal/dashboard/ControlIds.h"
#include "terminal/dashboard/qt/PanelText.h"
#include "terminal/link/qt/PortList.h"

namespace terminal::ui {

namespace {

// The text fields of the record and their boxes.
struct TextField {
    int id;
    std::string DashboardState::*field;
};

constexpr auto textFields = std::to_array<TextField>({
    {ids::firmwareVersionEdit, &DashboardState::firmwareVersionText},
    {ids::canBaudEdit, &DashboardState::canBaudText},
    {ids::engineClockEdit, &DashboardState::engineClockText},
    {ids::engineClaimEdit, &DashboardState::engineClaimText},
    {ids::absClaimEdit, &DashboardState::absClaimText},
    {ids::transmissionClaimEdit, &DashboardState::transmissionClaimText},
    {ids::engineDm1Edit, &DashboardState::engineDm1Text},
    {ids::absDm1Edit, &DashboardState::absDm1Text},
    {ids::transmissionDm1Edit, &DashboardState::transmissionDm1Text},
    {ids::engineDm2Edit, &DashboardState::engineDm2Text},
    {ids::vinEdit, &DashboardState::vinText},
});

struct CheckField {
    int id;
    bool DashboardState::*field;
};

constexpr auto checkFields = std::to_array<CheckField>({
    {ids::dynamicCheck, &DashboardState::dynamicOn},
    {ids::quietCheck, &DashboardState::quietOn},
    {ids::warningsCheck, &DashboardState::warningsOn},
    {ids::resetEngineDm2Check, &DashboardState::resetEngineDm2On},
});

// The serial number box holds what writePanel put there: an unsigned decimal.
std::uint32_t serialNumberOf(const std::string& text) {
    try {
        std::size_t used = 0;
        const unsigned long value = std::stoul(text, &used, 10);
        if (used == text.size() && value <= 0xFFFFFFFFul) {
            return static_cast<std::uint32_t>(value);
        }
    } catch (const std::exception&) {
    }
    return 0;
}

}  // namespace

void readPanel(const platform::DialogControls& controls, DashboardState& state) {
    state.portName = controls.get<QComboBox>(ids::portCombo)->currentText().toStdString();
    state.serialNumber = serialNumberOf(panelText(controls.get<QLineEdit>(ids::serialNumberEdit)));
    for (const TextField& text : textFields) {
        state.*text.field = panelText(controls.get<QLineEdit>(text.id));
    }
    for (const CheckField& check : checkFields) {
        state.*check.field = controls.get<QCheckBox>(check.id)->isChecked();
    }
}

void writePanel(const platform::DialogControls& controls, const DashboardState& state) {
    showPortName(controls.get<QComboBox>(ids::portCombo), QString::fromStdString(state.portName));
    showPanelText(controls.get<QLineEdit>(ids::serialNumberEdit),
                  std::to_string(state.serialNumber));
    for (const TextField& text : textFields) {
        showPanelText(controls.get<QLineEdit>(text.id), state.*text.field);
    }
    for (const CheckField& check : checkFields) {
        controls.get<QCheckBox>(check.id)->setChecked(state.*check.field);
    }
}

}  // namespace terminal::ui
