#include "terminal/link/SessionState.h"

namespace terminal {

// Written as the firmware box shows a version: tens, a point, units, the revision letter.
std::string acceptedFirmwareText() {
    const std::string number = std::to_string(minimumFirmwareVersion / 10) + "." +
                               std::to_string(minimumFirmwareVersion % 10);
    std::string text;
    for (char revision : acceptedRevisions) {
        text += (text.empty() ? "" : "/") + number + revision;
    }
    return text;
}

}  // namespace terminal
