#include "EventLog.h"

#include <cstdio>
#include <iostream>
#include <stdexcept>

namespace sim {

EventLog::EventLog() : start_(std::chrono::steady_clock::now()) {}

void EventLog::openFile(const std::string& path) {
    file_.open(path, std::ios::out | std::ios::trunc);
    if (!file_) {
        throw std::runtime_error("cannot write the log file " + path);
    }
}

double EventLog::secondsSinceStart() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void EventLog::write(const std::string& text) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%.3f ", secondsSinceStart());
    std::string line = stamp + text + "\n";
    std::cout << line << std::flush;
    if (file_.is_open()) {
        file_ << line << std::flush;
    }
}

void EventLog::received(const std::string& raw, const std::string& note) {
    write("RX " + quoted(raw) + " " + note);
}

void EventLog::sent(const std::string& raw) {
    write("TX " + quoted(raw));
}

std::string EventLog::quoted(const std::string& raw) {
    std::string body = raw;
    if (body.size() >= 2 && body.compare(body.size() - 2, 2, "\r\n") == 0) {
        body.resize(body.size() - 2);
    }
    std::string text = "\"";
    for (char c : body) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '\r') {
            text += "\\r";
        } else if (c == '\n') {
            text += "\\n";
        } else if (c == '"' || c == '\\') {
            text += '\\';
            text += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        } else {
            text += c;
        }
    }
    return text + "\"";
}

}  // namespace sim
