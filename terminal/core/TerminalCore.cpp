#include "terminal/core/TerminalCore.h"

#include "terminal/core/Commands.h"
#include "terminal/core/ControlIds.h"
#include "terminal/core/LinkTexts.h"
#include "terminal/core/PortNumber.h"
#include "terminal/core/WireCodes.h"

namespace terminal {

namespace {
// Enabled when an identification is accepted with the firmware gate open.
constexpr int remoteControls[] = {ids::levelSlider,
                                  ids::downButton,
                                  ids::upButton,
                                  ids::dynamicCheck,
                                  ids::quietCheck,
                                  ids::warningsCheck,
                                  ids::menuButton,
                                  ids::resetEngineDm2Check,
                                  ids::engineDm1Edit,
                                  ids::engineDm2Edit,
                                  ids::absDm1Edit,
                                  ids::transmissionDm1Edit,
                                  ids::engineConfigurationButton};
// Disabled by the reset; the trouble-code step disables the DM boxes and 1046 itself.
constexpr int keypadControls[] = {ids::levelSlider,  ids::downButton,         ids::upButton,
                                  ids::dynamicCheck, ids::quietCheck,         ids::warningsCheck,
                                  ids::menuButton,   ids::resetEngineDm2Check};
constexpr int lampsDarkenedByReset[] = {ids::isTimerEnabledLamp, ids::epsEnabledLamp,
                                        ids::waitToStartLamp, ids::parkingLamp};
}  // namespace

TerminalCore::TerminalCore(TerminalView& view, platform::SerialControl& serial,
                           platform::Clock& clock, std::filesystem::path settingsFile)
    : view_(view),
      serial_(serial),
      clock_(clock),
      settings_(std::move(settingsFile)),
      sender_(serial, clock),
      dispatch_(session_, dashboard_, *this),
      receiver_(serial, session_, dispatch_) {
    dashboard_.portName = linkTexts::defaultPortName;
}

void TerminalCore::startSession() {
    writePanel();
    resetToDisconnected();
    session_.settingsDirty = false;
    readSettings();
    session_.warningsPending = false;
    session_.quietPending = false;
    session_.dynamicPending = false;
    session_.resetDm2Pending = false;
    session_.levelPending = false;
    session_.recordSeen = false;
    view_.startTimer(ids::linkTimer, ids::linkTimerPeriodMs);
    writePanel();
    setLinkState(LinkState::disconnected);
}

void TerminalCore::connect() {
    // The operator (or the baud-rate change) takes over from a quiet retry after a loss.
    portLost_ = false;
    connectOrGoIdle();
}

// A serial error ends the connect where it happened; the terminal is then idle (timer off,
// nothing considered open) until the operator presses Connect.
void TerminalCore::connectOrGoIdle() {
    try {
        connectAndIdentify();
    } catch (const platform::SerialError&) {
        session_.portOpen = false;
        view_.stopTimer(ids::linkTimer);
        setLinkState(LinkState::disconnected);
        throw;
    }
}

void TerminalCore::connectAndIdentify() {
    session_.versionChars = {' ', '0', '.', '0', 'A'};
    session_.revisionLetter = 'A';
    readPanel();
    session_.identificationAwaited = true;
    dashboard_.firmwareVersionText = linkTexts::notFoundYet;
    dashboard_.canBaudText = linkTexts::notFoundYet;
    dashboard_.serialNumber = 0;
    writePanel();
    openPort();
    if (session_.portOpen) {
        linkDevice_ = serial_.openDevicePath();
        setLinkState(LinkState::connecting);
        sendIdentificationRequest();
    }
    view_.stopTimer(ids::linkTimer);
    view_.startTimer(ids::linkTimer, ids::linkTimerPeriodMs);
}

// While the device is missing after a loss, a failed reconnect keeps the timer running and
// says nothing; the next tick tries again.
void TerminalCore::connectOnTick() {
    if (!portLost_) {
        connectOrGoIdle();
        return;
    }
    try {
        connectAndIdentify();
    } catch (const platform::SerialError&) {
        session_.portOpen = false;
        view_.stopTimer(ids::linkTimer);
        view_.startTimer(ids::linkTimer, ids::linkTimerPeriodMs);
    }
}

void TerminalCore::openPort() {
    readPanel();
    const int portNumber = portNumberFor(dashboard_.portName);
    session_.portOpen = false;
    if (serial_.getPortOpen()) {
        serial_.setPortOpen(false);
    }
    serial_.setCommPort(portNumber);
    if (serial_.getPortOpen()) {
        view_.showMessage(std::string(linkTexts::cannotOpenPort), MessageIcon::none);
    } else {
        serial_.setPortOpen(true);
        session_.portOpen = true;
        portLost_ = false;
    }
    serial_.setSettings(std::string(wire::lineSettings));
    serial_.setInputMode(wire::binaryInputMode);
    serial_.setRThreshold(wire::eventPerArrival);
    serial_.setInputLen(wire::readEverything);
    serial_.getInput();
}

void TerminalCore::disconnect() {
    portLost_ = false;
    view_.stopTimer(ids::linkTimer);
    resetToDisconnected();
    setLinkState(LinkState::disconnected);
}

void TerminalCore::resetToDisconnected() {
    session_.portOpen = false;
    if (serial_.getPortOpen()) {
        serial_.setPortOpen(false);
    }
    view_.enableControl(ids::disconnectButton, false);
    view_.enableControl(ids::connectButton, true);
    for (int id : keypadControls) {
        view_.enableControl(id, false);
    }
    session_.firmwareVersion = 0;
    setSliderPosition(0);
    applyLevel(0);
    dashboard_.firmwareVersionText = linkTexts::notFoundYet;
    dashboard_.canBaudText = linkTexts::notFoundYet;
    dashboard_.serialNumber = 0;
    dashboard_.quietOn = false;
    dashboard_.dynamicOn = false;
    dashboard_.warningsOn = false;
    dashboard_.resetEngineDm2On = false;
    dashboard_.engineClockText = linkTexts::engineClockAtReset;
    dashboard_.vinText = linkTexts::notAvailableYet;
    dashboard_.engineClaimText = linkTexts::claimInfoNotAvailable;
    dashboard_.transmissionClaimText = linkTexts::claimInfoNotAvailable;
    dashboard_.absClaimText = linkTexts::claimInfoNotAvailable;
    resetTroubleCodes(view_, dashboard_, lists_);
    for (int id : lampsDarkenedByReset) {
        view_.setLampActive(id, false);
    }
    session_.baudChangeAllowed = false;
    writePanel();
}

// A message box opened from within a tick runs the window's event loop, and the timer keeps
// firing there; such nested ticks are skipped so the boxes don't pile up one per second.
void TerminalCore::onTimer(int id) {
    if (id != ids::linkTimer || inTick_) {
        return;
    }
    inTick_ = true;
    struct TickEnd {
        bool& flag;
        ~TickEnd() { flag = false; }
    } tickEnd{inTick_};
    if (!session_.recordSeen) {
        if (linkState_ == LinkState::identified || linkState_ == LinkState::refused) {
            setLinkState(LinkState::silent);
        }
        view_.stopTimer(ids::linkTimer);
        resetToDisconnected();
    }
    if (view_.isControlEnabled(ids::connectButton)) {
        connectOnTick();
    }
    session_.recordSeen = false;
    if (session_.settingsDirty) {
        writeSettings();
        session_.settingsDirty = false;
    }
}

void TerminalCore::onReceive() {
    if (serial_.getCommEvent() == platform::comEvPortLost) {
        onPortLost();
        return;
    }
    receiver_.onReceive();
}

// The control has closed the port already. Nothing more is sent or taken, and the next tick
// finds no record, resets the dashboard and starts reconnecting.
void TerminalCore::onPortLost() {
    session_.portOpen = false;
    session_.recordSeen = false;
    portLost_ = true;
    setLinkState(LinkState::lost);
}

// Reported at every change only: the retries of a link that stays down say nothing new.
void TerminalCore::setLinkState(LinkState state) {
    if (linkStateShown_ && state == linkState_) {
        return;
    }
    linkState_ = state;
    linkStateShown_ = true;
    const std::string& port =
        serial_.deviceOverride().empty() ? dashboard_.portName : serial_.deviceOverride();
    view_.showLinkState(state, port,
                        state == LinkState::disconnected ? std::string() : linkDevice_);
}

void TerminalCore::identificationOutcome() {
    const bool gateOpen = session_.firmwareGateOpen();
    if (gateOpen) {
        for (int id : remoteControls) {
            view_.enableControl(id, true);
        }
    } else {
        view_.stopTimer(ids::linkTimer);
    }
    view_.enableControl(ids::disconnectButton, true);
    view_.enableControl(ids::connectButton, false);
    writePanel();
    setLinkState(gateOpen ? LinkState::identified : LinkState::refused);
    if (!gateOpen) {
        view_.showMessage(std::string(linkTexts::firmwareTooOld), MessageIcon::exclamation);
        writePanel();
    }
}

void TerminalCore::exitProgram() {
    session_.portOpen = false;
    if (serial_.getPortOpen()) {
        serial_.setPortOpen(false);
    }
    view_.stopTimer(ids::linkTimer);
    setLinkState(LinkState::disconnected);
    readPanel();
    view_.closeWindow();
}

void TerminalCore::readSettings() {
    const SettingsFile::Reading reading = settings_.read();
    dashboard_.portName = reading.portName;
    if (reading.rewrite) {
        session_.settingsDirty = true;
    }
}

// A failed write is not retried: the next change of port marks the file again.
void TerminalCore::writeSettings() {
    settings_.write(dashboard_.portName);
}

void TerminalCore::sendIdentificationRequest() {
    sender_.sendCommand(identificationRequest());
}

void TerminalCore::sendKeyCommand(std::uint8_t keyCode) {
    if (session_.portOpen) {
        sender_.sendCommand(keyCommand(keyCode));
    }
}

void TerminalCore::sendLevelCommand(std::uint8_t level) {
    if (session_.portOpen) {
        sender_.sendCommand(levelCommand(level));
    }
}

void TerminalCore::sendBaudRateCommand(const std::string& rateText) {
    sender_.sendCommand(baudRateCommand(rateText));
}

void TerminalCore::readPanel() {
    view_.readPanel(dashboard_);
}
void TerminalCore::writePanel() {
    view_.writePanel(dashboard_);
}
void TerminalCore::setSliderPosition(double position) {
    view_.setSliderPosition(position);
}
void TerminalCore::applyLevel(std::uint8_t level) {
    terminal::applyLevel(level, view_, dashboard_, session_.firmwareVersion);
}
bool TerminalCore::isControlEnabled(int id) {
    return view_.isControlEnabled(id);
}
void TerminalCore::acknowledged(Acknowledgement which) {
    view_.showAcknowledgement(which);
}

}  // namespace terminal
