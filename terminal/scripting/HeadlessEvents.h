#pragma once
// The lines of the headless event stream, one JSON object each (without the line end):
//   {"event":"link","state":"identified","port":"COM3","device":"/dev/ttyUSB0"}
//   {"event":"identified","serial":305419896,"firmware":"0.2D","can_rate":"250K bps",
//    "accepted":true}
//   {"event":"status","time":1.25,"level":50,"engine_clock":"0:5","modes":{...},
//    "values":{"Engine RPM [RPM]":4015.875,...,"engine_rpm":4015.875,...},
//    "lamps":{"Parking":false,...},
//    "trouble_codes":{"Engine DM1":[{"spn":110,"fmi":0,"oc":1,"cm":0}],"ABS DM1":[],...}}
//   {"event":"ack","command":"level"}
//   {"event":"unchanged","command":"warnings","on":false}
//   {"event":"error","message":"..."}

#include <cstdint>
#include <string>
#include <vector>

#include "terminal/dashboard/DashboardState.h"
#include "terminal/dashboard/VehicleSnapshot.h"
#include "terminal/protocol/LinkState.h"

namespace terminal::headless {

std::string linkEvent(LinkState state, const std::string& port, const std::string& device);
// Every identification answer acted on; `accepted` is false when the firmware gate refused it.
std::string identifiedEvent(std::uint32_t serial, const std::string& firmwareText,
                            const std::string& canRateText, bool accepted);
// A link change as events: the link event, and the identified event after an identification.
// Also what a script that joins a running session is told first.
std::vector<std::string> linkEvents(LinkState state, const std::string& port,
                                    const std::string& device, const DashboardState& panel);
std::string ackEvent(const std::string& command);
std::string unchangedEvent(const std::string& command, bool on);
std::string errorEvent(const std::string& message);

// What a status event reports at one moment.
struct DashboardPicture {
    double seconds = 0;                      // since the session started
    const DashboardState* panel = nullptr;   // the engine clock
    const VehicleSnapshot* shown = nullptr;  // the last status line's record
};

// The record's level and modes; its values under engineValueName() and again under their
// keys; its lamps under their labels; each trouble-code box's codes under its caption. Without
// a snapshot every value reads 0 and every lamp false.
std::string statusEvent(const DashboardPicture& picture);

}  // namespace terminal::headless
