#include "Simulator.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace sim {

namespace {

constexpr std::uint8_t maxNormalLevel = 100;

std::string upperCase(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string hexByte(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value & 0xFFu);
    return text;
}

const char* onOff(bool on) {
    return on ? "on" : "off";
}

}  // namespace

Simulator::Simulator(const DeviceConfig& config) : config_(config), level_(config.level) {}

std::uint8_t Simulator::modeFlags() const {
    std::uint8_t flags = 0;
    if (!config_.quiet) {
        flags |= flagQuietOff;
    }
    if (config_.dynamic) {
        flags |= flagDynamic;
    }
    if (config_.warnings) {
        flags |= flagWarnings;
    }
    if (config_.resetEngineDm2) {
        flags |= flagResetEngineDm2;
    }
    return flags;
}

std::string Simulator::describe() const {
    char firmware[16];
    std::snprintf(firmware, sizeof firmware, "%d.%d%c", config_.firmwareVersion / 10,
                  config_.firmwareVersion % 10, config_.revision);
    return "serial " + std::to_string(config_.serialNumber) + ", firmware " + firmware + ", CAN " +
           canRateText(config_.canRateCode) + ", level " + std::to_string(level_) + ", Dynamic " +
           onOff(config_.dynamic) + ", Quiet " + onOff(config_.quiet) + ", Warnings " +
           onOff(config_.warnings) + ", Reset Eng DM2 " + onOff(config_.resetEngineDm2);
}

Simulator::Outcome Simulator::onCommand(const std::string& raw) {
    std::string line = raw;
    std::string ending;
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0) {
        line.resize(line.size() - 2);
    } else {
        // Every command ends with CR LF; say so when it doesn't, but still read it.
        ending = " (no CR before LF)";
        if (!line.empty() && line.back() == lineFeed) {
            line.pop_back();
        }
    }
    std::string upper = upperCase(line);
    if (upper != line) {
        ending += " (lower case)";
    }

    Outcome outcome;
    if (upper == "AT ID?") {
        outcome = identify();
    } else if (upper.rfind("AT KI", 0) == 0) {
        outcome = key(upper);
    } else if (upper.rfind("AT CBRS=", 0) == 0) {
        outcome = changeCanRate(upper);
    } else if (upper.rfind("AT %", 0) == 0) {
        outcome = setLevel(upper);
    } else {
        outcome.note = "unknown command, ignored";
    }
    outcome.note += ending;
    return outcome;
}

Simulator::Outcome Simulator::identify() {
    // Revision and rate first: the terminal takes both as they stand when the ID line arrives.
    Outcome outcome;
    outcome.answers.push_back(revisionAnswer(config_.revision));
    outcome.answers.push_back(canRateAnswer(config_.canRateCode));
    outcome.answers.push_back(identificationAnswer(
        config_.serialNumber, static_cast<std::uint8_t>(config_.firmwareVersion - 1)));
    outcome.note = "identification request";
    return outcome;
}

Simulator::Outcome Simulator::key(const std::string& line) {
    // "AT KI", key code pair, checksum pair.
    Outcome outcome;
    std::uint8_t code = 0;
    if (line.size() != 9 || !decodeHexPair(line[5], line[6], code)) {
        outcome.note = "malformed key command (want \"AT KI\", 2 hex digits, checksum), ignored";
        return outcome;
    }
    outcome.note = "key " + hexByte(code);
    if (!checksumMatches(line, 7)) {
        outcome.note +=
            " checksum BAD (want " + encodeHexPair(lineChecksum(line.substr(0, 7))) + "), ignored";
        return outcome;
    }
    outcome.note += " checksum ok: " + pressKey(code);
    outcome.answers.push_back(keyAcknowledge());
    return outcome;
}

