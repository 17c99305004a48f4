#include "terminal/recording/RawLineLog.h"

#include <cstdio>

namespace terminal {

namespace {

std::string_view withoutLineEnd(std::string_view line) {
    if (!line.empty() && line.back() == '\n') {
        line.remove_suffix(1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
    }
    return line;
}

}  // namespace

std::string escapedLine(std::string_view bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\\') {
            text += "\\\\";
        } else if (byte >= 0x20 && byte < 0x7F) {
            text += c;
        } else {
            text += "\\x";
            text += digits[byte >> 4];
            text += digits[byte & 0x0F];
        }
    }
    return text;
}

bool RawLineLog::open(const std::filesystem::path& path) {
    pending_.clear();
    return file_.open(path);
}

bool RawLineLog::received(double seconds, std::string_view bytes) {
    for (const char c : bytes) {
        pending_ += c;
        if (c == '\n' || pending_.size() >= longestLine) {
            const bool written = writeLine(seconds, "rx", withoutLineEnd(pending_));
            pending_.clear();
            if (!written) {
                return false;
            }
        }
    }
    return file_.isOpen();
}

bool RawLineLog::sent(double seconds, std::string_view line) {
    return writeLine(seconds, "tx", withoutLineEnd(line));
}

bool RawLineLog::writeLine(double seconds, std::string_view direction, std::string_view bytes) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%.3f ", seconds);
    std::string line = stamp;
    line += direction;
    line += ' ';
    line += escapedLine(bytes);
    line += '\n';
    return file_.write(line);
}

}  // namespace terminal
