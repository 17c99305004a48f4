#pragma once
// The terminal's session: start-up, the settings file, connecting and identifying the
// simulator, the one-second link rhythm, the firmware gate, disconnecting and exit; and the
// receive path and commands of the simulator link. It owns all state of the dashboard window
// and talks to the window only through TerminalView.
//
// Serial-layer errors (platform::SerialError) leave these operations after the state has
// been made consistent; the window catches them at its edge and shows their text. The
// window also wires the serial control's OnComm to onReceive() (inside its own catch).
//
// A port that disappears while open (the control reports comEvPortLost and has closed it) is
// left to the link rhythm: the next tick finds no record, resets and reconnects. Until the
// device is back, the reconnects on ticks fail quietly and the timer keeps running, so the
// terminal retries every second without a message box each time; the dashboard's
// disconnected look tells the operator. These retries reopen only the path the lost port was
// opened through (its port-map link, else its device), never whatever COMn would resolve to
// now; Connect and Disconnect hand the choice back to the port map. A reconnect that fails
// while the dashboard looks connected (the baud-rate change's) is shown once and then taken
// as such a loss. A failed open at any other moment (the first tick after start, the Connect
// button, a tick while no loss is known) ends connect() with the error and leaves the
// terminal idle, timer stopped, Connect enabled, until the operator presses Connect. No
// failure leaves the serial control's port open.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock/Clock.h"
#include "platform/serial/SerialControl.h"
#include "terminal/dashboard/DashboardState.h"
#include "terminal/dashboard/DashboardUpdate.h"
#include "terminal/dashboard/SnapshotView.h"
#include "terminal/dashboard/TerminalView.h"
#include "terminal/link/BaudRateChange.h"
#include "terminal/link/LineCounters.h"
#include "terminal/link/LineDispatch.h"
#include "terminal/link/LineReceiver.h"
#include "terminal/link/ProtocolHooks.h"
#include "terminal/link/RemoteControl.h"
#include "terminal/link/SessionObserver.h"
#include "terminal/link/SessionState.h"
#include "terminal/link/SettingsFile.h"
#include "terminal/protocol/CommandSender.h"
#include "terminal/protocol/LinkState.h"

namespace terminal {

class TerminalCore : private ProtocolHooks {
public:
    // `formerSettingsFile`: where an older version kept the file (see SettingsFile).
    TerminalCore(TerminalView& view, platform::SerialControl& serial, platform::Clock& clock,
                 std::filesystem::path settingsFile, std::filesystem::path formerSettingsFile = {});

    void startSession();  // window start-up, after the controls exist
    void connect();       // Connect 1001; also the baud-rate change
    void disconnect();    // Disconnect 1005
    // A device path used for this run in place of what the port map gives for the chosen
    // COMn (a script's --port /dev/...); empty hands the choice back to the port map.
    void chooseDevicePath(std::string path);
    // A COM name that replaces the remembered one at start-up, before the first link state is
    // shown (a script's --port COMn); remembered at the next identification like the box's.
    void choosePortName(std::string comName);
    void exitProgram();  // Exit 1: closes the window through the view
    void onTimer(int id);
    void onReceive();  // the serial control's OnComm: the window wires it and catches there
    // For those who read the readings between ticks (scripts): an identified link that has
    // had no line for the rhythm's second is silent from now on, not from the next tick. The
    // tick then resets and reconnects as for any silence, even if a line came in between.
    void noteSilence();

    void resetToDisconnected();
    void identificationOutcome() override;
    void readSettings();
    void writeSettings();

    // Commands of the dashboard's controls. Key and level commands are sent only while the
    // port is open; the baud-rate command is written regardless (a closed port refuses it).
    void sendIdentificationRequest();
    void sendKeyCommand(std::uint8_t keyCode);
    void sendLevelCommand(std::uint8_t level);
    void sendBaudRateCommand(const std::string& rateText);

    const DashboardState& dashboard() const { return dashboard_; }
    const SessionState& session() const { return session_; }
    const MultiPacketLists& multiPacketLists() const { return lists_; }
    const std::filesystem::path& settingsFile() const { return settings_.path(); }

    // For the keypad, mode and slider handlers: they set pending flags and take the panel.
    SessionState& sessionState() { return session_; }
    DashboardState& dashboardState() { return dashboard_; }
    platform::Clock& clock() { return clock_; }

    // The keypad, mode and slider handlers, and the About box's baud-rate change.
    RemoteControl& remoteControl() { return remote_; }
    BaudRateChange& baudRateChange() { return baudRateChange_; }

    // The link's state as last reported to the view (TerminalView::showLinkState).
    LinkState linkState() const { return linkState_; }

    // The displays, lamps, level and link state the dashboard shows now.
    const VehicleSnapshot& shown() const { return view_.snapshot(); }
    // The simulation status lines shown so far, and when the last of them arrived.
    std::uint64_t statusLinesShown() const { return statusLinesShown_; }
    std::uint32_t lastStatusLineMs() const { return lastStatusLineMs_; }
    // Observers are told of every line received and sent, each status line shown and each
    // link-state change, until removed. They are not owned.
    void addObserver(SessionObserver* observer);
    void removeObserver(SessionObserver* observer);
    // The line's figures for the status bar, now; each call starts the rate's next interval.
    LineStatistics sampleLineStatistics() { return counters_.sample(clock_.milliseconds()); }

private:
    void openPort();
    void connectAndIdentify();
    void connectOnTick();
    void goIdle();
    void closePort();
    void restartLinkTimer();
    void offerConnect(bool offered);
    void loseDevice();
    void onPortLost();
    void setLinkState(LinkState state);
    void anotherDeviceAnswered();

    // ProtocolHooks over the window.
    void readPanel() override;
    void writePanel() override;
    void setSliderPosition(double position) override;
    void applyLevel(std::uint8_t level) override;
    void acknowledged(Acknowledgement which) override;
    void simulationStatusShown(const SimulationModes& reported) override;
    void lineCounted(bool good) override;

    // The window's view, with what it is shown kept for exports.
    SnapshotView view_;
    platform::SerialControl& serial_;
    platform::Clock& clock_;
    SettingsFile settings_;
    DashboardState dashboard_;
    SessionState session_;
    MultiPacketLists lists_;
    CommandSender sender_;
    LineDispatch dispatch_;
    LineReceiver receiver_;
    RemoteControl remote_{*this, view_};
    BaudRateChange baudRateChange_{*this};
    // Set when the open port disappeared; cleared by a successful open or by the operator.
    // A loss also sets the serial control's device override to the lost device; it stays
    // until the operator's Connect or Disconnect.
    bool portLost_ = false;
    // The serial number of the simulator whose device was lost, until it answers again or the
    // operator connects or disconnects.
    std::optional<std::uint32_t> lostSerialNumber_;
    std::string chosenDevice_;
    std::string chosenPortName_;
    bool inTick_ = false;
    LinkState linkState_ = LinkState::disconnected;
    bool linkStateShown_ = false;
    // The device of the last successful open, still named while the link is silent or lost.
    std::string linkDevice_;
    std::vector<SessionObserver*> observers_;
    LineCounters counters_;
    std::uint32_t lastLineMs_ = 0;
    std::uint32_t lastStatusLineMs_ = 0;
    std::uint64_t statusLinesShown_ = 0;
    // Silence was reported before the tick noticed it.
    bool silenceNoted_ = false;
};

}  // namespace terminal