std::string Simulator::pressKey(std::uint8_t code) {
    switch (code) {
        case keyUp: {
            auto before = level_;
            if (level_ < maxNormalLevel) {
                level_ = static_cast<std::uint8_t>(
                    std::min<int>(level_ + config_.levelStep, maxNormalLevel));
            }
            return "Up, level " + std::to_string(before) + " -> " + std::to_string(level_);
        }
        case keyDown: {
            auto before = level_;
            level_ = static_cast<std::uint8_t>(std::max<int>(level_ - config_.levelStep, 0));
            return "Down, level " + std::to_string(before) + " -> " + std::to_string(level_);
        }
        case keyMenuWarnings:
            config_.warnings = !config_.warnings;
            return std::string("Menu/Warnings, Warnings ") + onOff(config_.warnings);
        case keyQuiet:
            config_.quiet = !config_.quiet;
            return std::string("Quiet ") + onOff(config_.quiet);
        case keyResetEngineDm2:
            config_.resetEngineDm2 = !config_.resetEngineDm2;
            return std::string("Reset Eng DM2 ") + onOff(config_.resetEngineDm2);
        case keyDynamic:
            config_.dynamic = !config_.dynamic;
            return std::string("Dynamic ") + onOff(config_.dynamic);
        default:
            // The device's keypad acknowledges any key; an unknown one does nothing.
            return "unknown key, nothing changed";
    }
}

Simulator::Outcome Simulator::setLevel(const std::string& line) {
    // "AT %", level pair, checksum pair.
    Outcome outcome;
    std::uint8_t level = 0;
    if (line.size() != 8 || !decodeHexPair(line[4], line[5], level)) {
        outcome.note = "malformed level command (want \"AT %\", 2 hex digits, checksum), ignored";
        return outcome;
    }
    outcome.note = "level " + std::to_string(level);
    if (!checksumMatches(line, 6)) {
        outcome.note +=
            " checksum BAD (want " + encodeHexPair(lineChecksum(line.substr(0, 6))) + "), ignored";
        return outcome;
    }
    outcome.note +=
        " checksum ok: level " + std::to_string(level_) + " -> " + std::to_string(level);
    if (level > maxNormalLevel) {
        outcome.note += " (above 100)";
    }
    level_ = level;
    outcome.answers.push_back(levelAcknowledge());
    return outcome;
}

Simulator::Outcome Simulator::changeCanRate(const std::string& line) {
    // "AT CBRS=0" and one digit; no checksum, no answer: the next identification reports it.
    Outcome outcome;
    if (line.size() != 10 || line[8] != '0' || line[9] < '0' || line[9] > '4') {
        outcome.note = "unknown CAN rate command (want \"AT CBRS=00\" .. \"AT CBRS=04\"), ignored";
        return outcome;
    }
    int before = config_.canRateCode;
    config_.canRateCode = line[9] - '0';
    outcome.note = std::string("CAN rate ") + canRateText(before) + " -> " +
                   canRateText(config_.canRateCode) + " (reported at the next identification)";
    return outcome;
}

void Simulator::sweep() {
    // A triangle between 0 and 100; a level set above 100 sweeps back down into range.
    int step = config_.sweepStep;
    if (level_ >= maxNormalLevel) {
        sweepingUp_ = false;
    } else if (level_ == 0) {
        sweepingUp_ = true;
    }
    int next = sweepingUp_ ? std::min<int>(level_ + step, maxNormalLevel)
                           : std::max<int>(std::min<int>(level_, maxNormalLevel) - step, 0);
    level_ = static_cast<std::uint8_t>(next);
}

std::vector<OutgoingLine> Simulator::statusRound(unsigned elapsedSeconds) {
    if (config_.dynamic) {
        sweep();
    }
    // The engine clock runs as minutes:seconds since the device started.
    auto minutes = static_cast<std::uint8_t>((elapsedSeconds / 60) & 0xFFu);
    auto seconds = static_cast<std::uint8_t>(elapsedSeconds % 60);
    return {addressClaimStatus(config_.claimStatus), simulationStatus(level_, modeFlags()),
            engineClock(minutes, seconds)};
}

}  // namespace sim
