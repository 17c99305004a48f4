#pragma once
// The 50-byte window that cuts the received byte stream into lines. It keeps the newest 50
// bytes, moves an "ACK " or "BRC " header to the front (dropping whatever stood before it),
// and reports a line when the window, starting at its front, ends in CR LF.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace terminal {

class ReceiveWindow {
public:
    static constexpr std::size_t capacity = 50;

    // Takes one byte. Returns the finished line, upper-cased, when this byte completed one;
    // the window is empty again afterwards.
    std::optional<std::string> push(std::uint8_t byte);

    std::size_t count() const { return count_; }
    std::string_view contents() const {
        return {reinterpret_cast<const char*>(bytes_.data()), count_};
    }

private:
    void append(std::uint8_t byte);
    bool moveHeader();
    bool endsWith(std::string_view header) const;

    std::array<std::uint8_t, capacity> bytes_{};
    std::size_t count_ = 0;
};

}  // namespace terminal
