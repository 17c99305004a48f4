#pragma once
// The simulator's end of the serial line: the master side of a fresh pseudo-terminal (the
// terminal opens the slave device), or a real serial device at 115200 8N1 raw.

#include <string>

namespace sim {

class SerialEndpoint {
public:
    // Both throw std::runtime_error with a readable text.
    static SerialEndpoint openPseudoTerminal();
    static SerialEndpoint openDevice(const std::string& path);

    SerialEndpoint(SerialEndpoint&& other) noexcept;
    SerialEndpoint& operator=(SerialEndpoint&&) = delete;
    SerialEndpoint(const SerialEndpoint&) = delete;
    ~SerialEndpoint();

    int fd() const { return fd_; }
    // The device a program opens to reach the simulator (the pty slave, or the device given).
    const std::string& devicePath() const { return devicePath_; }
    bool isPseudoTerminal() const { return pseudoTerminal_; }

    // Appends every waiting byte to `into`. Returns false when a pty has nobody on its other
    // side (the slave is closed), true otherwise.
    bool readAvailable(std::string& into);
    // Writes what the line takes without blocking; returns the number of bytes written.
    std::size_t writeSome(const char* bytes, std::size_t count);

private:
    SerialEndpoint(int fd, std::string devicePath, bool pseudoTerminal);

    int fd_;
    std::string devicePath_;
    bool pseudoTerminal_;
};

}  // namespace sim
