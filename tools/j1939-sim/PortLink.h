#pragma once
// The "comN" link in the port-map folder that lets a program reach the simulator as COMN:
// $COMPORTS_DIR, else $XDG_CONFIG_HOME/comports, else ~/.config/comports. The link is removed
// again when the simulator ends, unless another simulator has taken the name since.

#include <string>

namespace sim {

std::string portMapFolder();

class PortLink {
public:
    // Creates (or replaces) folder/comN -> target. Throws std::runtime_error.
    PortLink(int comNumber, const std::string& target);
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;
    ~PortLink();

    const std::string& linkPath() const { return linkPath_; }
    // What the link pointed to before, if it was replaced (empty otherwise).
    const std::string& replaced() const { return replaced_; }

private:
    std::string linkPath_;
    std::string target_;
    std::string replaced_;
};

}  // namespace sim
