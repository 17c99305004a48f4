#pragma once
// The port the loader talks to: the master side of a pseudo-terminal (the loader opens the
// slave, usually through a port-map link) or a real serial device.

#include <string>

namespace boot_target {

class Endpoint {
public:
    Endpoint() = default;
    ~Endpoint();
    Endpoint(const Endpoint&) = delete;
    Endpoint& operator=(const Endpoint&) = delete;

    // A new pseudo-terminal in raw mode. Returns false with `error` set when it fails.
    bool openPseudoTerminal(std::string& error);
    // A real device, raw, at `speed` bit/s.
    bool openDevice(const std::string& path, int speed, std::string& error);
    // A symbolic link at `linkPath` to the pseudo-terminal's slave; replaces a stale link.
    bool createLink(const std::string& linkPath, std::string& error);
    // Removes the link and closes the port: the device is gone for the loader.
    void close();

    int fd() const { return fd_; }
    bool isPseudoTerminal() const { return pseudoTerminal_; }
    const std::string& name() const { return name_; }
    const std::string& link() const { return link_; }

private:
    int fd_ = -1;
    bool pseudoTerminal_ = false;
    std::string name_;
    std::string link_;
};

// The port-map folder the loader reads: $COMPORTS_DIR, else $XDG_CONFIG_HOME/comports,
// else ~/.config/comports.
std::string portMapFolder();

}  // namespace boot_target
