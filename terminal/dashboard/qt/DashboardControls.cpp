// The dashboard's controls, in the order the ids run. The serial control 1004 has no
// rectangle: it is the window's CMSComm.
#include <array>

#include "terminal/dashboard/qt/DashboardLayout.h"

namespace terminal::ui {

namespace {

using platform::ControlKind;
using platform::ControlRow;
namespace flags = platform::flags;

constexpr ControlKind button = ControlKind::pushButton;
constexpr ControlKind check = ControlKind::checkBox;
constexpr ControlKind edit = ControlKind::edit;
constexpr ControlKind display = ControlKind::analogDisplay;
constexpr ControlKind lamp = ControlKind::ledRectangle;
constexpr unsigned off = flags::disabled;
constexpr unsigned text = flags::readOnly | flags::centred;  // the read-only text boxes
constexpr unsigned dmRow = flags::readOnly | flags::disabled;
constexpr unsigned wrap = flags::wordWrap;

// A display sits centred in its small group of the grid (see DashboardFrames.cpp), clear of
// the group's caption above it.
constexpr int leftDisplay = 342;
constexpr int rightDisplay = 443;
constexpr int displayRow(int row) {
    return 21 + 26 * row + 10;
}
constexpr int displayWidth = 75;
constexpr int displayHeight = 14;

// Lamp columns of the three rows of five (IS, EPS, engine top row) and of the DM1 lamps.
constexpr int lampColumn(int column) {
    return 18 + 60 * column;
}
constexpr int lampWidth = 58;
constexpr int redStopColumn = 241;
constexpr int amberColumn = 280;

const auto controls = std::to_array<ControlRow>({
    {1, button, "E&xit", 256, 30, 50, 14},
    {1000, ControlKind::editableCombo, "", 48, 31, 48, 150},
    {1001, button, "C&onnect", 104, 30, 50, 14, flags::defaultButton},
    {1003, edit, "", 33, 60, 76, 12, text},
    {1005, button, "D&isconnect", 160, 30, 50, 14, off},
    {1006, ControlKind::slider, "", 27, 97, 279, 34, off},
    {1007, button, "&Down", 136, 134, 60, 13, off},
    {1008, button, "&Up", 246, 134, 60, 13, off},
    {1009, check, "D&ynamic", 27, 151, 62, 10, off},
    {1010, check, "&Quiet", 99, 151, 62, 10, off},
    {1011, check, "&Warnings", 171, 151, 62, 10, off},
    {1012, button, "&Menu", 27, 134, 60, 13, off},
    {1013, display, "", leftDisplay, displayRow(0), displayWidth, displayHeight},
    {1014, display, "", leftDisplay, displayRow(2), displayWidth, displayHeight},
    {1015, display, "", leftDisplay, displayRow(3), displayWidth, displayHeight},
    {1016, display, "", leftDisplay, displayRow(1), displayWidth, displayHeight},
    {1017, display, "", rightDisplay, displayRow(2), displayWidth, displayHeight},
    {1018, display, "", leftDisplay, displayRow(9), displayWidth, displayHeight},
    {1019, display, "", rightDisplay, displayRow(4), displayWidth, displayHeight},
    {1020, display, "", leftDisplay, displayRow(10), displayWidth, displayHeight},
    {1021, display, "", leftDisplay, displayRow(6), displayWidth, displayHeight},
    {1022, display, "", rightDisplay, displayRow(1), displayWidth, displayHeight},
    {1023, display, "", rightDisplay, displayRow(3), displayWidth, displayHeight},
    {1024, display, "", rightDisplay, displayRow(6), displayWidth, displayHeight},
    {1025, display, "", rightDisplay, displayRow(0), displayWidth, displayHeight},
    {1026, display, "", rightDisplay, displayRow(8), displayWidth, displayHeight},
    {1027, display, "", rightDisplay, displayRow(9), displayWidth, displayHeight},
    {1028, edit, "", 456, 371, 64, 12, text},
    {1029, lamp, "Cruise", 180, 290, 28, 17},
    {1030, lamp, "WIF", 211, 290, 27, 17},
    {1031, lamp, "Red Stop", redStopColumn, 290, 36, 17},
    {1032, lamp, "Amber", amberColumn, 290, 34, 17},
    {1033, lamp, "Red Stop", redStopColumn, 366, 36, 18},
    {1034, lamp, "Red Stop", redStopColumn, 327, 36, 16},
    {1035, lamp, "Amber", amberColumn, 366, 34, 18},
    {1036, lamp, "Amber", amberColumn, 327, 34, 16},
    {1037, display, "", 155, 369, displayWidth, displayHeight},
    {1038, edit, "", 18, 291, 128, 14, text},
    {1039, edit, "", 18, 328, 128, 14, text},
    {1040, edit, "", 18, 367, 128, 14, text},
    {1041, edit, "", 543, 30, 82, 12, dmRow},
    {1042, edit, "", 544, 197, 82, 12, dmRow},
    {1043, edit, "", 543, 245, 82, 12, dmRow},
    {1044, edit, "", 543, 90, 82, 12, dmRow},
    {1045, button, "Multi-&Packets", 557, 45, 54, 14, off},
    {1046, button, "Engine Configuration", 545, 146, 77, 14, off},
    {1047, button, "Multi-P&ackets", 557, 105, 54, 14, off},
    {1048, check, "&Reset Eng DM2", 244, 151, 62, 10, off},
    {1049, edit, "", 126, 60, 76, 12, text},
    {1050, display, "", leftDisplay, displayRow(4), displayWidth, displayHeight},
    {1051, display, "", leftDisplay, displayRow(5), displayWidth, displayHeight},
    {1052, display, "", leftDisplay, displayRow(7), displayWidth, displayHeight},
    {1053, display, "", leftDisplay, displayRow(8), displayWidth, displayHeight},
    {1054, display, "", rightDisplay, displayRow(5), displayWidth, displayHeight},
    {1055, lamp, "IS Timer ON (590)", lampColumn(0), 179, lampWidth, 21, wrap},
    {1056, lamp, "IS Timer EN (591)", lampColumn(1), 179, lampWidth, 21, wrap},
    {1057, lamp, "IS Timer Override (592)", lampColumn(2), 179, lampWidth, 21, wrap},
    {1058, lamp, "IS Shutdown Engine (593)", lampColumn(3), 179, lampWidth, 21, wrap},
    {1059, lamp, "IS Driver Alert (594)", lampColumn(4), 179, lampWidth, 21, wrap},
    {1060, lamp, "EPS Timer ON (1107)", lampColumn(0), 222, lampWidth, 21, wrap},
    {1061, lamp, "EPS EN (1111)", lampColumn(1), 222, lampWidth, 21, wrap},
    {1062, lamp, "EPS Timer Override (1108)", lampColumn(2), 222, lampWidth, 21, wrap},
    {1063, lamp, "EPS Shutdown Engine (1110)", lampColumn(3), 222, lampWidth, 21, wrap},
    {1064, lamp, "EPS Approaching Shutdown (1109)", lampColumn(4), 222, lampWidth, 21, wrap},
    {1065, lamp, "Wait to Start (1081)", lampColumn(0), 265, lampWidth, 21, wrap},
    {1066, lamp, "Overspeed Test (2812)", lampColumn(1), 265, lampWidth, 21, wrap},
    {1067, lamp, "Air Shutoff (2813)", lampColumn(2), 265, lampWidth, 21, wrap},
    {1068, lamp, "Alarm Output (2814)", lampColumn(3), 265, lampWidth, 21, wrap},
    {1069, lamp, "Alarm Acknowledge (2815)", lampColumn(4), 265, lampWidth, 21, wrap},
    {1070, lamp, "A/C High Pressure Fan Switch (985)", 545, 284, 78, 30, wrap},
    {1071, lamp, "Refrigerant Low Pressure Switch (875)", 545, 320, 78, 30, wrap},
    {1072, lamp, "Refrigerant High Pressure Switch (605)", 545, 356, 78, 30, wrap},
    {1073, display, "", rightDisplay, displayRow(7), displayWidth, displayHeight},
    {1074, display, "", leftDisplay, displayRow(11), displayWidth, displayHeight},
    {1075, display, "", rightDisplay, displayRow(10), displayWidth, displayHeight},
    {1076, display, "", leftDisplay, displayRow(12), displayWidth, displayHeight},
    {1077, display, "", rightDisplay, displayRow(11), displayWidth, displayHeight},
    {1078, edit, "", 340, 371, 102, 12, text},
    {1079, display, "", rightDisplay, displayRow(12), displayWidth, displayHeight},
    {1080, lamp, "Parking", 150, 290, 28, 17},
    {1081, edit, "", 219, 60, 82, 12, text},
});

}  // namespace

std::span<const platform::ControlRow> dashboardControls() {
    return controls;
}

}  // namespace terminal::ui
