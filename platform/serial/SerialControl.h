#pragma once
// The serial communications control as the program cores see it: the properties and the
// one event of the COM-port control, and nothing of the toolkit behind it. The Qt
// implementation is CMSComm; tests use a fake that records what crossed this seam.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

// What the control refuses (a missing or busy port, an unusable settings string, output
// while closed). The text is meant for the operator: it names the device and what to do.
class SerialError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// CommEvent code for "data received"; every other code is ignored by the programs.
inline constexpr int comEvReceive = 2;
// CommEvent code raised once when an open device disappears (a USB adapter pulled out, the
// far end of a pseudo-terminal closed). The control has closed the port by then.
inline constexpr int comEvPortLost = 1100;

class SerialControl {
public:
    virtual ~SerialControl() = default;

    // CommPort: port number n of "COMn", written while the port is closed.
    virtual void setCommPort(int port) = 0;
    virtual int getCommPort() const = 0;

    // PortOpen: read to test; write true to open (throws SerialError when refused), false to close.
    virtual bool getPortOpen() const = 0;
    virtual void setPortOpen(bool open) = 0;

    // Settings: "115200,n,8,1" style; applied to the open port. Throws when unusable.
    virtual void setSettings(const std::string& settings) = 0;
    virtual std::string getSettings() const = 0;

    // InputMode 1 = binary, RThreshold 1 = event per arrival, InputLen 0 = read everything.
    virtual void setInputMode(int mode) = 0;
    virtual void setRThreshold(int threshold) = 0;
    virtual void setInputLen(int length) = 0;

    // Output: writes the bytes in order. Throws SerialError while the port is closed.
    virtual void setOutput(const std::vector<std::uint8_t>& bytes) = 0;

    // Input: every waiting byte, removed from the control.
    virtual std::vector<std::uint8_t> getInput() = 0;

    // CommEvent: the code of the event being handled (comEvReceive for data).
    virtual int getCommEvent() const = 0;

    // The device the open port uses ("/dev/ttyUSB0"); empty while closed or when unknown.
    virtual std::string openDevicePath() const { return {}; }

    // OnComm: raised on the window's thread as soon as data has arrived.
    void setOnComm(std::function<void()> handler) { onComm_ = std::move(handler); }

    // A device path ("/dev/ttyUSB1", "/dev/serial/by-id/...") that the next opens use in place
    // of the device the port map gives for CommPort; empty hands the choice back to the map.
    // CommPort still names the port in every text.
    void setDeviceOverride(std::string path) { deviceOverride_ = std::move(path); }
    const std::string& deviceOverride() const { return deviceOverride_; }

    // The path the last successful open went through, kept after the port has closed or been
    // lost: the port-map link when COMn had one (or the override), else the device itself.
    // Reopening exactly this after a loss follows a link to wherever it leads now, and never
    // drifts to the next device of the system's list. Empty before the first open.
    const std::string& openedThrough() const { return openedThrough_; }

protected:
    void setOpenedThrough(std::string path) { openedThrough_ = std::move(path); }
    void raiseOnComm() {
        if (onComm_) {
            onComm_();
        }
    }

private:
    std::function<void()> onComm_;
    std::string deviceOverride_;
    std::string openedThrough_;
};

}  // namespace platform
