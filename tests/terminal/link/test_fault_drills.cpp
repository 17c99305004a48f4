// Fault drills on the terminal's core: a minute of line noise at the full line rate, a
// settings file of 10 MB of garbage, and a settings folder that cannot be written.

#include <gtest/gtest.h>

#include <unistd.h>

#include <random>

#include "core_rig.h"
#include "terminal/link/LinkTexts.h"

using namespace coretest;
using namespace linetest;

namespace {

constexpr std::size_t lineBytesPerSecond = 11520;

std::vector<std::uint8_t> noise(std::size_t count, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<std::uint8_t> bytes(count);
    for (auto& b : bytes) {
        b = static_cast<std::uint8_t>(byte(random));
    }
    return bytes;
}

// 60 s of random bytes, in events of 1 to 64 bytes, with the one-second tick in between: the
// terminal keeps dropping and retaking the silent link, and shows nothing of the noise.
TEST(FaultDrill, AMinuteOfNoiseAtTheLineRateShowsNothing) {
    CoreRig rig;
    rig.start();
    std::mt19937 cuts(7);
    std::uniform_int_distribution<std::size_t> eventSize(1, 64);
    for (int second = 0; second < 60; ++second) {
        const auto bytes = noise(lineBytesPerSecond, static_cast<std::uint32_t>(second));
        for (std::size_t at = 0; at < bytes.size();) {
            const std::size_t take = std::min(eventSize(cuts), bytes.size() - at);
            rig.serial.receive(
                std::vector<std::uint8_t>(bytes.begin() + static_cast<long>(at),
                                          bytes.begin() + static_cast<long>(at + take)));
            at += take;
        }
        rig.tick();
    }
    // Only the resets ever moved the slider, and only to 0.
    for (double position : rig.view.sliderWrites) {
        EXPECT_EQ(0, position);
    }
    EXPECT_EQ(terminal::linkTexts::notFoundYet, rig.view.panel.canBaudText);
    EXPECT_EQ(terminal::linkTexts::claimInfoNotAvailable, rig.view.panel.engineClaimText);
    EXPECT_EQ(terminal::linkTexts::engineClockAtReset, rig.view.panel.engineClockText);
    EXPECT_EQ(0u, rig.view.panel.serialNumber);
    EXPECT_TRUE(rig.view.messages.empty());
    // And the link still works when the simulator talks sense again.
    rig.tick();
    rig.serial.receive("ACK REVD\r\nACK CBRS=03\r\n" + identification(305419896, 0x01));
    rig.serial.receive(simulationStatus(64, 0x02));
    EXPECT_EQ(64, rig.view.slider);
}

TEST(FaultDrill, TenMegabytesOfGarbageInTheSettingsFileAreReplacedByOnePortLine) {
    CoreRig rig;
    const auto garbage = noise(10 * 1024 * 1024, 99);
    std::ofstream(rig.settingsPath, std::ios::binary)
        .write(reinterpret_cast<const char*>(garbage.data()),
               static_cast<std::streamsize>(garbage.size()));
    rig.startConnected();
    EXPECT_TRUE(rig.serial.open);
    EXPECT_EQ(0u, rig.view.panel.portName.rfind("COM", 0));
    rig.tick();  // the identification marked the settings for saving
    EXPECT_EQ("COM=" + rig.view.panel.portName.substr(3) + ";\r\n", fileText(rig.settingsPath));
    EXPECT_TRUE(rig.view.messages.empty());
}

TEST(FaultDrill, AReadOnlySettingsFolderLeavesTheTerminalWorkingAndSilent) {
    CoreRig rig;
    writeFile(rig.settingsPath, "COM=4;\r\n");
    std::filesystem::permissions(
        rig.folder.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    std::filesystem::permissions(rig.settingsPath, std::filesystem::perms::owner_read);
    if (::access(rig.settingsPath.c_str(), W_OK) == 0) {
        GTEST_SKIP() << "running with rights that ignore file permissions";
    }
    rig.startConnected();
    EXPECT_EQ("COM4", rig.view.panel.portName);
    rig.tick();  // wants to save the settings and cannot
    rig.serial.receive(simulationStatus(30, 0x02));
    EXPECT_EQ(30, rig.view.slider);
    EXPECT_TRUE(rig.serial.open);
    EXPECT_TRUE(rig.view.messages.empty());
    EXPECT_EQ("COM=4;\r\n", fileText(rig.settingsPath));
}

}  // namespace
