#pragma once
// Escape with a drop-down list or a menu open closes that alone, on every platform.
//
// Where keys go to the window that has the keyboard rather than to the popup (Wayland), Qt
// closes a drop-down list while it checks the key for shortcuts and then hands the key press
// itself to the window below: the dialog that Escape closes, and the program ended with it.
// Under X11 the same press reaches the popup and ends there. Installed on the application, the
// filter drops the press that follows a popup's closing by that same key.

#include <QObject>

class QApplication;

namespace platform {

class PopupEscape : public QObject {
public:
    // Filters every event of `app` from now on; owned by it.
    static void install(QApplication& app);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;

    bool closedPopup_ = false;  // the Escape held down closed a popup
};

}  // namespace platform
