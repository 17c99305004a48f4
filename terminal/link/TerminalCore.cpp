#include "terminal/link/TerminalCore.h"

#include "platform/serial/PortOpening.h"

#include "terminal/dashboard/ControlIds.h"
#include "terminal/link/LinkTexts.h"
#include "terminal/link/PortNumber.h"
#include "terminal/protocol/Commands.h"
#include "terminal/protocol/WireCodes.h"

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
                           platform::Clock& clock, std::filesystem::path settingsFile,
                           std::filesystem::path formerSettingsFile)
    : view_(view),
      serial_(serial),
      clock_(clock),
      settings_(std::move(settingsFile), std::move(formerSettingsFile)),
      sender_(serial, clock),
      dispatch_(session_, dashboard_, *this),
      receiver_(serial, session_, dispatch_) {
    dashboard_.portName = linkTexts::defaultPortName;
    receiver_.setBytesTap([this](std::string_view bytes) {
        for (SessionObserver* observer : observers_) {
            observer->bytesReceived(bytes);
        }
    });
    sender_.setLineTap([this](std::string_view line) {
        for (SessionObserver* observer : observers_) {
            observer->lineSent(line);
        }
    });
}

void TerminalCore::addObserver(SessionObserver* observer) {
    if (observer != nullptr) {
        observers_.push_back(observer);
    }
}

void TerminalCore::removeObserver(SessionObserver* observer) {
    std::erase(observers_, observer);
}

