// Property sets of the dashboard's instruments: the displays in the grid's rows (left, then
// right), the transmission's oil temperature last; the lamps in the order the ids run.
#include <array>

#include "terminal/dashboard/qt/DashboardLayout.h"

namespace terminal::ui {

namespace {

constexpr int standard = defaultDecimals;

const auto displays = std::to_array<DisplaySetup>({
    {1013, " RPM", 2},        {1025, " %", standard},    {1016, " PSI", 2},
    {1022, " GPH", standard}, {1014, " Hr", standard},   {1017, " F", standard},
    {1015, " MPH", 2},        {1023, " %", standard},    {1050, " F", standard},
    {1019, " %", standard},   {1051, " %", standard},    {1054, " F", standard},
    {1021, " MPG", standard}, {1024, " F", standard},    {1052, " PSI", 2},
    {1073, " F", standard},   {1053, " %", standard},    {1026, " mile", standard},
    {1018, " V", 2},          {1027, " mile", standard}, {1020, " PSI", 2},
    {1075, " %", 0},          {1074, " %", 0},           {1077, " kg/Hr", 2},
    {1076, " kg/Hr", 2},      {1079, " PSI", 2},         {1037, " F", standard},
});

const QColor standardColour;  // invalid: the lamp widget's own colour
const QColor red(255, 0, 0);
const QColor yellow(255, 255, 0);
const QColor amber(255, 128, 0);

const auto lamps = std::to_array<LampSetup>({
    {1029, standardColour},
    {1030, red},
    {1031, red},
    {1032, amber},
    {1033, red},
    {1034, red},
    {1035, amber},
    {1036, amber},
    {1055, yellow},
    {1056, standardColour},
    {1057, red},
    {1058, yellow},
    {1059, red},
    {1060, yellow},
    {1061, standardColour},
    {1062, red},
    {1063, yellow},
    {1064, red},
    {1065, yellow},
    {1066, standardColour},
    {1067, yellow},
    {1068, red},
    {1069, standardColour},
    {1070, yellow},
    {1071, yellow},
    {1072, yellow},
    {1080, red},
});

}  // namespace

std::span<const DisplaySetup> dashboardDisplays() {
    return displays;
}

std::span<const LampSetup> dashboardLamps() {
    return lamps;
}

}  // namespace terminal::ui
