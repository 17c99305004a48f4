// The dashboard's group boxes and static captions, top to bottom within each column.
#include <array>

#include "terminal/dashboard/qt/DashboardLayout.h"

namespace terminal::ui {

namespace {

using platform::ControlKind;
using platform::ControlRow;
namespace flags = platform::flags;

constexpr ControlKind group = ControlKind::groupBox;
constexpr ControlKind label = ControlKind::label;
constexpr unsigned centred = flags::centred;

// The numeric displays' small groups: left column x 335, right x 436, one row every 26 units.
constexpr int leftCell = 335;
constexpr int rightCell = 436;
constexpr int cellWidth = 89;
constexpr int cellHeight = 25;
constexpr int cellRow(int row) {
    return 21 + 26 * row;
}

const auto frames = std::to_array<ControlRow>({
    // Left column.
    {0, group, "Control Panel", 12, 11, 310, 158},
    {0, group, "Step 1: Connect to the J1939 Simulator", 22, 20, 290, 63},
    {0, label, "Port:", 28, 33, 20, 8},
    {0, group, "Serial Number", 28, 49, 86, 29},
    {0, group, "FW Version", 121, 49, 86, 29},
    {0, group, "CAN Baud Rate", 214, 49, 92, 29},
    {0, group, "Step 2: Remote Control the J1939 Simulator", 22, 85, 290, 80},
    {0, group, "Engine Idle Shutdown (IS)", 12, 169, 309, 35},
    {0, group, "Engine Protection System (EPS)", 12, 212, 309, 35},
    {0, group, "Engine Info and Warning Lamps", 12, 255, 309, 57},
    {0, group, "ABS Info and Warning Lamps", 12, 317, 309, 30},
    {0, group, "Transmission Info and Warning Lamps", 12, 353, 309, 37},
    {0, group, "Oil Temperature", 150, 359, 85, 28, centred},

    // Middle column: the displays' grid, row by row, left then right.
    {0, group, "Engine Basic Parameters", 325, 11, 205, 379},
    {0, group, "Engine RPM", leftCell, cellRow(0), cellWidth, cellHeight, centred},
    {0, group, "Engine Load%", rightCell, cellRow(0), cellWidth, cellHeight, centred},
    {0, group, "Engine Oil Pressure (PSI)", leftCell, cellRow(1), cellWidth, cellHeight, centred},
    {0, group, "Inst. Fuel Rate", rightCell, cellRow(1), cellWidth, cellHeight, centred},
    {0, group, "Engine Hour (Hr)", leftCell, cellRow(2), cellWidth, cellHeight, centred},
    {0, group, "Engine Coolant Temp (F)", rightCell, cellRow(2), cellWidth, cellHeight, centred},
    {0, group, "Speed (MPH)", leftCell, cellRow(3), cellWidth, cellHeight, centred},
    {0, group, "Accelerator Position", rightCell, cellRow(3), cellWidth, cellHeight, centred},
    {0, group, "Engine Oil Temp (F)", leftCell, cellRow(4), cellWidth, cellHeight, centred},
    {0, group, "Fuel Level (%)", rightCell, cellRow(4), cellWidth, cellHeight, centred},
    {0, group, "Engine Oil Level (%)", leftCell, cellRow(5), cellWidth, cellHeight, centred},
    {0, group, "Engine Fuel Temp (F)", rightCell, cellRow(5), cellWidth, cellHeight, centred},
    {0, group, "Inst. Fuel Economy", leftCell, cellRow(6), cellWidth, cellHeight, centred},
    {0, group, "Inlet Air Temp (F)", rightCell, cellRow(6), cellWidth, cellHeight, centred},
    {0, group, "Eng. Coolant Pressure(PSI)", leftCell, cellRow(7), cellWidth, cellHeight, centred},
    {0, group, "Exhaust Gas Temp (F)", rightCell, cellRow(7), cellWidth, cellHeight, centred},
    {0, group, "Eng. Coolant Level (%)", leftCell, cellRow(8), cellWidth, cellHeight, centred},
    {0, group, "Engine Trip", rightCell, cellRow(8), cellWidth, cellHeight, centred},
    {0, group, "Battery Voltage (V)", leftCell, cellRow(9), cellWidth, cellHeight, centred},
    {0, group, "Total Vehicle Distance", rightCell, cellRow(9), cellWidth, cellHeight, centred},
    {0, group, "Engine Boost Pressure", leftCell, cellRow(10), cellWidth, cellHeight, centred},
    {0, group, "Nominal Friction-%Torque", rightCell, cellRow(10), cellWidth, cellHeight, centred},
    {0, group, "Actual Engine-%Torque", leftCell, cellRow(11), cellWidth, cellHeight, centred},
    {0, group, "Inlet Air Mass Flow Rate", rightCell, cellRow(11), cellWidth, cellHeight, centred},
    {0, group, "EGR Mass Flow Rate ", leftCell, cellRow(12), cellWidth, cellHeight, centred},
    {0, group, "Engine Air Inlet Pressure ", rightCell, cellRow(12), cellWidth, cellHeight,
     centred},
    {0, group, "Vehicle Identification(VIN)", leftCell, 360, 112, 28, centred},
    {0, group, "Engine Clock", 451, 360, 74, 28, centred},

    // Right column.
    {0, group, "Engine DM1", 537, 11, 94, 52},
    {0, label, "SPN  FMI  OC  CM", 543, 21, 82, 8},
    {0, group, "Engine DM2", 537, 71, 94, 52},
    {0, label, "SPN  FMI  OC  CM", 543, 81, 82, 8},
    {0, group, "Engine Configuration", 537, 135, 93, 30},
    {0, group, "ABS DM1", 538, 178, 94, 33},
    {0, label, "SPN  FMI  OC  CM", 544, 188, 82, 8},
    {0, group, "Transmission DM1", 537, 226, 94, 33},
    {0, label, "SPN  FMI  OC  CM", 543, 236, 82, 8},
    {0, group, "A/C && Refrigerant Switch", 537, 272, 94, 118},
});

}  // namespace

std::span<const platform::ControlRow> dashboardFrames() {
    return frames;
}

}  // namespace terminal::ui
