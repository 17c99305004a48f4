#pragma once
// The link's state, owned by the main window object for the whole run.

#include <array>
#include <cstdint>

namespace terminal {

struct SessionState {
    bool portOpen = false;
    bool recordSeen = false;
    bool identificationAwaited = false;
    bool settingsDirty = false;
    bool baudChangeAllowed = false;
    std::uint16_t firmwareVersion = 0;  // 0 while unknown, else 1..256
    char revisionLetter = 'A';
    std::array<char, 5> versionChars{' ', '0', '.', '0', 'A'};

    bool levelPending = false;
    bool warningsPending = false;
    bool quietPending = false;
    bool dynamicPending = false;
    bool resetDm2Pending = false;

    // Version number at least 2 and revision D, E or F.
    bool firmwareGateOpen() const {
        return firmwareVersion >= 2 &&
               (revisionLetter == 'D' || revisionLetter == 'E' || revisionLetter == 'F');
    }
};

}  // namespace terminal
