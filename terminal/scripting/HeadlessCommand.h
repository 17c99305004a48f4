#pragma once
// One line of the headless session's standard input, read as a command of the dashboard:
//   level N               the slider (0 to 100)
//   key menu|down|up      the keypad buttons
//   dynamic|quiet|warnings|reset-dm2 on|off   the mode check boxes
//   can-rate 250K|500K|62.5K|125K|1M          the About box's confirmed rate change
//   snapshot | disconnect | connect | quit
// Words are lower case and separated by spaces or tabs; a CR before the line end is ignored.

#include <optional>
#include <string>
#include <string_view>

namespace terminal::headless {

struct HeadlessCommand {
    enum class Kind { level, key, mode, canRate, snapshot, disconnect, connect, quit };
    Kind kind = Kind::snapshot;
    // The command's first word, as it names the command in events ("level", "warnings", ...).
    std::string word;
    int level = 0;         // level
    int controlId = 0;     // key, mode: the dashboard control it works
    bool on = false;       // mode
    std::string rateText;  // canRate: the rate text of the About box's list, e.g. "500K bps"
};

struct ParsedCommand {
    std::optional<HeadlessCommand> command;
    std::string error;  // set when the line is not a command; both empty for a blank line
};

ParsedCommand parseCommand(std::string_view line);

}  // namespace terminal::headless
