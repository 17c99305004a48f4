#pragma once
// The core half of the About box's CAN baud-rate change: what the box opens with, and what
// follows once it has closed. A confirmed change sends the rate command, then reconnects twice,
// 500 ms apart, so that the simulator's new rate is read back into the dashboard.

#include <cstdint>
#include <string>

namespace terminal {

class TerminalCore;

// What the About box is given when it opens.
struct AboutBoxSetup {
    bool changeAllowed = false;
    // The current rate text while a change is allowed, so the list opens on it; else empty.
    std::string rateText;
};

// How the About box closed.
struct AboutBoxOutcome {
    bool okResult = false;   // OK or Confirm; false for the close box and Escape
    bool confirmed = false;  // Confirm was pressed
    std::string rateText;    // the rate box's text, read back on OK and Confirm
};

class BaudRateChange {
public:
    // The simulator needs a moment after a rate change before it answers again.
    static constexpr std::uint32_t settleMs = 500;

    explicit BaudRateChange(TerminalCore& core);

    AboutBoxSetup aboutBoxSetup() const;

    // Sends and reconnects when the box closed with OK and Confirm was pressed; returns
    // whether it did. A serial-layer error from the send (a closed port) ends it there: no
    // pauses, no reconnects, and the error reaches the caller.
    bool finish(const AboutBoxOutcome& outcome);

private:
    TerminalCore& core_;
};

}  // namespace terminal
