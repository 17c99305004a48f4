#include "terminal/sequences/SequenceFile.h"

#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <exception>
#include <fstream>
#include <set>
#include <sstream>

#include "terminal/recording/CsvParser.h"
#include "terminal/recording/ExportNames.h"
#include "terminal/scripting/HeadlessSession.h"
#include "terminal/trends/TrendItems.h"

namespace terminal::sequences {

namespace {

// Beyond this a file is no procedure a person wrote; the reader never holds more.
constexpr std::size_t largestFile = 1 << 20;
constexpr double longestSeconds = 86400;

struct Refusal {
    int line;
    std::string text;
};

[[noreturn]] void refuse(int line, std::string text) {
    throw Refusal{line, std::move(text)};
}

int lineOf(const YAML::Node& node, int fallback) {
    const YAML::Mark mark = node.Mark();
    return mark.line >= 0 ? mark.line + 1 : fallback;
}

// The boxes as a sequence file names them, with the headless command's word.
struct ModeName {
    std::string_view key;
    std::string_view word;
};
constexpr std::array<ModeName, 4> modeNames{{{"dynamic", "dynamic"},
                                             {"quiet", "quiet"},
                                             {"warnings", "warnings"},
                                             {"reset_dm2", "reset-dm2"}}};

const ModeName* modeNamed(std::string_view key) {
    for (const ModeName& mode : modeNames) {
        if (mode.key == key) {
            return &mode;
        }
    }
    return nullptr;
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::optional<double> numberOf(std::string_view text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || at != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<bool> switchOf(std::string_view text) {
    const std::string word = lowered(std::string(text));
    if (word == "on" || word == "true" || word == "yes" || word == "1") {
        return true;
    }
    if (word == "off" || word == "false" || word == "no" || word == "0") {
        return false;
    }
    return std::nullopt;
}

std::optional<int> levelOf(std::string_view text) {
    const std::optional<double> value = numberOf(text);
    if (!value || *value < 0 || *value > 100 || std::floor(*value) != *value) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

// A node's scalar text; `what` says what it must be when it is a list or a mapping.
std::string scalar(const YAML::Node& node, int line, const std::string& what) {
    if (!node.IsScalar()) {
        refuse(lineOf(node, line), what);
    }
    return node.Scalar();
}

std::string text(const YAML::Node& node, int line, const std::string& key) {
    std::string value = scalar(node, line, "'" + key + "' must be a text");
    if (value.empty()) {
        refuse(lineOf(node, line), "'" + key + "' must not be empty");
    }
    return value;
}

int level(const YAML::Node& node, int line, const std::string& key) {
    const std::string what = "'" + key + "' must be a whole number from 0 to 100";
    const std::string value = scalar(node, line, what);
    const std::optional<int> parsed = levelOf(value);
    if (!parsed) {
        refuse(lineOf(node, line), what + ", not '" + value + "'");
    }
    return *parsed;
}

double seconds(const YAML::Node& node, int line, const std::string& key) {
    const std::string what = "'" + key + "' must be a number of seconds from 0 to 86400";
    const std::string value = scalar(node, line, what);
    const std::optional<double> parsed = numberOf(value);
    if (!parsed || *parsed < 0 || *parsed > longestSeconds) {
        refuse(lineOf(node, line), what + ", not '" + value + "'");
    }
    return *parsed;
}

double number(const YAML::Node& node, int line, const std::string& key) {
    const std::string value = scalar(node, line, "'" + key + "' must be a number");
    const std::optional<double> parsed = numberOf(value);
    if (!parsed) {
        refuse(lineOf(node, line), "'" + key + "' must be a number, not '" + value + "'");
    }
    return *parsed;
}

bool onOff(const YAML::Node& node, int line, const std::string& key) {
    const std::string what = "'" + key + "' must be on or off";
    const std::string value = scalar(node, line, what);
    const std::optional<bool> parsed = switchOf(value);
    if (!parsed) {
        refuse(lineOf(node, line), what + ", not '" + value + "'");
    }
    return *parsed;
}

// A mapping's entries by key, each key once, every key one of `known`.
std::vector<std::pair<std::string, YAML::Node>> entries(const YAML::Node& node, int line,
                                                        const std::string& what,
                                                        const std::set<std::string_view>& known) {
    if (!node.IsMap()) {
        refuse(lineOf(node, line), what);
    }
    std::vector<std::pair<std::string, YAML::Node>> found;
    std::set<std::string> seen;
    for (const auto& entry : node) {
        const int at = lineOf(entry.first, line);
        const std::string key = scalar(entry.first, at, "a key must be a text");
        if (!known.contains(key)) {
            refuse(at, "unknown key '" + key + "'");
        }
        if (!seen.insert(key).second) {
            refuse(at, "'" + key + "' is given twice");
        }
        found.emplace_back(key, entry.second);
    }
    return found;
}

std::vector<ModeSetting> modes(const YAML::Node& node, int line) {
    std::vector<ModeSetting> settings;
    for (const auto& [key, value] :
         entries(node, line, "'mode' must be a mapping of boxes to on or off",
                 {"dynamic", "quiet", "warnings", "reset_dm2"})) {
        settings.push_back({std::string(modeNamed(key)->word), onOff(value, line, key)});
    }
    if (settings.empty()) {
        refuse(line, "'mode' names no box");
    }
    return settings;
}

// A value's or lamp's trend item: by its column name or by its caption.
std::optional<std::size_t> itemNamed(const std::string& caption, TrendItemKind kind) {
    const std::vector<TrendItem>& items = trendItems();
    std::optional<std::size_t> index = trendItemIndex(caption);
    for (std::size_t i = 0; !index && i < items.size(); ++i) {
        if (items[i].caption == caption) {
            index = i;
        }
    }
    const bool isValue = kind == TrendItemKind::display;
    if (index &&
        (items[*index].kind == kind || (isValue && items[*index].kind == TrendItemKind::level))) {
        return index;
    }
    return std::nullopt;
}

void troubleCode(Expectation& expect, const std::string& code, int line) {
    for (std::size_t i = 0; i < troubleCodeBoxes.size(); ++i) {
        const std::string prefix = std::string(troubleCodeBoxes[i].caption) + " ";
        if (!code.starts_with(prefix)) {
            continue;
        }
        const std::string numbers = code.substr(prefix.size());
        const std::size_t colon = numbers.find(':');
        std::uint32_t spn = 0;
        int fmi = 0;
        const char* begin = numbers.data();
        const char* end = begin + numbers.size();
        const bool good = colon != std::string::npos && colon > 0 &&
                          std::from_chars(begin, begin + colon, spn).ptr == begin + colon &&
                          colon + 1 < numbers.size() &&
                          std::from_chars(begin + colon + 1, end, fmi).ptr == end && fmi >= 0 &&
                          fmi <= 31 && spn <= 0x7FFFF;
        if (!good) {
            refuse(line, "'trouble_code' must be the list's name and SPN:FMI, not '" + code + "'");
        }
        expect.box = i;
        expect.spn = spn;
        expect.fmi = fmi;
        return;
    }
    refuse(line, "unknown trouble-code list in '" + code +
                     "' (Engine DM1, ABS DM1, Transmission DM1 or Engine DM2)");
}

Expectation expectation(const YAML::Node& node, int line) {
    static const std::set<std::string_view> subjects{"level",    "dynamic",      "quiet",
                                                     "warnings", "reset_dm2",    "value",
                                                     "lamp",     "trouble_code", "link"};
    static const std::set<std::string_view> known{
        "level",     "dynamic",      "quiet",   "warnings", "reset_dm2", "value",
        "lamp",      "trouble_code", "link",    "equals",   "min",       "max",
        "tolerance", "lit",          "present", "within",   "grade"};
    Expectation expect;
    std::string subject;
    std::set<std::string> given;
    for (const auto& [key, value] : entries(node, line, "'expect' must be a mapping", known)) {
        given.insert(key);
        if (subjects.contains(key)) {
            if (!subject.empty()) {
                refuse(line, "an expect checks one thing, not '" + subject + "' and '" + key + "'");
            }
            subject = key;
        }
        if (key == "level") {
            expect.kind = ExpectKind::level;
            expect.level = level(value, line, key);
        } else if (const ModeName* mode = modeNamed(key)) {
            expect.kind = ExpectKind::mode;
            expect.mode = {std::string(mode->word), onOff(value, line, key)};
        } else if (key == "value") {
            expect.kind = ExpectKind::value;
            expect.caption = text(value, line, key);
            const std::optional<std::size_t> item =
                itemNamed(expect.caption, TrendItemKind::display);
            if (!item) {
                refuse(lineOf(value, line), "unknown value '" + expect.caption + "'");
            }
            expect.item = *item;
        } else if (key == "lamp") {
            expect.kind = ExpectKind::lamp;
            expect.caption = text(value, line, key);
            const std::optional<std::size_t> item = itemNamed(expect.caption, TrendItemKind::lamp);
            if (!item) {
                refuse(lineOf(value, line), "unknown lamp '" + expect.caption + "'");
            }
            expect.item = *item;
        } else if (key == "trouble_code") {
            expect.kind = ExpectKind::troubleCode;
            troubleCode(expect, text(value, line, key), lineOf(value, line));
        } else if (key == "link") {
            expect.kind = ExpectKind::link;
            expect.caption = text(value, line, key);
            if (expect.caption != "identified") {
                refuse(lineOf(value, line),
                       "'link' can only be identified, not '" + expect.caption + "'");
            }
        } else if (key == "equals") {
            expect.equals = number(value, line, key);
        } else if (key == "min") {
            expect.min = number(value, line, key);
        } else if (key == "max") {
            expect.max = number(value, line, key);
        } else if (key == "tolerance") {
            expect.tolerance = number(value, line, key);
            if (expect.tolerance < 0) {
                refuse(lineOf(value, line), "'tolerance' must not be negative");
            }
        } else if (key == "lit") {
            expect.lit = onOff(value, line, key);
        } else if (key == "present") {
            expect.present = onOff(value, line, key);
        } else if (key == "within") {
            expect.withinSeconds = seconds(value, line, key);
        } else if (key == "grade") {
            const std::string grade =
                scalar(value, line, "'grade' must be warning, error or fatal");
            if (grade == "warning") {
                expect.grade = Grade::warning;
            } else if (grade == "error") {
                expect.grade = Grade::error;
            } else if (grade == "fatal") {
                expect.grade = Grade::fatal;
            } else {
                refuse(lineOf(value, line),
                       "'grade' must be warning, error or fatal, not '" + grade + "'");
            }
        }
    }
    if (subject.empty()) {
        refuse(line,
               "an expect needs what it checks: level, a mode, value, lamp, "
               "trouble_code or link");
    }
    const auto onlyWith = [&](std::string_view key, std::string_view owner) {
        if (given.contains(std::string(key)) && subject != owner) {
            refuse(line,
                   "'" + std::string(key) + "' belongs to a '" + std::string(owner) + "' expect");
        }
    };
    for (std::string_view key : {"equals", "min", "max", "tolerance"}) {
        onlyWith(key, "value");
    }
    onlyWith("lit", "lamp");
    onlyWith("present", "trouble_code");
    if (expect.kind == ExpectKind::value) {
        if (!expect.equals && !expect.min && !expect.max) {
            refuse(line, "a value expect needs 'equals', 'min' or 'max'");
        }
        if (given.contains("tolerance") && !expect.equals) {
            refuse(line, "'tolerance' needs 'equals'");
        }
        if (expect.min && expect.max && *expect.min > *expect.max) {
            refuse(line, "'min' is above 'max'");
        }
    }
    return expect;
}

const std::set<std::string_view>& stepKeys() {
    static const std::set<std::string_view> keys{"name", "level",   "mode",   "key", "wait", "hold",
                                                 "ramp", "profile", "expect", "ask", "run"};
    return keys;
}

SequenceStep step(const YAML::Node& node, int fallbackLine, const ProfileSource& profiles) {
    const int line = lineOf(node, fallbackLine);
    if (!node.IsMap()) {
        refuse(line, "a step must be a mapping, such as 'level: 50'");
    }
    SequenceStep step;
    step.line = line;
    std::string action;
    std::set<std::string> seen;
    for (const auto& entry : node) {
        const int at = lineOf(entry.first, line);
        const std::string key = scalar(entry.first, at, "a key must be a text");
        if (!stepKeys().contains(key)) {
            refuse(at, "unknown step '" + key + "'");
        }
        if (!seen.insert(key).second) {
            refuse(at, "'" + key + "' is given twice");
        }
        const YAML::Node& value = entry.second;
        if (key == "name") {
            step.name = text(value, at, key);
            continue;
        }
        if (!action.empty()) {
            refuse(at, "a step does one thing, not '" + action + "' and '" + key + "'");
        }
        action = key;
        if (key == "level") {
            step.kind = StepKind::level;
            step.level = level(value, at, key);
        } else if (key == "mode") {
            step.kind = StepKind::mode;
            step.modes = modes(value, at);
        } else if (key == "key") {
            step.kind = StepKind::key;
            step.key = scalar(value, at, "'key' must be menu, up or down");
            if (step.key != "menu" && step.key != "up" && step.key != "down") {
                refuse(lineOf(value, at), "'key' must be menu, up or down, not '" + step.key + "'");
            }
        } else if (key == "wait" || key == "hold") {
            step.kind = StepKind::wait;
            step.seconds = seconds(value, at, key);
        } else if (key == "ramp") {
            step.kind = StepKind::ramp;
            const auto fields = entries(value, at, "'ramp' must be a mapping with level and over",
                                        {"level", "over"});
            if (fields.size() != 2) {
                refuse(at, "'ramp' needs both 'level' and 'over'");
            }
            for (const auto& [field, fieldValue] : fields) {
                if (field == "level") {
                    step.level = level(fieldValue, at, field);
                } else {
                    step.seconds = seconds(fieldValue, at, field);
                }
            }
        } else if (key == "profile") {
            step.kind = StepKind::profile;
            step.profileFile = text(value, at, key);
            const std::optional<std::string> csv = profiles(step.profileFile);
            if (!csv) {
                refuse(lineOf(value, at), "profile '" + step.profileFile + "' cannot be read");
            }
            ProfileReading reading = readProfile(*csv, step.profileFile);
            if (!reading.error.empty()) {
                refuse(lineOf(value, at), reading.error);
            }
            step.profile = std::move(reading.points);
        } else if (key == "expect") {
            step.kind = StepKind::expect;
            step.expect = expectation(value, at);
        } else if (key == "ask") {
            step.kind = StepKind::ask;
            step.question = text(value, at, key);
        } else if (key == "run") {
            step.kind = StepKind::run;
            step.timeoutSeconds = 60;
            if (value.IsScalar()) {
                step.command = text(value, at, key);
            } else {
                for (const auto& [field, fieldValue] :
                     entries(value, at, "'run' must be a command or a mapping with command",
                             {"command", "timeout"})) {
                    if (field == "command") {
                        step.command = text(fieldValue, at, field);
                    } else {
                        step.timeoutSeconds = seconds(fieldValue, at, field);
                    }
                }
                if (step.command.empty()) {
                    refuse(at, "'run' needs 'command'");
                }
            }
        }
    }
    if (action.empty()) {
        refuse(line, "a step needs an action besides its name");
    }
    return step;
}

Sequence sequence(const YAML::Node& root, const std::string& label, const ProfileSource& profiles) {
    if (!root.IsMap()) {
        refuse(root.IsDefined() && !root.IsNull() ? lineOf(root, 1) : 1,
               "not a sequence: a mapping with 'steps' is wanted");
    }
    Sequence result;
    result.name = label;
    bool hasSteps = false;
    for (const auto& [key, value] : entries(root, 1, "not a sequence", {"name", "port", "steps"})) {
        const int line = lineOf(value, 1);
        if (key == "name") {
            result.name = text(value, line, key);
        } else if (key == "port") {
            result.port = text(value, line, key);
            if (!headless::isPortChoice(result.port)) {
                refuse(line, "'port' must be COM1 to COM40 or an absolute device path, not '" +
                                 result.port + "'");
            }
        } else {
            if (!value.IsSequence() || value.size() == 0) {
                refuse(line, "'steps' must be a list of steps");
            }
            hasSteps = true;
            for (const YAML::Node& item : value) {
                result.steps.push_back(step(item, line, profiles));
            }
        }
    }
    if (!hasSteps) {
        refuse(1, "no 'steps'");
    }
    return result;
}

std::string withoutExtension(const std::string& label) {
    const std::size_t dot = label.rfind('.');
    return dot == std::string::npos || dot == 0 ? label : label.substr(0, dot);
}

}  // namespace

SequenceReading readSequence(std::string_view text, const std::string& label,
                             const ProfileSource& profiles) {
    SequenceReading reading;
    if (text.size() > largestFile) {
        reading.error = label + ": larger than 1 MB, no sequence";
        return reading;
    }
    try {
        reading.sequence =
            sequence(YAML::Load(std::string(text)), withoutExtension(label), profiles);
    } catch (const Refusal& refusal) {
        reading.error = label + " line " + std::to_string(refusal.line) + ": " + refusal.text;
    } catch (const YAML::Exception& error) {
        reading.error = label + " line " + std::to_string(std::max(0, error.mark.line) + 1) + ": " +
                        (error.msg.empty() ? "not YAML" : error.msg);
    } catch (const std::exception& error) {
        reading.error = label + ": " + error.what();
    }
    return reading;
}

SequenceReading readSequenceFile(const std::filesystem::path& path) {
    const auto contents = [](const std::filesystem::path& file) -> std::optional<std::string> {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            return std::nullopt;
        }
        std::ostringstream buffer;
        buffer << in.rdbuf();
        return in.bad() ? std::nullopt : std::optional<std::string>(buffer.str());
    };
    const std::string label = path.filename().string();
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return {std::nullopt, label + ": is a folder, not a sequence file"};
    }
    const std::optional<std::string> text = contents(path);
    if (!text) {
        return {std::nullopt, label + ": cannot be read"};
    }
    const std::filesystem::path folder = path.parent_path();
    return readSequence(*text, label,
                        [&](const std::string& profile) { return contents(folder / profile); });
}

ProfileReading readProfile(std::string_view text, const std::string& label) {
    ProfileReading reading;
    std::vector<std::string> columns;
    int row = 0;
    CsvParser parser([&](const CsvParser::Row& fields) {
        ++row;
        if (!reading.error.empty() || (fields.size() == 1 && fields[0].empty())) {
            return;
        }
        const std::string where = label + " row " + std::to_string(row) + ": ";
        if (columns.empty()) {
            columns = fields;
            for (const std::string& column : columns) {
                if (column != "time_s" && column != "level" && modeNamed(column) == nullptr) {
                    reading.error = where + "unknown column '" + column + "'";
                    return;
                }
            }
            if (std::count(columns.begin(), columns.end(), "time_s") != 1 ||
                std::count(columns.begin(), columns.end(), "level") != 1) {
                reading.error = where + "the header needs time_s and level";
            }
            return;
        }
        if (fields.size() != columns.size()) {
            reading.error = where + std::to_string(fields.size()) +
                            " fields where the header has " + std::to_string(columns.size());
            return;
        }
        ProfilePoint point;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (columns[i] == "time_s") {
                const std::optional<double> time = numberOf(fields[i]);
                const double earliest = reading.points.empty() ? 0 : reading.points.back().seconds;
                if (!time || *time < earliest || *time > longestSeconds) {
                    reading.error = where + "time_s must be seconds from " +
                                    (reading.points.empty() ? "0" : "the row before's") +
                                    " on, not '" + fields[i] + "'";
                    return;
                }
                point.seconds = *time;
            } else if (columns[i] == "level") {
                const std::optional<int> parsed = levelOf(fields[i]);
                if (!parsed) {
                    reading.error = where + "level must be a whole number from 0 to 100, not '" +
                                    fields[i] + "'";
                    return;
                }
                point.level = *parsed;
            } else {
                const std::optional<bool> on = switchOf(fields[i]);
                if (!on) {
                    reading.error =
                        where + columns[i] + " must be on or off, not '" + fields[i] + "'";
                    return;
                }
                point.modes.push_back({std::string(modeNamed(columns[i])->word), *on});
            }
        }
        reading.points.push_back(std::move(point));
    });
    parser.feed(text);
    parser.finish();
    if (reading.error.empty() && reading.points.empty()) {
        reading.error = label + ": no rows of time_s and level";
    }
    if (!reading.error.empty()) {
        reading.points.clear();
    }
    return reading;
}

}  // namespace terminal::sequences
