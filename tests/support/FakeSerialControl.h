#pragma once
// A serial control for unit tests: records every property write and every output byte,
// and lets a test deliver received bytes and raise OnComm.

#include "platform/serial/SerialControl.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace testing_support {

class FakeSerialControl : public platform::SerialControl {
public:
    // What the fake has been told, in order ("CommPort=3", "PortOpen=1", "Settings=...").
    std::vector<std::string> calls;
    // Every byte written through Output, and the writes themselves (one vector per write).
    std::vector<std::uint8_t> written;
    std::vector<std::vector<std::uint8_t>> writes;
    // Bytes waiting to be read by getInput().
    std::vector<std::uint8_t> pending;

    bool open = false;
    int port = 0;
    std::string settings;
    int event = platform::comEvReceive;
    // Failure injection: opening throws this text; "stuck open" keeps PortOpen true on close;
    // a write error makes Output throw while the port stays open, as a vanished device can.
    std::string openError;
    bool stuckOpen = false;
    std::string writeError;
    // Runs after each successful open (to inject a failure that follows it).
    std::function<void()> afterOpen;

    // The device that COMn resolves to now, as the port map would give it, unless the device
    // override names another; opening a device in `absentDevices` fails as a missing one does.
    std::string mappedDevice = "/dev/ttyUSB0";
    std::set<std::string> absentDevices;
    // Every device an open was tried on, in order, whether it opened or not.
    std::vector<std::string> openAttempts;

    void setCommPort(int p) override {
        calls.push_back("CommPort=" + std::to_string(p));
        port = p;
    }
    int getCommPort() const override { return port; }
    bool getPortOpen() const override { return open; }
    void setPortOpen(bool value) override {
        calls.push_back(std::string("PortOpen=") + (value ? "1" : "0"));
        if (!value) {
            open = open && stuckOpen;
            return;
        }
        const std::string device = deviceOverride().empty() ? mappedDevice : deviceOverride();
        openAttempts.push_back(device);
        if (!openError.empty()) {
            throw platform::SerialError(openError);
        }
        if (absentDevices.count(device) != 0) {
            throw platform::SerialError(device + " does not exist");
        }
        open = true;
        setOpenedThrough(device);
        if (afterOpen) {
            afterOpen();
        }
    }
    void setSettings(const std::string& s) override {
        calls.push_back("Settings=" + s);
        settings = s;
    }
    std::string getSettings() const override { return settings; }
    void setInputMode(int mode) override { calls.push_back("InputMode=" + std::to_string(mode)); }
    void setRThreshold(int t) override { calls.push_back("RThreshold=" + std::to_string(t)); }
    void setInputLen(int len) override { calls.push_back("InputLen=" + std::to_string(len)); }
    void setOutput(const std::vector<std::uint8_t>& bytes) override {
        if (!open) {
            throw platform::SerialError("Output while the port is closed");
        }
        if (!writeError.empty()) {
            throw platform::SerialError(writeError);
        }
        writes.push_back(bytes);
        written.insert(written.end(), bytes.begin(), bytes.end());
    }
    std::vector<std::uint8_t> getInput() override {
        calls.push_back("Input");
        std::vector<std::uint8_t> out;
        out.swap(pending);
        return out;
    }
    int getCommEvent() const override { return event; }

    // Queues bytes and raises OnComm, as the real control does when data arrives.
    void receive(const std::string& bytes) {
        pending.insert(pending.end(), bytes.begin(), bytes.end());
        raiseOnComm();
    }
    void receive(const std::vector<std::uint8_t>& bytes) {
        pending.insert(pending.end(), bytes.begin(), bytes.end());
        raiseOnComm();
    }
    std::string writtenText() const { return std::string(written.begin(), written.end()); }
};

}  // namespace testing_support