void TerminalCore::startSession() {
    writePanel();
    resetToDisconnected();
    session_.settingsDirty = false;
    readSettings();
    if (!chosenPortName_.empty()) {
        dashboard_.portName = chosenPortName_;
    }
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
    // A connect while the dashboard looks connected is the baud-rate change's reconnect: it
    // stays with the device it is talking to. The operator's Connect takes over from a quiet
    // retry after a loss and has COMn resolved afresh.
    const bool wasConnected = !session_.connectEnabled;
    if (!wasConnected) {
        // The operator's Connect: the bad checksums are counted afresh from here, not at
        // every quiet retry (a device sending only bad lines would read 1 for ever).
        counters_.connected();
        lostSerialNumber_.reset();
    }
    portLost_ = false;
    serial_.setDeviceOverride(wasConnected ? serial_.openedThrough() : chosenDevice_);
    try {
        connectAndIdentify();
    } catch (const platform::SerialError&) {
        if (wasConnected) {
            // The device went away under a reconnect: shown once (the error goes on to the
            // window), then handled like a lost port, so the terminal finds it again by itself.
            loseDevice();
            resetToDisconnected();
            restartLinkTimer();
            setLinkState(LinkState::lost);
        } else {
            goIdle();
            setLinkState(LinkState::disconnected);
        }
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
    session_.canRateCode.reset();
    dashboard_.serialNumber = 0;
    writePanel();
    openPort();
    if (session_.portOpen) {
        linkDevice_ = serial_.openDevicePath();
        setLinkState(LinkState::connecting);
        sendIdentificationRequest();
    }
    restartLinkTimer();
}

// A tick's connect. After a loss it reopens only the device that was lost, and a failure
// keeps the timer running and says nothing; the next tick tries again. Otherwise a failure
// is shown and the terminal goes idle until the operator presses Connect.
void TerminalCore::connectOnTick() {
    const bool retryingLostDevice = portLost_;
    try {
        connectAndIdentify();
    } catch (const platform::SerialError&) {
        if (!retryingLostDevice) {
            goIdle();
            throw;
        }
        // Also when the device opened but refused the request: still the same lost device.
        portLost_ = true;
        closePort();
        restartLinkTimer();
    }
}

// The end of a failed connect from the disconnected look: nothing open, timer off.
void TerminalCore::goIdle() {
    closePort();
    view_.stopTimer(ids::linkTimer);
}

void TerminalCore::closePort() {
    session_.portOpen = false;
    if (serial_.getPortOpen()) {
        serial_.setPortOpen(false);
    }
}

void TerminalCore::restartLinkTimer() {
    view_.stopTimer(ids::linkTimer);
    view_.startTimer(ids::linkTimer, ids::linkTimerPeriodMs);
}

// From now on the ticks reopen exactly the path the lost port was opened through, and what
// answers there is taken for the lost simulator only if it names the same serial number.
void TerminalCore::loseDevice() {
    if (linkState_ == LinkState::identified || linkState_ == LinkState::refused) {
        lostSerialNumber_ = dashboard_.serialNumber;
    }
    closePort();
    session_.recordSeen = false;
    portLost_ = true;
    serial_.setDeviceOverride(serial_.openedThrough());
}

void TerminalCore::openPort() {
    readPanel();
    const int portNumber = portNumberFor(dashboard_.portName);
    session_.portOpen = false;
    if (platform::openComPort(serial_, portNumber, [this] {
            view_.showMessage(std::string(linkTexts::cannotOpenPort), MessageIcon::none);
        })) {
        session_.portOpen = true;
        portLost_ = false;
    }
    platform::applyLineSettings(serial_, std::string(wire::lineSettings));
}

void TerminalCore::choosePortName(std::string comName) {
    chosenPortName_ = std::move(comName);
}

void TerminalCore::chooseDevicePath(std::string path) {
    chosenDevice_ = std::move(path);
    serial_.setDeviceOverride(chosenDevice_);
}

void TerminalCore::disconnect() {
    portLost_ = false;
    lostSerialNumber_.reset();
    serial_.setDeviceOverride(chosenDevice_);
    view_.stopTimer(ids::linkTimer);
    resetToDisconnected();
    setLinkState(LinkState::disconnected);
}

void TerminalCore::resetToDisconnected() {
    closePort();
    offerConnect(true);
    session_.remoteControlsEnabled = false;
    for (int id : keypadControls) {
        view_.enableControl(id, false);
    }
    session_.firmwareVersion = 0;
    setSliderPosition(0);
    applyLevel(0);
    dashboard_.firmwareVersionText = linkTexts::notFoundYet;
    dashboard_.canBaudText = linkTexts::notFoundYet;
    session_.canRateCode.reset();
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

// Connect and Disconnect are offered one at a time.
void TerminalCore::offerConnect(bool offered) {
    session_.connectEnabled = offered;
    view_.enableControl(ids::disconnectButton, !offered);
    view_.enableControl(ids::connectButton, offered);
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
    if (!session_.recordSeen || silenceNoted_) {
        silenceNoted_ = false;
        if (linkState_ == LinkState::identified || linkState_ == LinkState::refused) {
            setLinkState(LinkState::silent);
        }
        view_.stopTimer(ids::linkTimer);
        resetToDisconnected();
    }
    if (session_.connectEnabled) {
        connectOnTick();
    }
    session_.recordSeen = false;
    if (session_.settingsDirty) {
        writeSettings();
        session_.settingsDirty = false;
    }
}

void TerminalCore::noteSilence() {
    if (linkState_ == LinkState::identified &&
        clock_.milliseconds() - lastLineMs_ >= static_cast<std::uint32_t>(ids::linkTimerPeriodMs)) {
        setLinkState(LinkState::silent);
        silenceNoted_ = true;
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
// finds no record, resets the dashboard and starts reconnecting to the same device.
void TerminalCore::onPortLost() {
    loseDevice();
    setLinkState(LinkState::lost);
}

// Reported at every change only: the retries of a link that stays down say nothing new.
void TerminalCore::setLinkState(LinkState state) {
    if (linkStateShown_ && state == linkState_) {
        return;
    }
    linkState_ = state;
    linkStateShown_ = true;
    silenceNoted_ = false;
    view_.snapshot().link = state;
    // Readings begin again with the first status line shown in the new state.
    view_.snapshot().readings = false;
    // The port as chosen: a retry's reopen through a link or device keeps the COM name.
    VehicleSnapshot& shown = view_.snapshot();
    shown.port = chosenDevice_.empty() ? dashboard_.portName : chosenDevice_;
    shown.device = state == LinkState::disconnected ? std::string() : linkDevice_;
    view_.showLinkState(state, shown.port, shown.device);
    for (SessionObserver* observer : observers_) {
        observer->linkChanged(view_.snapshot(), dashboard_);
    }
}

void TerminalCore::identificationOutcome() {
    if (lostSerialNumber_ && *lostSerialNumber_ != dashboard_.serialNumber) {
        anotherDeviceAnswered();
        return;
    }
    lostSerialNumber_.reset();
    const bool gateOpen = session_.firmwareGateOpen();
    if (gateOpen) {
        session_.remoteControlsEnabled = true;
        for (int id : remoteControls) {
            view_.enableControl(id, true);
        }
    } else {
        view_.stopTimer(ids::linkTimer);
    }
    offerConnect(false);
    writePanel();
    setLinkState(gateOpen ? LinkState::identified : LinkState::refused);
    if (!gateOpen) {
        view_.showMessage(std::string(linkTexts::firmwareTooOld), MessageIcon::exclamation);
        writePanel();
    }
}

// A device of its own now holds the lost one's path (a reused pseudo-terminal or ttyUSB
// number): nothing more is sent to it, and the operator decides whether to use it.
void TerminalCore::anotherDeviceAnswered() {
    // The path the lost port was opened through, which the retries reopen.
    const std::string path =
        serial_.deviceOverride().empty() ? linkDevice_ : serial_.deviceOverride();
    const std::string text = "Another device answers on " + path + ": serial number " +
                             std::to_string(dashboard_.serialNumber) + ", not the simulator " +
                             std::to_string(*lostSerialNumber_) +
                             " that was lost. Press Connect to use it.";
    lostSerialNumber_.reset();
    portLost_ = false;
    serial_.setDeviceOverride(chosenDevice_);
    view_.stopTimer(ids::linkTimer);
    resetToDisconnected();
    setLinkState(LinkState::disconnected);
    view_.showMessage(text, MessageIcon::exclamation);
}

void TerminalCore::exitProgram() {
    closePort();
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
    view_.snapshot().level = level;
    terminal::applyLevel(level, view_, dashboard_, session_.firmwareVersion);
}
void TerminalCore::acknowledged(Acknowledgement which) {
    view_.showAcknowledgement(which);
    for (SessionObserver* observer : observers_) {
        observer->acknowledged(which);
    }
}
void TerminalCore::simulationStatusShown(const SimulationModes& reported) {
    VehicleSnapshot& shown = view_.snapshot();
    // The level shown (a held slider keeps the last one applied) with the line's own modes.
    shown.record =
        statusRecord(static_cast<std::uint8_t>(shown.level), reported, session_.firmwareVersion);
    if (linkState_ == LinkState::identified) {
        shown.readings = true;
    }
    ++statusLinesShown_;
    lastStatusLineMs_ = clock_.milliseconds();
    for (SessionObserver* observer : observers_) {
        observer->statusShown(view_.snapshot(), dashboard_);
    }
}

void TerminalCore::lineCounted(bool good) {
    lastLineMs_ = clock_.milliseconds();
    // Talking again before the tick: the silence told was a late line, not a lost link, and
    // the tick keeps its rule of resetting only after a whole period without a record.
    if (silenceNoted_ && linkState_ == LinkState::silent) {
        setLinkState(LinkState::identified);
    }
    if (good) {
        counters_.goodLine(lastLineMs_);
    } else {
        counters_.badChecksumLine();
    }
}

}  // namespace terminal
