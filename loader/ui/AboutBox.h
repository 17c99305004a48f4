#pragma once
// The About box: the program's icon, name and version, and OK.

#include <QDialog>

#include "platform/layout/qt/DialogLayout.h"

namespace loader::ui {

class AboutBox : public QDialog {
    Q_OBJECT

public:
    explicit AboutBox(QWidget* parent = nullptr);
    const platform::DialogControls& controls() const { return controls_; }

private:
    platform::DialogControls controls_;
};

}  // namespace loader::ui
