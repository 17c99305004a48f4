#pragma once
// The simulated engine's fixed J1939 engine-configuration parameters, as the engine
// configuration dialog (template 131) lists them: 13 group boxes of labelled values. The texts
// stand exactly as the device's documents print them, spacing included.

#include <array>

namespace terminal::ui {

struct ConfigurationLine {
    const char* label;
    const char* value;
};

struct ConfigurationGroup {
    const char* caption;
    int x, y, w, h;  // dialog units
    // Up to five lines; unused ones have no label.
    std::array<ConfigurationLine, 5> lines;
};

// In the order of the layout: two columns of six rows, then the full-width "Byte 35-39" box.
inline constexpr std::array<ConfigurationGroup, 13> engineConfigurationGroups{{
    {"Point 1:",
     17,
     10,
     262,
     36,
     {{{"Engine Speed At Idle, Point 1 (SPN 188) :", "700 RPM"},
       {"Engine Percent Torque At Idle, Point 1 (SPN 539) :", "10%"}}}},
    {"Point 2:",
     286,
     10,
     246,
     36,
     {{{"Engine Speed At Point 2 (SPN 528) :", "3600 RPM"},
       {"Engine Percent Torque At Point 2 (SPN 540) :", "5%"}}}},
    {"Point 3:",
     17,
     48,
     262,
     36,
     {{{"Engine Speed At Point 3 (SPN 529) :", "1500 RPM"},
       {"Engine Percent Torque At Point 3 (SPN 541) :", "40%"}}}},
    {"Point 4:",
     286,
     48,
     246,
     36,
     {{{"Engine Speed At Point 4 (SPN 530) :", "2000 RPM"},
       {"Engine Percent Torque At Point 4 (SPN 542) :", "60%"}}}},
    {"Point 5:",
     17,
     86,
     262,
     36,
     {{{"Engine Speed At Point 5 (SPN 531) :", "2500 RPM"},
       {"Engine Percent Torque At Point 5 (SPN 543) :", "95%"}}}},
    {"Point 6 and Kp:",
     286,
     86,
     246,
     36,
     {{{"Engine Speed At High Idle, point 6 (SPN 532) :", "4000 RPM"},
       {"Engine Gain (Kp) Of The Endspeed Governor (SPN 545) :", "40"}}}},
    {"Engine Reference Torque :",
     17,
     124,
     262,
     36,
     {{{"Engine Reference Torque (SPN 544):", "3000 Nm"}}}},
    {"Point 7 (Engine Maximum Momentary Override) Speed and Time:",
     286,
     124,
     246,
     36,
     {{{"Engine Max. Momentary Override Speed, Point 7 (SPN 533) :", "4200 RPM"},
       {"Engine Maximum Momentary Override Time Limit (SPN 534) :", "5.0S"}}}},
    {"Engine Requested Speed Control Range:",
     17,
     162,
     262,
     36,
     {{{"Engine Requested Speed Control Range Lower Limit (SPN 535) :", "550 RPM"},
       {"Engine Requested Speed Control Range Upper Limit  (SPN 536) :", "2400 RPM"}}}},
    {"Engine Requested Torque Control Range:",
     286,
     162,
     246,
     36,
     {{{"Engine Requested Torque Control Range Lower Limit (SPN 537) :", "0%"},
       {"Engine Requested Torque Control Range Upper Limit (SPN 538) :", "75%"}}}},
    {"Engine Extended Range Requested Speed Control Range Upper Limit:",
     17,
     199,
     262,
     36,
     {{{"eng. ext. range requested speed control range upper limit(SPN1712) :", "3600 RPM"}}}},
    {"Engine Moment of Inertia and Default Torque:",
     286,
     199,
     246,
     36,
     {{{"Engine Moment of Inertia (SPN 1794) :", "50 kg-m2"},
       {"Engine Default Torque Limit (SPN 1846) :", "16000 Nm"}}}},
    // Two columns: SPN 3344, 3346, 3348 on the left, 3345 and 3347 on the right.
    {"Byte 35-39",
     17,
     241,
     514,
     52,
     {{{"Support Variable Rate TSC1 Message  (SPN 3344) :", "0B0000 0000"},
       {"Support TSC1 Control Purpose Group 1 (SPN 3345) :", "0B1110 0000"},
       {"Support TSC1 Control Purpose Group 2 (SPN 3346) :", "0B1111 1111"},
       {"Support TSC1 Control Purpose Group 3 (SPN 3347) :", "0B1111 1111"},
       {"Support TSC1 Control Purpose Group 4 (SPN 3348) :", "0B1111 1111"}}}},
}};

}  // namespace terminal::ui
