#pragma once
// The About box (template 100): the program's name, version and copyright, and the CAN
// baud-rate change in two steps. "Proceed to Change CAN Baud Rate" unlocks the rate list when
// a change is allowed; "Confirm Update CAN Baud Rate" accepts the chosen rate and closes the
// box. The box only collects the choice; the dashboard window acts on it after it has closed.

#include <QDialog>
#include <QString>

#include "platform/layout/qt/DialogLayout.h"

class QComboBox;

namespace terminal::ui {

namespace aboutIds {
inline constexpr int ok = 1;
inline constexpr int confirmButton = 1013;
inline constexpr int rateBox = 1050;
inline constexpr int proceedButton = 1051;
}  // namespace aboutIds

class AboutBox : public QDialog {
    Q_OBJECT
public:
    static constexpr int width = 309;
    static constexpr int height = 158;

    explicit AboutBox(QWidget* parent = nullptr);

    // Set before the box opens: whether Proceed may unlock the list, and the rate the list
    // opens on.
    void setChangeAllowed(bool allowed) { changeAllowed_ = allowed; }
    void setRateText(const QString& text) { rateText_ = text; }

    // After it has closed: the rate box's text (read back on OK and Confirm only) and whether
    // Confirm closed it.
    const QString& rateText() const { return rateText_; }
    bool confirmed() const { return confirmed_; }
    bool changeAllowed() const { return changeAllowed_; }

    // The buttons' handlers.
    void proceed();
    void confirm();
    void ok();

    const platform::DialogControls& controls() const { return controls_; }
    QComboBox* rateBox() const;

    // Shown by Proceed while a change is not allowed.
    static const char* const notAllowedMessage;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void selectRateText();
    void closeWithOk();

    platform::DialogControls controls_;
    QString rateText_;
    bool changeAllowed_ = false;
    bool confirmed_ = false;
};

}  // namespace terminal::ui
