#include "terminal/scripting/HeadlessCommand.h"

#include <vector>

#include "terminal/dashboard/ControlIds.h"
#include "terminal/protocol/WireCodes.h"

namespace terminal::headless {

namespace {

using Kind = HeadlessCommand::Kind;

struct NamedControl {
    std::string_view name;
    int id;
};

constexpr NamedControl keys[] = {
    {"menu", ids::menuButton},
    {"down", ids::downButton},
    {"up", ids::upButton},
};

constexpr NamedControl modes[] = {
    {"dynamic", ids::dynamicCheck},
    {"quiet", ids::quietCheck},
    {"warnings", ids::warningsCheck},
    {"reset-dm2", ids::resetEngineDm2Check},
};

struct NamedRate {
    std::string_view name;
    std::string_view text;
};

constexpr NamedRate rates[] = {
    {"250K", wire::rateText250k}, {"500K", wire::rateText500k}, {"62.5K", wire::rateText62k5},
    {"125K", wire::rateText125k}, {"1M", wire::rateText1m},
};

constexpr int highestLevel = 100;

std::vector<std::string_view> wordsOf(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t\r", at);
        if (start == std::string_view::npos) {
            break;
        }
        std::size_t end = line.find_first_of(" \t\r", start);
        if (end == std::string_view::npos) {
            end = line.size();
        }
        words.push_back(line.substr(start, end - start));
        at = end;
    }
    return words;
}

// 0 to 100 in decimal digits only ("50", "007"); anything else is no level.
std::optional<int> levelOf(std::string_view text) {
    if (text.empty() || text.size() > 3) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value > highestLevel) {
        return std::nullopt;
    }
    return value;
}

ParsedCommand refused(std::string text) {
    return {std::nullopt, std::move(text)};
}

ParsedCommand command(HeadlessCommand parsed) {
    return {std::move(parsed), {}};
}

}  // namespace

ParsedCommand parseCommand(std::string_view line) {
    const std::vector<std::string_view> words = wordsOf(line);
    if (words.empty()) {
        return {};
    }
    HeadlessCommand parsed;
    parsed.word = std::string(words[0]);
    const std::string_view word = words[0];
    const std::size_t count = words.size();

    if (word == "snapshot" || word == "disconnect" || word == "connect" || word == "quit") {
        if (count != 1) {
            return refused(parsed.word + " takes no argument");
        }
        parsed.kind = word == "snapshot"     ? Kind::snapshot
                      : word == "disconnect" ? Kind::disconnect
                      : word == "connect"    ? Kind::connect
                                             : Kind::quit;
        return command(parsed);
    }
    if (word == "level") {
        const std::optional<int> level = count == 2 ? levelOf(words[1]) : std::nullopt;
        if (!level) {
            return refused("level takes one whole number from 0 to 100");
        }
        parsed.kind = Kind::level;
        parsed.level = *level;
        return command(parsed);
    }
    if (word == "key") {
        for (const NamedControl& key : keys) {
            if (count == 2 && words[1] == key.name) {
                parsed.kind = Kind::key;
                parsed.controlId = key.id;
                return command(parsed);
            }
        }
        return refused("key takes one of menu, down, up");
    }
    for (const NamedControl& mode : modes) {
        if (word != mode.name) {
            continue;
        }
        if (count != 2 || (words[1] != "on" && words[1] != "off")) {
            return refused(parsed.word + " takes on or off");
        }
        parsed.kind = Kind::mode;
        parsed.controlId = mode.id;
        parsed.on = words[1] == "on";
        return command(parsed);
    }
    if (word == "can-rate") {
        for (const NamedRate& rate : rates) {
            if (count == 2 && words[1] == rate.name) {
                parsed.kind = Kind::canRate;
                parsed.rateText = std::string(rate.text);
                return command(parsed);
            }
        }
        return refused("can-rate takes one of 250K, 500K, 62.5K, 125K, 1M");
    }
    // Only the first word comes back: the line may be anything, of any length.
    constexpr std::size_t longestEcho = 40;
    return refused("unknown command: " + parsed.word.substr(0, longestEcho));
}

}  // namespace terminal::headless
