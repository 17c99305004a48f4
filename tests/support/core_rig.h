#pragma once
// A TerminalCore wired to recording fakes and a settings file in a fresh temporary folder.

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "FakeClock.h"
#include "FakeSerialControl.h"
#include "FakeTerminalView.h"
#include "line_building.h"
#include "terminal/dashboard/ControlIds.h"
#include "terminal/link/TerminalCore.h"

namespace coretest {

// A folder of its own under the system's temporary folder, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() /
                ("tessaly-test-" + std::to_string(seed()) + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

struct CoreRig {
    TempFolder folder;
    std::filesystem::path settingsPath = folder.path() / "vive1939.ini";
    testing_support::FakeTerminalView view;
    testing_support::FakeSerialControl serial;
    testing_support::FakeClock clock;
    terminal::TerminalCore core{view, serial, clock, settingsPath};

    // The window wires the control's event to the core, as the dashboard does.
    CoreRig() {
        serial.setOnComm([this] { core.onReceive(); });
    }

    void tick() { core.onTimer(terminal::ids::linkTimer); }

    // Start-up and the first tick: the port is open and "AT ID?" went out.
    void start() {
        core.startSession();
        tick();
    }

    // Start, then the simulator answers with revision, rate and identification (version 2).
    void startConnected(char revision = 'D') {
        start();
        serial.receive(std::string("ACK REV") + revision + "\r\n");
        serial.receive("ACK CBRS=03\r\n");
        serial.receive(linetest::identification(305419896, 0x01));
    }
};

}  // namespace coretest
