#include "terminal/link/LineDispatch.h"

#include <optional>
#include <string>

#include "terminal/link/LinkTexts.h"
#include "terminal/protocol/HexPair.h"
#include "terminal/protocol/WireCodes.h"

namespace terminal {

namespace {
// Total lengths, CR LF included, of the lines the simulator sends.
constexpr std::size_t levelAckLength = 7;
constexpr std::size_t keyAckLength = 8;
constexpr std::size_t revisionAckLength = 10;
constexpr std::size_t baudRateAckLength = 13;
constexpr std::size_t identificationLength = 22;
constexpr std::size_t addressClaimLength = 13;
constexpr std::size_t simulationStatusLength = 14;
constexpr std::size_t engineClockLength = 15;

bool tagAt4(std::string_view line, std::string_view tag) {
    return line.substr(4, tag.size()) == tag;
}

// A reversed pair at positions p (low digit) and p+1 (high digit).
std::uint8_t pairAt(std::string_view line, std::size_t p) {
    return decodeHexPair(line[p + 1], line[p]);
}

std::string claimText(unsigned status, unsigned lowerBit) {
    std::string text(status & (1u << lowerBit) ? linkTexts::addressClaimed
                                               : linkTexts::addressNotClaimed);
    text += status & (2u << lowerBit) ? linkTexts::cannotClaim : linkTexts::claimNormal;
    return text;
}
}  // namespace

LineDispatch::LineDispatch(SessionState& session, DashboardState& dashboard, ProtocolHooks& hooks)
    : session_(session), dashboard_(dashboard), hooks_(hooks) {}

void LineDispatch::dispatch(std::string_view line) {
    if (line.size() < 4) {
        return;
    }
    const std::string_view header = line.substr(0, 4);
    checksumFailed_ = false;
    if (header == "ACK ") {
        answer(line);
    } else if (header == "BRC ") {
        statusLine(line);
    } else {
        return;
    }
    hooks_.lineCounted(!checksumFailed_);
}

bool LineDispatch::checksumChecked(std::string_view line, std::size_t length) {
    const bool matches = checksumMatches(line, length);
    checksumFailed_ = !matches;
    return matches;
}

void LineDispatch::answer(std::string_view line) {
    hooks_.readPanel();
    session_.recordSeen = true;
    const std::size_t count = line.size();
    std::optional<Acknowledgement> acknowledgement;
    if (count == levelAckLength && line[4] == '%') {
        session_.levelPending = false;
        acknowledgement = Acknowledgement::level;
    } else if (count == keyAckLength && tagAt4(line, "KI")) {
        session_.warningsPending = false;
        session_.quietPending = false;
        session_.dynamicPending = false;
        session_.resetDm2Pending = false;
        acknowledgement = Acknowledgement::key;
    } else if (count == revisionAckLength && tagAt4(line, "REV")) {
        session_.revisionLetter = line[7];
    } else if (count == baudRateAckLength && tagAt4(line, "CBRS=")) {
        // Plain code digits, high digit first.
        const std::uint8_t code = decodeHexPair(line[9], line[10]);
        session_.canRateCode = code;
        dashboard_.canBaudText = std::string(wire::rateText(code));
    } else if (count == identificationLength && tagAt4(line, "ID") &&
               session_.identificationAwaited) {
        identificationAnswer(line);
    }
    hooks_.writePanel();
    if (acknowledgement) {
        hooks_.acknowledged(*acknowledgement);
    }
}

void LineDispatch::statusLine(std::string_view line) {
    hooks_.readPanel();
    session_.recordSeen = true;
    // Status lines keep the link alive even while the gate refuses the firmware.
    if (!session_.firmwareGateOpen()) {
        return;
    }
    const std::size_t count = line.size();
    std::optional<SimulationModes> simulationShown;
    if (count == addressClaimLength && tagAt4(line, "ACS")) {
        addressClaimStatus(line);
    } else if (count == simulationStatusLength && tagAt4(line, "%S")) {
        simulationShown = simulationStatus(line);
    } else if (count == engineClockLength && tagAt4(line, "CLK")) {
        engineClock(line);
    }
    hooks_.writePanel();
    if (simulationShown) {
        hooks_.simulationStatusShown(*simulationShown);
    }
}

void LineDispatch::identificationAnswer(std::string_view line) {
    // Used up and marked for saving even when the checksum fails.
    session_.identificationAwaited = false;
    session_.settingsDirty = true;
    if (!checksumChecked(line, 18)) {
        return;
    }
    session_.baudChangeAllowed = session_.canRateCode && wire::isRateCode(*session_.canRateCode);
    dashboard_.serialNumber = static_cast<std::uint32_t>(pairAt(line, 8)) |
                              static_cast<std::uint32_t>(pairAt(line, 10)) << 8 |
                              static_cast<std::uint32_t>(pairAt(line, 12)) << 16 |
                              static_cast<std::uint32_t>(pairAt(line, 14)) << 24;
    const auto version = static_cast<std::uint16_t>(pairAt(line, 16) + 1);
    session_.firmwareVersion = version;
    auto& chars = session_.versionChars;
    if (version / 100 != 0) {
        chars[0] = static_cast<char>('0' + version / 100);
    }
    chars[1] = static_cast<char>('0' + version / 10 % 10);
    chars[2] = '.';
    chars[3] = static_cast<char>('0' + version % 10);
    chars[4] = session_.revisionLetter;
    dashboard_.firmwareVersionText.assign(chars.begin(), chars.end());
    hooks_.identificationOutcome();
}

void LineDispatch::addressClaimStatus(std::string_view line) {
    if (!checksumChecked(line, 9)) {
        return;
    }
    const unsigned status = pairAt(line, 7);
    dashboard_.engineClaimText = claimText(status, 0);
    dashboard_.transmissionClaimText = claimText(status, 2);
    dashboard_.absClaimText = claimText(status, 4);
}

std::optional<SimulationModes> LineDispatch::simulationStatus(std::string_view line) {
    if (!checksumChecked(line, 10)) {
        return std::nullopt;
    }
    const std::uint8_t level = pairAt(line, 6);
    // The model runs before the mode flags are taken, so it sees the check boxes as they were.
    if (!session_.levelPending) {
        hooks_.setSliderPosition(level);
        hooks_.applyLevel(level);
    }
    const unsigned flags = pairAt(line, 8);
    SimulationModes reported;
    reported.quietOn = (flags & 0x01u) == 0;
    reported.dynamicOn = (flags & 0x02u) != 0;
    reported.warningsOn = (flags & 0x04u) != 0 && session_.remoteControlsEnabled;
    reported.resetEngineDm2On = (flags & 0x08u) != 0 && session_.remoteControlsEnabled;
    if (!session_.quietPending) {
        dashboard_.quietOn = reported.quietOn;
    }
    if (!session_.dynamicPending) {
        dashboard_.dynamicOn = reported.dynamicOn;
    }
    if (!session_.warningsPending) {
        dashboard_.warningsOn = reported.warningsOn;
    }
    if (!session_.resetDm2Pending) {
        dashboard_.resetEngineDm2On = reported.resetEngineDm2On;
    }
    return reported;
}

void LineDispatch::engineClock(std::string_view line) {
    if (!checksumChecked(line, 11)) {
        return;
    }
    dashboard_.engineClockText =
        std::to_string(pairAt(line, 7)) + ":" + std::to_string(pairAt(line, 9));
}

}  // namespace terminal
