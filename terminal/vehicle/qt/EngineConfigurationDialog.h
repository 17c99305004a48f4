#pragma once
// The engine configuration view (template 131): the engine's fixed configuration parameters
// in 13 group boxes, closed with OK. It holds no data and exchanges none; every text is a
// constant of its layout.

#include <QDialog>
#include <vector>

#include "platform/layout/qt/DialogLayout.h"

namespace terminal::ui {

class EngineConfigurationDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int width = 548;
    static constexpr int height = 319;

    explicit EngineConfigurationDialog(QWidget* parent = nullptr);

    // The rows the dialog is built from, in dialog units: the OK button, then each group box
    // followed by its labels and values.
    static std::vector<platform::ControlRow> layoutRows();

    const platform::DialogControls& controls() const { return controls_; }

private:
    platform::DialogControls controls_;
};

}  // namespace terminal::ui
