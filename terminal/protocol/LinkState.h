#pragma once
// Where the link to the simulator stands, as the session reports it to its view at every
// change: the same six states for the window's status bar and the headless event stream.

#include <string_view>

namespace terminal {

enum class LinkState {
    disconnected,  // port closed, nothing retried: start-up, Disconnect, a failed open, exit
    connecting,    // port open, "AT ID?" sent, waiting for the identification answer
    identified,    // identification accepted, firmware gate open: the remote controls work
    refused,       // identification accepted, firmware too old: the gate stays closed
    silent,        // an identified simulator sent nothing for a second; reconnecting follows
    lost,          // the open device disappeared; quiet retries every second follow
};

// The state's name in the event stream ("disconnected", "connecting", ...).
constexpr std::string_view linkStateName(LinkState state) {
    switch (state) {
        case LinkState::disconnected:
            return "disconnected";
        case LinkState::connecting:
            return "connecting";
        case LinkState::identified:
            return "identified";
        case LinkState::refused:
            return "refused";
        case LinkState::silent:
            return "silent";
        case LinkState::lost:
            return "lost";
    }
    return "disconnected";
}

// An acknowledgement from the simulator: "ACK %" for the level command, "ACK KI" for the
// keypad and mode commands.
enum class Acknowledgement { level, key };

}  // namespace terminal
