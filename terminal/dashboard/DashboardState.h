#pragma once
// The record behind the dashboard's texts and check boxes. readPanel/writePanel move it
// to and from the controls; displays, lamps and the slider are written directly.

#include <cstdint>
#include <string>

namespace terminal {

struct DashboardState {
    std::string portName;               // 1000
    std::uint32_t serialNumber = 0;     // 1003, shown as unsigned decimal
    std::string firmwareVersionText;    // 1049
    std::string canBaudText;            // 1081
    std::string engineClockText;        // 1028
    std::string engineClaimText;        // 1038
    std::string absClaimText;           // 1039
    std::string transmissionClaimText;  // 1040
    std::string engineDm1Text;          // 1041
    std::string absDm1Text;             // 1042
    std::string transmissionDm1Text;    // 1043
    std::string engineDm2Text;          // 1044
    std::string vinText;                // 1078
    bool dynamicOn = false;             // 1009
    bool quietOn = false;               // 1010
    bool warningsOn = false;            // 1011
    bool resetEngineDm2On = false;      // 1048
};

}  // namespace terminal
