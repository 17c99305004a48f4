#pragma once
// The terminal's main window, the dashboard (template 102). It owns the serial control, the
// terminal core and the two multi-packet dialogs, wires the controls to the core and shows
// what the core reports through TerminalView. Every event handler catches serial-layer
// errors at its edge and shows their text in a message box.

#include <QDialog>
#include <QSet>
#include <QString>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "platform/layout/qt/DialogLayout.h"
#include "platform/serial/qt/CMSComm.h"
#include "terminal/dashboard/TerminalView.h"
#include "terminal/link/TerminalCore.h"
#include "terminal/troublecodes/qt/MultiPacketDialog.h"
#include "terminal/vehicle/qt/EngineConfigurationDialog.h"

class QAction;
class QTimer;

namespace terminal::sequences {
class SequenceItem;
}

namespace terminal::ui {

class AboutItem;
class SessionRecording;
class TrendsItem;
class DashboardScaling;
class LinkStatusBar;
class PanelBoxes;

class DashboardWindow : public QDialog, public TerminalView {
    Q_OBJECT
public:
    explicit DashboardWindow(const std::filesystem::path& settingsFile, QWidget* parent = nullptr);
    // With the place where an older version kept the settings file (see SettingsFile).
    DashboardWindow(const std::filesystem::path& settingsFile,
                    const std::filesystem::path& formerSettingsFile, QWidget* parent = nullptr);
    ~DashboardWindow() override;

    // The window's start-up: runs the session's start once the window is up.
    void startSession();

    TerminalCore& core() { return *core_; }
    const platform::DialogControls& controls() const { return controls_; }
    platform::CMSComm& serialControl() { return comm_; }
    MultiPacketDialog& engineDm1Dialog() { return engineDm1Dialog_; }
    MultiPacketDialog& engineDm2Dialog() { return engineDm2Dialog_; }
    EngineConfigurationDialog& engineConfigurationDialog() { return engineConfigurationDialog_; }
    AboutItem& aboutItem() { return *aboutItem_; }
    // Recording to CSV and the raw line log; "Copy all values".
    SessionRecording& recording() { return *recording_; }
    QAction* copyAllValuesAction() const { return copyAllValues_; }
    // "Trends…" and the live history it shows.
    TrendsItem& trends() { return *trends_; }
    // "Sequence…": bench sequences run from the window.
    sequences::SequenceItem& sequences() { return *sequences_; }
    LinkStatusBar& linkStatusBar() { return *statusBar_; }
    DashboardScaling& scaling() { return *scaling_; }

    // Told of every message box's text as it opens (scripts on the socket get it as an error).
    void setMessageTap(std::function<void(const std::string&)> tap) {
        messageTap_ = std::move(tap);
    }

    // While set, the operator's own use of the steered controls (slider, keypad, mode boxes,
    // the About box's CAN rate) is refused when it gives a note, which the status bar shows;
    // the control is put back as the core knows it. Commands of the core's own callers (a
    // sequence, a script) are not clicks and pass.
    void setHandInputGate(std::function<std::string()> gate) { handGate_ = std::move(gate); }

    // The system-command handler: command 16 runs the About sequence.
    bool systemCommand(int command);

    // TerminalView.
    void readPanel(DashboardState& state) override;
    void writePanel(const DashboardState& state) override;
    void setDisplayValue(int id, double value) override;
    void setLampActive(int id, bool lit) override;
    double getSliderPosition() override;
    void setSliderPosition(double position) override;
    void enableControl(int id, bool enabled) override;
    bool isControlEnabled(int id);
    void showMessage(const std::string& text, MessageIcon icon) override;
    void startTimer(int id, int periodMs) override;
    void stopTimer(int id) override;
    void closeWindow() override;
    void showLinkState(LinkState state, const std::string& port,
                       const std::string& device) override;

private:
    void buildControls();
    void setUpInstruments();
    void wireLinkControls();
    void wireRemoteControls();
    void wireTroubleCodeControls();
    void wireRecordingAndCopy();
    void placeStatusBar();
    // Runs one event handler; a serial-layer error (or any other) ends it and is shown.
    void handleEvent(const std::function<void()>& handler);
    // True, after the note and the controls put back, when the hand gate refuses.
    bool handRefused();

    platform::DialogControls controls_;
    std::unique_ptr<PanelBoxes> panel_;
    bool receiving_ = false;  // inside the serial control's receive event
    platform::CMSComm comm_;
    std::unique_ptr<TerminalCore> core_;
    MultiPacketDialog engineDm1Dialog_;
    MultiPacketDialog engineDm2Dialog_;
    EngineConfigurationDialog engineConfigurationDialog_;
    AboutItem* aboutItem_ = nullptr;
    SessionRecording* recording_ = nullptr;
    TrendsItem* trends_ = nullptr;
    sequences::SequenceItem* sequences_ = nullptr;
    std::function<std::string()> handGate_;
    QAction* copyAllValues_ = nullptr;
    LinkStatusBar* statusBar_ = nullptr;
    DashboardScaling* scaling_ = nullptr;
    std::map<int, QTimer*> timers_;
    QSet<QString> messagesOnScreen_;
    std::function<void(const std::string&)> messageTap_;
};

}  // namespace terminal::ui
