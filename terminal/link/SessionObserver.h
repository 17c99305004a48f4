#pragma once
// Notifications of the session for whoever records it (the CSV recording, the raw line
// log). Every one has an empty default; an observer must not throw.

#include <string_view>

#include "terminal/dashboard/DashboardState.h"
#include "terminal/dashboard/VehicleSnapshot.h"
#include "terminal/protocol/LinkState.h"

namespace terminal {

class SessionObserver {
public:
    virtual ~SessionObserver() = default;

    // Bytes as read from the port, before the receive window sees them.
    virtual void bytesReceived(std::string_view /*bytes*/) {}
    // A whole command line as it starts going out, CR LF included.
    virtual void lineSent(std::string_view /*line*/) {}
    // A simulation status line was acted on and the dashboard shows its outcome.
    virtual void statusShown(const VehicleSnapshot& /*shown*/, const DashboardState& /*panel*/) {}
    // The link's state changed (shown.link is the new state).
    virtual void linkChanged(const VehicleSnapshot& /*shown*/, const DashboardState& /*panel*/) {}
    // The simulator acknowledged a level or key command.
    virtual void acknowledged(Acknowledgement /*which*/) {}
};

}  // namespace terminal
