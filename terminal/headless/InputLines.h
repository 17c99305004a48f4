#pragma once
// Cuts standard input into command lines at each LF. A line longer than any command could be
// is not kept whole: it is reported once, and its bytes up to the next LF are dropped.

#include <cstddef>
#include <string>
#include <string_view>

namespace terminal::headless {

class InputLines {
public:
    static constexpr std::size_t longestLine = 1024;

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
            } else if (pending_.size() < longestLine) {
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
    std::string pending_;
    bool overflow_ = false;
};

}  // namespace terminal::headless
