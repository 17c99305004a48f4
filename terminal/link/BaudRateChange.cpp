#include "terminal/link/BaudRateChange.h"

#include "terminal/link/TerminalCore.h"

namespace terminal {

BaudRateChange::BaudRateChange(TerminalCore& core) : core_(core) {}

AboutBoxSetup BaudRateChange::aboutBoxSetup() const {
    AboutBoxSetup setup;
    setup.changeAllowed = core_.session().baudChangeAllowed;
    if (setup.changeAllowed) {
        setup.rateText = core_.dashboard().canBaudText;
    }
    return setup;
}

bool BaudRateChange::finish(const AboutBoxOutcome& outcome) {
    if (!outcome.okResult || !outcome.confirmed) {
        return false;
    }
    core_.sendBaudRateCommand(outcome.rateText);
    core_.clock().pause(settleMs);
    core_.connect();
    core_.clock().pause(settleMs);
    core_.connect();
    return true;
}

}  // namespace terminal
