#pragma once
// A serial control that hands the terminal's core prepared bytes, one receive event per
// delivery, and keeps nothing it is told: measuring must not pay for recording.

#include <cstdint>
#include <vector>

#include "platform/serial/SerialControl.h"

namespace bench {

class LineSource : public platform::SerialControl {
public:
    void setCommPort(int port) override { port_ = port; }
    int getCommPort() const override { return port_; }
    bool getPortOpen() const override { return open_; }
    void setPortOpen(bool open) override { open_ = open; }
    void setSettings(const std::string&) override {}
    std::string getSettings() const override { return "115200,n,8,1"; }
    void setInputMode(int) override {}
    void setRThreshold(int) override {}
    void setInputLen(int) override {}
    void setOutput(const std::vector<std::uint8_t>&) override {}
    std::vector<std::uint8_t> getInput() override {
        std::vector<std::uint8_t> out;
        out.swap(pending_);
        return out;
    }
    int getCommEvent() const override { return platform::comEvReceive; }

    void deliver(const std::uint8_t* bytes, std::size_t count) {
        pending_.assign(bytes, bytes + count);
        raiseOnComm();
    }

private:
    int port_ = 1;
    bool open_ = false;
    std::vector<std::uint8_t> pending_;
};

}  // namespace bench
