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

PanelBoxes::PanelBoxes(const platform::DialogControls& controls)
    : port_(controls.get<QComboBox>(ids::portCombo)),
      serialNumber_(controls.get<QLineEdit>(ids::serialNumberEdit)) {
    static_assert(textFields.size() == textCount && checkFields.size() == checkCount);
    for (std::size_t i = 0; i < textCount; ++i) {
        texts_[i] = controls.get<QLineEdit>(textFields[i].id);
    }
    for (std::size_t i = 0; i < checkCount; ++i) {
        checks_[i] = controls.get<QCheckBox>(checkFields[i].id);
    }
}

void PanelBoxes::read(DashboardState& state) const {
    state.portName = port_->currentText().toStdString();
    state.serialNumber = serialNumberOf(panelText(serialNumber_));
    for (std::size_t i = 0; i < textCount; ++i) {
        state.*textFields[i].field = panelText(texts_[i]);
    }
    for (std::size_t i = 0; i < checkCount; ++i) {
        state.*checkFields[i].field = checks_[i]->isChecked();
    }
}

void PanelBoxes::write(const DashboardState& state, bool atPaint) const {
    showPortName(port_, QString::fromStdString(state.portName));
    showPanelText(serialNumber_, std::to_string(state.serialNumber), atPaint);
    for (std::size_t i = 0; i < textCount; ++i) {
        showPanelText(texts_[i], state.*textFields[i].field, atPaint);
    }
    for (std::size_t i = 0; i < checkCount; ++i) {
        checks_[i]->setChecked(state.*checkFields[i].field);
    }
}

}  // namespace terminal::ui
