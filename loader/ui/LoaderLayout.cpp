#include "loader/ui/LoaderLayout.h"

#include <array>

#include "loader/core/LoaderIds.h"

namespace loader::ui {

namespace {

using platform::ControlKind;
namespace f = platform::flags;

// The window's layout as the device's documents give it, but for a few units where controls
// would cover each other in pixels: the "Connection status" group ends where "Flash Erasing"
// begins, the "On" label where the lamp begins, and the lamps begin below the group's caption.
const std::array loaderRows = {
    // clang-format off
    platform::ControlRow{0,                    ControlKind::groupBox,      "Step 1: Load Program File",                               21,   9, 275,  28},
    platform::ControlRow{ids::loadFileButton,  ControlKind::pushButton,    "Load &File",                                              26,  19,  38,  14},
    platform::ControlRow{ids::fileNameEdit,    ControlKind::edit,          "",                                                        71,  20, 202,  12, f::readOnly},
    platform::ControlRow{0,                    ControlKind::groupBox,      "Step 2 (options): Select Port, Set Speed and Reset PIC",  22,  42, 276,  30},
    platform::ControlRow{ids::portLabel,       ControlKind::label,         "Port :",                                                  26,  56,  18,   8},
    platform::ControlRow{ids::portCombo,       ControlKind::editableCombo, "",                                                        44,  54,  40,  45},
    platform::ControlRow{ids::speedLabel,      ControlKind::label,         "Speed :",                                                125,  56,  26,   8},
    platform::ControlRow{ids::speedCombo,      ControlKind::editableCombo, "",                                                       151,  54,  43,  45},
    platform::ControlRow{ids::resetButton,     ControlKind::pushButton,    "&Reset PIC",                                             234,  53,  52,  14},
    platform::ControlRow{0,                    ControlKind::groupBox,      "Step 3: Connect to the Traget Board",                     22,  75, 276,  28},
    platform::ControlRow{ids::connectButton,   ControlKind::pushButton,    "&Connect",                                                26,  85,  38,  14, f::disabled},
    platform::ControlRow{ids::identLineEdit,   ControlKind::edit,          "",                                                        72,  86, 201,  12, f::readOnly},
    platform::ControlRow{0,                    ControlKind::groupBox,      "Step 4: Download the Program",                            22, 107, 276, 127},
    platform::ControlRow{ids::programButton,   ControlKind::pushButton,    "&Program",                                                26, 123, 134,  14, f::disabled},
    platform::ControlRow{0,                    ControlKind::groupBox,      "Connection status",                                      184, 113,  89,  28},
    platform::ControlRow{ids::onLabel,         ControlKind::label,         "On",                                                     187, 127,  12,  10},
    platform::ControlRow{ids::linkLamp,        ControlKind::ledRound,      "",                                                       199, 123,  19,  17},
    platform::ControlRow{ids::waitingLamp,     ControlKind::ledRound,      "",                                                       239, 123,  19,  17},
    platform::ControlRow{ids::offLabel,        ControlKind::label,         "Off",                                                    259, 128,  13,   8},
    platform::ControlRow{0,                    ControlKind::groupBox,      "Flash Erasing",                                           46, 141, 227,  28},
    platform::ControlRow{ids::eraseBar,        ControlKind::progressBar,   "",                                                        53, 151, 214,  13},
    platform::ControlRow{0,                    ControlKind::groupBox,      "Programming",                                             46, 174, 227,  55},
    platform::ControlRow{ids::totalBytesLabel, ControlKind::label,         "Total Bytes :",                                          110, 183,  41,   8},
    platform::ControlRow{ids::totalBytesEdit,  ControlKind::edit,          "",                                                       152, 182,  45,  12, f::disabled},
    platform::ControlRow{ids::bytesSentLabel,  ControlKind::label,         "Bytes Sent :",                                           110, 196,  41,   8},
    platform::ControlRow{ids::bytesSentEdit,   ControlKind::edit,          "",                                                       152, 195,  45,  12, f::disabled},
    platform::ControlRow{ids::programBar,      ControlKind::progressBar,   "",                                                        53, 210, 214,  14, f::disabled},
    platform::ControlRow{ids::exitButton,      ControlKind::pushButton,    "&EXIT",                                                   22, 237, 275,  16},
    // clang-format on
};

const std::array aboutRows = {
    // clang-format off
    platform::ControlRow{0,               ControlKind::label,      "bootloader Version " TESSALY_VERSION,  40, 10, 119, 8},
    platform::ControlRow{0,               ControlKind::label,      "Tessaly tools, build " TESSALY_BUILD,  40, 25, 119, 8},
    platform::ControlRow{ids::exitButton, ControlKind::pushButton, "OK",                                  178,  7,  50, 14, f::defaultButton},
    // clang-format on
};

}  // namespace

std::span<const platform::ControlRow> loaderControls() {
    return loaderRows;
}

std::span<const platform::ControlRow> aboutControls() {
    return aboutRows;
}

}  // namespace loader::ui
