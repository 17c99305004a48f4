#pragma once
// Which device a COM port number stands for. A folder of symbolic links (com1 ... com40, the
// layout Linux users know from running COM-port programs under Wine) maps a port by hand;
// a port without a link is the n-th serial device the system reports, USB adapters first.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// How a COM port number was resolved.
struct ComPortMapping {
    enum class Source { link, system, none };
    Source source = Source::none;
    // The device as the link names it (made absolute) or as found on the system; empty for none.
    std::string device;
    // The link in the port-map folder when source is link.
    std::filesystem::path link;
    // 1-based position among the system's serial devices when source is system.
    int systemIndex = 0;
};

// The port-map folder: $COMPORTS_DIR when set, else $XDG_CONFIG_HOME/comports, else
// ~/.config/comports.
std::filesystem::path portMapFolder();

// A path for the operator: the home folder shown as "~".
std::string displayPath(const std::filesystem::path& path);

class PortMap {
public:
    // The map of this user on this system.
    PortMap();
    // A map over another folder and another filesystem root ("/" normally; a temp folder
    // holding dev/ and sys/ in tests).
    PortMap(std::filesystem::path folder, std::filesystem::path systemRoot);

    const std::filesystem::path& folder() const { return folder_; }

    ComPortMapping map(int port) const;

    // Serial devices present: ttyUSB* by number, then ttyACM*, then the on-board ttyS* that
    // have a UART behind them.
    std::vector<std::string> systemSerialDevices() const;

    // One line for a tooltip: "COM3 -> /dev/ttyUSB0 (link in ~/.config/comports)",
    // "COM5: no device".
    std::string describe(int port) const;

private:
    std::optional<std::filesystem::path> linkFor(int port) const;
    bool isRealOnBoardPort(const std::string& name) const;

    std::filesystem::path folder_;
    std::filesystem::path systemRoot_;
};

// Shorthands over the map of this user on this system.
std::optional<std::string> deviceForComPort(int port);
std::vector<std::string> systemSerialDevices(const std::filesystem::path& systemRoot = "/");
std::string describeComPort(int port);

}  // namespace platform
