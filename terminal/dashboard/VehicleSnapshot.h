#pragma once
// What the dashboard shows at one moment besides its texts: the link's state, the level the
// values were computed for, and every numeric display and lamp as last written. Exports
// (the CSV recording, copying the values) read it instead of the widgets.

#include <array>
#include <cstddef>
#include <string>

#include "terminal/dashboard/StatusRecord.h"
#include "terminal/protocol/LinkState.h"

namespace terminal {

class VehicleSnapshot {
public:
    LinkState link = LinkState::disconnected;
    // The port as chosen ("COM3" or a device path) and the device in use, as the status bar
    // names them (the device is empty while disconnected).
    std::string port;
    std::string device;
    int level = 0;
    // The displays, lamps and codes are the simulator's readings: the link is identified and
    // a status line has been shown since. Otherwise they are the dashboard's waiting look
    // (0 rpm, -40 F), which no export may pass off as a reading.
    bool readings = false;
    // The last status line shown, as the exports give it; meaningful while `readings` holds.
    StatusRecord record;

    // A display or lamp never written reads 0 / dark.
    double display(int id) const { return inRange(id) ? displays_[index(id)] : 0.0; }
    bool lamp(int id) const { return inRange(id) && lamps_[index(id)]; }
    void setDisplay(int id, double value) {
        if (inRange(id)) {
            displays_[index(id)] = value;
        }
    }
    void setLamp(int id, bool lit) {
        if (inRange(id)) {
            lamps_[index(id)] = lit;
        }
    }

private:
    // Every display and lamp of the dashboard has an id from 1000 to 1099.
    static constexpr int firstId = 1000;
    static constexpr std::size_t idCount = 100;
    static bool inRange(int id) { return id >= firstId && id < firstId + int(idCount); }
    static std::size_t index(int id) { return static_cast<std::size_t>(id - firstId); }

    std::array<double, idCount> displays_{};
    std::array<bool, idCount> lamps_{};
};

}  // namespace terminal
