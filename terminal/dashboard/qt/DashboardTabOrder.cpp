#include "terminal/dashboard/qt/DashboardTabOrder.h"

#include <QWidget>
#include <array>

namespace terminal::ui {

namespace {

constexpr auto tabOrder = std::to_array<int>({
    1000, 1001, 1005, 1,                       // port, Connect, Disconnect, Exit
    1003, 1049, 1081,                          // Serial Number, FW Version, CAN Baud Rate
    1006, 1012, 1007, 1008,                    // slider, Menu, Down, Up
    1009, 1010, 1011, 1048,                    // Dynamic, Quiet, Warnings, Reset Eng DM2
    1038, 1039, 1040,                          // address claims: engine, ABS, transmission
    1078, 1028,                                // VIN, engine clock
    1041, 1045, 1044, 1047, 1046, 1042, 1043,  // trouble codes and configuration
});

}  // namespace

std::span<const int> dashboardTabOrder() {
    return tabOrder;
}

void orderDashboardTabs(const platform::DialogControls& controls) {
    QWidget* previous = nullptr;
    for (int id : tabOrder) {
        QWidget* control = controls.widget(id);
        if (control == nullptr) {
            continue;
        }
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, control);
        }
        previous = control;
    }
}

}  // namespace terminal::ui
