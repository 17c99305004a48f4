#pragma once
// What the line dispatch needs from the session and the dashboard around it. The session
// implements it over the window; tests record the calls.

#include <cstdint>

#include "terminal/dashboard/StatusRecord.h"
#include "terminal/protocol/LinkState.h"

namespace terminal {

class ProtocolHooks {
public:
    virtual ~ProtocolHooks() = default;

    // Take the controls' contents into DashboardState / show DashboardState on the controls.
    virtual void readPanel() = 0;
    virtual void writePanel() = 0;
    virtual void setSliderPosition(double position) = 0;
    // The engine parameter update for a level taken over from a status line.
    virtual void applyLevel(std::uint8_t level) = 0;
    // An identification answer passed its checksum and was decoded into the session.
    virtual void identificationOutcome() = 0;
    // "ACK %" or "ACK KI" arrived (after its pending flags were cleared).
    virtual void acknowledged(Acknowledgement /*which*/) {}
    // A simulation status line passed its checksum, was acted on and has been shown;
    // `reported` holds the modes its flags gave (a mode the operator has switched and the
    // simulator not yet acknowledged keeps its box, but the line reported the former state).
    virtual void simulationStatusShown(const SimulationModes& /*reported*/) {}
    // An "ACK " or "BRC " line was taken: `good` unless its checksum was wrong.
    virtual void lineCounted(bool /*good*/) {}
};

}  // namespace terminal
