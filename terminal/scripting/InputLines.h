#pragma once
// Cuts standard input, or what a script sends to the socket, into command lines at each LF. A
// line longer than the limit is not kept whole: it is reported once, and its bytes up to the
// next LF are dropped.

#include <cstddef>
#include <string>
#include <string_view>

namespace terminal::headless {

class InputLines {
public:
    // Standard input's limit: longer than any command could be.
    static constexpr std::size_t longestLine = 1024;

    explicit InputLines(std::size_t longest = longestLine) : longest_(longest) {}
    std::size_t longest() const { return longest_; }

    struct Line {
        std::string text;
        bool tooLong = false;
    };

    // Bytes as read; `onLine` runs for every line completed by them, in order.
    template <typename OnLine>
    void feed(std::string_view bytes, OnLine onLine) {
        for (char c : bytes) {
            if (c == '\n') {
                Line line{std::move(pending_), overflow_};
                pending_.clear();
                overflow_ = false;
                onLine(line);
            } else if (pending_.size() < longest_) {
                pending_ += c;
            } else {
                overflow_ = true;
            }
        }
    }

    // What is left when the input ends: a last line without its LF, if any.
    template <typename OnLine>
    void finish(OnLine onLine) {
        if (!pending_.empty() || overflow_) {
            feed("\n", onLine);
        }
    }

private:
    std::size_t longest_;
    std::string pending_;
    bool overflow_ = false;
};

}  // namespace terminal::headless
