#pragma once
// The serial communications control on Qt SerialPort. COMn is the device the port map gives
// for n; received bytes raise OnComm on the window's thread; a device that disappears while
// open closes the port and raises OnComm once with comEvPortLost.

#include "platform/serial/LineSettings.h"
#include "platform/serial/SerialControl.h"

#include <QObject>
#include <QPointer>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>

#include <functional>
#include <string>

namespace platform {

class CMSComm : public QObject, public platform::SerialControl {
    Q_OBJECT

public:
    explicit CMSComm(QObject* parent = nullptr);
    ~CMSComm() override;

    void setCommPort(int port) override;
    int getCommPort() const override { return port_; }

    bool getPortOpen() const override { return serial_.isOpen(); }
    void setPortOpen(bool open) override;

    void setSettings(const std::string& settings) override;
    std::string getSettings() const override { return settings_; }

    void setInputMode(int mode) override { inputMode_ = mode; }
    void setRThreshold(int threshold) override { rThreshold_ = threshold; }
    void setInputLen(int length) override { inputLen_ = length; }

    void setOutput(const std::vector<std::uint8_t>& bytes) override;
    std::vector<std::uint8_t> getInput() override;

    int getCommEvent() const override { return commEvent_; }

    // Takes in what has reached the driver by now and raises OnComm for it at once, as the
    // event loop would later. A program about to act on another input (a command read from
    // standard input) first hears what the line delivered before it.
    void takeWaitingInput();

    // The device the open port uses ("/dev/ttyUSB0"); empty while closed.
    QString devicePath() const;
    std::string openDevicePath() const override { return device_; }

    // After each receive event, the port is not read again for `ms` milliseconds (0, the
    // default: read as bytes arrive). A line that arrives a few bytes at a time then wakes the
    // program once per pause rather than for every few bytes; no byte is lost or reordered,
    // each waits at most the pause. For a program that shows a line rather than answers it.
    void setReceivePause(int ms) { receivePauseMs_ = ms; }

    // Where an error that escapes an OnComm handler goes. By default a message box; a program
    // without a window reports it its own way.
    void setUnhandledErrorReporter(std::function<void(const std::string& text)> reporter) {
        unhandledErrorReporter_ = std::move(reporter);
    }

private:
    void openPort();
    void closePort();
    void applySettings(const platform::LineSettings& settings, const std::string& text);
    void onReadyRead();
    void onErrorOccurred(QSerialPort::SerialPortError error);
    void raiseOnCommSafely();
    void pauseReceiving();
    QSocketNotifier* readNotifier();

    QSerialPort serial_;
    int port_ = 1;
    std::string settings_ = "9600,n,8,1";
    platform::LineSettings lineSettings_;
    int inputMode_ = 0;
    int rThreshold_ = 1;
    int inputLen_ = 0;
    int commEvent_ = 0;
    std::string device_;
    bool pseudoTerminal_ = false;
    // Counts opens, closes and losses, so a loss reported late is dropped once the
    // program has moved on to another open.
    unsigned generation_ = 0;
    std::function<void(const std::string& text)> unhandledErrorReporter_;
    int receivePauseMs_ = 0;
    QTimer receivePause_;
    QPointer<QSocketNotifier> readNotifier_;
};

}  // namespace platform
