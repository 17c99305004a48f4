#pragma once
// The loader's one window: the four steps (file, port and speed, connect, program), the
// lamps, bars and counters. It turns its buttons, its 100 ms timer and the serial control's
// receive event into BootLink operations, and shows what BootLink reports.

#include <QDialog>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>

#include "loader/core/BootLink.h"
#include "loader/core/FirmwareImage.h"
#include "loader/core/LoaderObserver.h"
#include "loader/ui/Beeper.h"
#include "loader/ui/LoaderStatusBar.h"
#include "loader/ui/QtFileChooser.h"
#include "platform/clock/Clock.h"
#include "platform/layout/qt/DialogLayout.h"
#include "platform/serial/SerialControl.h"

namespace platform {
class CMSComm;
}

namespace loader::ui {

class CLoaderDlg : public QDialog, public loader::LoaderObserver {
    Q_OBJECT

public:
    static constexpr int beepHz = 4500;
    static constexpr int beepMs = 1000;
    static constexpr int timerPeriodMs = 100;

    // Without a serial control the window makes its own COM-port control (CMSComm); without a
    // clock it uses the system's. Tests pass recording fakes.
    explicit CLoaderDlg(platform::SerialControl* serial = nullptr, platform::Clock* clock = nullptr,
                        QWidget* parent = nullptr);
    ~CLoaderDlg() override;

    // What the command line fills in: the file as if chosen in the dialog, port and speed as
    // if typed.
    void chooseFile(const QString& path);
    void setPortText(const QString& text);
    void setSpeedText(const QString& text);
    // A device path (the command line's --port /dev/...) used instead of the port map while
    // the port field shows exactly that path.
    void useDevicePath(const QString& path);
    // The port as the operator should read it: "COM3 (/dev/ttyUSB0)", or the device path
    // given with its device ("/dev/serial/by-id/... (/dev/ttyUSB0)").
    QString portLabel() const;

    // Replaces the modal message boxes (a command-line run prints instead).
    void setMessageSink(std::function<void(const QString&)> sink) {
        messageSink_ = std::move(sink);
    }
    // Replaces the open-file dialog.
    void setFileChooser(loader::FileChooser* chooser) { chooser_ = chooser; }
    // Replaces the question asked before a damaged Intel HEX file is sent; it gets the fault
    // ("fw.hex line 3: record checksum is wrong") and answers true to send the file.
    void setDamagedImageQuestion(std::function<bool(const QString&)> ask) {
        damagedImageQuestion_ = std::move(ask);
    }
    // Replaces the question asked before a run in progress is left (true: leave).
    void setLeaveQuestion(std::function<bool(const QString&)> ask) {
        leaveQuestion_ = std::move(ask);
    }

    // The start byte has been echoed and the target is erasing or being written: leaving now
    // leaves it unprogrammed.
    bool transferInProgress() const;
    // Closes the serial port if it is open, as "&EXIT" does (restores the device's settings
    // and releases its lock).
    void closePort();

    const platform::DialogControls& controls() const { return controls_; }
    const loader::BootLink& link() const { return *link_; }
    const loader::FirmwareImage& image() const { return image_; }
    Beeper& beeper() { return beeper_; }
    LoaderStatusBar& statusBar() { return *statusBar_; }
    bool timerRunning() const { return timer_.isActive(); }

    // Handlers, one per control or event.
    void onLoadFile();
    void onResetPic();
    void onConnect();
    void onProgram();
    void onTimer();
    void onComm();
    void onExit();
    void onSysCommand(int command);

    // LoaderObserver
    void showMessage(const std::string& text) override;
    bool confirmDamagedImage(const std::string& fault) override;
    void setLamp(int lampId, bool on) override;
    void setEraseRange(int max) override;
    void setErasePos(int pos) override;
    void setWritePos(int pos) override;
    void startTimer() override;
    void stopTimer() override;
    void identifiedNow() override;
    void eraseBegun() override;
    void sessionFinished(bool programmed) override;
    void refresh() override;

signals:
    void identificationComplete();
    // A receive event with data: the target has answered.
    void dataReceived();
    void runFinished(bool programmed);
    void messageShown(const QString& text);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void wireControls();
    void readControls();
    void enable(int id, bool enabled);
    bool enabled(int id) const;
    void handleEvent(const std::function<void()>& handler);
    void showAbout();
    bool mayLeave();
    void applyDeviceOverride();
    void clearLastRun();
    void showFigures(bool shown);

    std::unique_ptr<platform::CMSComm> ownComm_;
    platform::SerialControl* serial_;
    platform::Clock* clock_;
    loader::FirmwareImage image_;
    std::unique_ptr<loader::BootLink> link_;
    platform::DialogControls controls_;
    QTimer timer_;
    Beeper beeper_;
    LoaderStatusBar* statusBar_ = nullptr;
    QtFileChooser dialogChooser_;
    loader::FileChooser* chooser_;
    std::function<void(const QString&)> messageSink_;
    std::function<bool(const QString&)> leaveQuestion_;
    std::function<bool(const QString&)> damagedImageQuestion_;
    QString devicePath_;

    // The window's values, exchanged with its controls; the identification line and the two
    // counters are BootLink's and are taken from it when the window refreshes.
    QString fileName_;
    QString portText_ = QStringLiteral("COM1");
    QString speedText_ = QStringLiteral("115200");
    // The counters as shown: the run's while it runs, then its last until Connect.
    std::uint32_t shownLength_ = 0;
    std::uint32_t shownSent_ = 0;
};

}  // namespace loader::ui
