#pragma once
// The link's state, owned by the main window object for the whole run. The session decides
// by these flags alone; the dashboard shows what they say and is never asked back.

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace terminal {

// The firmware the terminal works with: version number at least 2, revision D, E or F.
inline constexpr std::uint16_t minimumFirmwareVersion = 2;
inline constexpr std::array<char, 3> acceptedRevisions{'D', 'E', 'F'};

// That firmware as the operator's texts name it: "0.2D/0.2E/0.2F".
std::string acceptedFirmwareText();

struct SessionState {
    bool portOpen = false;
    bool recordSeen = false;
    bool identificationAwaited = false;
    bool settingsDirty = false;
    bool baudChangeAllowed = false;
    std::uint16_t firmwareVersion = 0;  // 0 while unknown, else 1..256
    char revisionLetter = 'A';
    std::array<char, 5> versionChars{' ', '0', '.', '0', 'A'};
    // The rate code of the last "ACK CBRS" since the identification was asked for.
    std::optional<std::uint8_t> canRateCode;

    // What the dashboard offers the operator: Connect (and not Disconnect) until a simulator
    // answers the identification, the remote controls once it has with the gate open.
    bool connectEnabled = true;
    bool remoteControlsEnabled = false;

    bool levelPending = false;
    bool warningsPending = false;
    bool quietPending = false;
    bool dynamicPending = false;
    bool resetDm2Pending = false;

    bool firmwareGateOpen() const {
        return firmwareVersion >= minimumFirmwareVersion &&
               std::ranges::find(acceptedRevisions, revisionLetter) != acceptedRevisions.end();
    }
};

}  // namespace terminal
