#pragma once
// The simulated device: its identity, level, mode flags and CAN rate, what it answers to each
// command line and what it reports in its status lines. No I/O here: the caller feeds it the
// received lines and puts its answers on the wire.

#include <cstdint>
#include <string>
#include <vector>

#include "WireFormat.h"

namespace sim {

// Key codes of the device's keypad and mode switches as the terminal sends them.
inline constexpr std::uint8_t keyDown = 0x01;
inline constexpr std::uint8_t keyUp = 0x02;
// Menu and the Warnings check box share this code; here it toggles the warning mode.
inline constexpr std::uint8_t keyMenuWarnings = 0x10;
inline constexpr std::uint8_t keyQuiet = 0x43;
inline constexpr std::uint8_t keyResetEngineDm2 = 0x51;
inline constexpr std::uint8_t keyDynamic = 0x52;

// Mode flag bits of the simulation status line.
inline constexpr std::uint8_t flagQuietOff = 0x01;
inline constexpr std::uint8_t flagDynamic = 0x02;
inline constexpr std::uint8_t flagWarnings = 0x04;
inline constexpr std::uint8_t flagResetEngineDm2 = 0x08;

struct DeviceConfig {
    std::uint32_t serialNumber = 123456;
    int firmwareVersion = 2;  // 1..256; travels as version - 1
    char revision = 'D';
    int canRateCode = 0;  // 0..4 are the real rates; anything else reports "invalid"
    std::uint8_t level = 0;
    bool dynamic = true;
    bool quiet = false;
    bool warnings = true;
    bool resetEngineDm2 = false;
    std::uint8_t claimStatus = 0x15;  // all three controllers claimed, normal
    int levelStep = 5;                // Up / Down
    int sweepStep = 1;                // per status round in Dynamic mode
};

class Simulator {
public:
    explicit Simulator(const DeviceConfig& config);

    struct Outcome {
        std::vector<OutgoingLine> answers;
        std::string note;  // what the line was and what it did, for the log
    };

    // One received line, everything up to and including its LF.
    Outcome onCommand(const std::string& raw);

    // The three status lines of one round; `elapsedSeconds` drives the engine clock.
    // In Dynamic mode each round moves the level one sweep step.
    std::vector<OutgoingLine> statusRound(unsigned elapsedSeconds);

    std::uint8_t level() const { return level_; }
    std::uint8_t modeFlags() const;
    int canRateCode() const { return config_.canRateCode; }
    std::string describe() const;

private:
    Outcome identify();
    Outcome key(const std::string& line);
    Outcome setLevel(const std::string& line);
    Outcome changeCanRate(const std::string& line);
    std::string pressKey(std::uint8_t code);
    void sweep();

    DeviceConfig config_;
    std::uint8_t level_;
    bool sweepingUp_ = true;
};

}  // namespace sim
