#include "ReplayLog.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "platform/text/HexDigit.h"

namespace sim {

namespace {

using platform::hexDigitValue;

}  // namespace

std::optional<std::string> unescapedLine(const std::string& text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '\\') {
            bytes += '\\';
            i += 1;
        } else if (i + 3 < text.size() && text[i + 1] == 'x' && hexDigitValue(text[i + 2]) >= 0 &&
                   hexDigitValue(text[i + 3]) >= 0) {
            bytes +=
                static_cast<char>(hexDigitValue(text[i + 2]) * 16 + hexDigitValue(text[i + 3]));
            i += 3;
        } else {
            return std::nullopt;
        }
    }
    return bytes;
}

ReplayScript readReplayLog(const std::string& path) {
    std::ifstream file(path);
    if (!file) {
        throw std::runtime_error("cannot read the replay log " + path);
    }
    struct Entry {
        double seconds;
        bool received;
        std::string bytes;
    };
    std::vector<Entry> entries;
    std::string text;
    int number = 0;
    while (std::getline(file, text)) {
        ++number;
        if (text.empty()) {
            continue;
        }
        const auto bad = [&](const std::string& why) {
            return std::runtime_error(path + " line " + std::to_string(number) + ": " + why);
        };
        char* end = nullptr;
        const double seconds = std::strtod(text.c_str(), &end);
        const std::size_t after = static_cast<std::size_t>(end - text.c_str());
        if (end == text.c_str() || seconds < 0 || text.compare(after, 4, " rx ") != 0) {
            if (end != text.c_str() && seconds >= 0 && text.compare(after, 4, " tx ") == 0) {
                entries.push_back({seconds, false, {}});
                continue;
            }
            throw bad("not a line of Tessaly --record-lines (\"SECONDS rx|tx LINE\")");
        }
        std::optional<std::string> bytes = unescapedLine(text.substr(after + 4));
        if (!bytes) {
            throw bad("a backslash that is neither \\\\ nor \\xHH");
        }
        entries.push_back({seconds, true, *bytes + "\r\n"});
    }
    ReplayScript script;
    double origin = -1;
    for (const Entry& entry : entries) {
        if (origin < 0) {
            origin = entry.seconds;
        }
        if (entry.received) {
            script.lines.push_back({std::max(0.0, entry.seconds - origin), entry.bytes});
        }
    }
    return script;
}

}  // namespace sim
