#pragma once
// What the stand-in prints: one line per event, seconds since start in front, on stdout and
// in the --log file (flushed at once, so a test can read it while the tool runs).

#include <chrono>
#include <fstream>
#include <string>

namespace sim {

class EventLog {
public:
    EventLog();
    // Throws std::runtime_error when the file cannot be created.
    void openFile(const std::string& path);

    void write(const std::string& text);
    // `12.345 RX "AT KI2055" key 0x02 checksum ok: ...`
    void received(const std::string& raw, const std::string& note);
    void sent(const std::string& raw);

    double secondsSinceStart() const;

    // Printable form of a line: CR LF dropped from the end, other control bytes escaped.
    static std::string quoted(const std::string& raw);

private:
    std::chrono::steady_clock::time_point start_;
    std::ofstream file_;
};

}  // namespace sim
