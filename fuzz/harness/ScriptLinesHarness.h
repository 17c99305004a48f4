#pragma once
// What scripts send to the session's socket, driven by arbitrary input: the input chooses
// which script sends which bytes, and when scripts come, go and read. Every line carried out
// is read as a command. Returns what broke, or an empty text when every invariant held: each
// script's lines are carried out whole, in its order, none longer than the limit and none with
// its LF; an overlong line is not carried out; what waits for a script never grows
// much past the limit at which it is disconnected.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "terminal/scripting/HeadlessCommand.h"
#include "terminal/scripting/ScriptClients.h"

namespace fuzzing {

class ScriptLines {
public:
    ScriptLines(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::string run() {
        using terminal::headless::ScriptClients;
        while (at_ < size_ && broken_.empty()) {
            const std::uint8_t op = next();
            const int id = op % 4 + 1;
            switch ((op >> 2) % 8) {
                case 0:
                    if (clients_.admit(id)) {
                        partial_[id].clear();
                    }
                    break;
                case 1:
                    clients_.remove(id);
                    partial_.erase(id);
                    break;
                case 2:
                    clients_.broadcast(std::string(next() * 64U, 's'));
                    break;
                case 3:
                    clients_.written(id, next() * 256U);
                    break;
                case 4: {
                    // A long run of one byte: lines past the limit.
                    const std::string bytes(next() * 1024U, static_cast<char>(next()));
                    send(id, bytes);
                    break;
                }
                default: {
                    std::string bytes;
                    for (std::size_t n = next() % 64; n > 0 && at_ < size_; --n) {
                        bytes += static_cast<char>(next());
                    }
                    send(id, bytes);
                    break;
                }
            }
            clients_.runQueued([this](const std::string& line) { carriedOut(line); });
            check();
        }
        return broken_;
    }

private:
    std::uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }

    // The model: what a script's bytes must come to, line by line.
    void send(int id, const std::string& bytes) {
        const std::size_t before = clients_.count();
        clients_.received(id, bytes);
        if (clients_.count() != before) {
            broken_ = "receiving changed the number of scripts";
        }
        if (!partial_.contains(id)) {
            return;
        }
        std::string& partial = partial_[id];
        for (char c : bytes) {
            if (c != '\n') {
                partial += partial.size() <= limit ? std::string(1, c) : std::string();
                continue;
            }
            if (partial.size() <= limit) {
                expected_.push_back(partial);
            }
            partial.clear();
        }
    }

    void carriedOut(const std::string& line) {
        terminal::headless::parseCommand(line);
        if (line.size() > limit || line.find('\n') != std::string::npos) {
            broken_ = "a line of " + std::to_string(line.size()) + " bytes was carried out";
        }
        ran_.push_back(line);
    }

    // The lines sent ran whole and in order (one script sends at a time); an overlong one was
    // answered instead. Nothing piles up far past the limit.
    void check() {
        if (broken_.empty() && ran_ != expected_) {
            broken_ = std::to_string(ran_.size()) + " lines carried out where " +
                      std::to_string(expected_.size()) + " were sent";
        }
        ran_.clear();
        expected_.clear();
        for (const auto& [id, partial] : partial_) {
            const std::size_t waiting = clients_.waiting(id).size();
            if (broken_.empty() &&
                waiting > terminal::headless::ScriptClients::mostWaiting + 256U * 64U + 200U) {
                broken_ = std::to_string(waiting) + " bytes wait for a script";
            }
        }
    }

    static constexpr std::size_t limit = terminal::headless::ScriptClients::longestLine;

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
    terminal::headless::ScriptClients clients_;
    std::vector<std::string> expected_;
    std::map<int, std::string> partial_;
    std::vector<std::string> ran_;
    std::string broken_;
};

inline std::string runScriptLines(const std::uint8_t* data, std::size_t size) {
    return ScriptLines(data, size).run();
}

}  // namespace fuzzing
