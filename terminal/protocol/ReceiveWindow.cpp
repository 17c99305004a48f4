#include "terminal/protocol/ReceiveWindow.h"

#include <algorithm>

namespace terminal {

namespace {
constexpr std::size_t headerMoveMinimum = 5;
constexpr std::size_t lineEndMinimum = 6;

std::uint8_t upper(std::uint8_t b) {
    return b >= 'a' && b <= 'z' ? static_cast<std::uint8_t>(b - 'a' + 'A') : b;
}
}  // namespace

std::optional<std::string> ReceiveWindow::push(std::uint8_t byte) {
    append(byte);
    if (count_ >= headerMoveMinimum && moveHeader()) {
        return std::nullopt;
    }
    if (count_ < lineEndMinimum || bytes_[count_ - 1] != '\n' || bytes_[count_ - 2] != '\r') {
        return std::nullopt;
    }
    std::string line(count_, '\0');
    std::transform(bytes_.begin(), bytes_.begin() + count_, line.begin(),
                   [](std::uint8_t b) { return static_cast<char>(upper(b)); });
    count_ = 0;
    return line;
}

void ReceiveWindow::append(std::uint8_t byte) {
    if (count_ < capacity) {
        bytes_[count_++] = byte;
        return;
    }
    std::copy(bytes_.begin() + 1, bytes_.end(), bytes_.begin());
    bytes_[capacity - 1] = byte;
}

bool ReceiveWindow::endsWith(std::string_view header) const {
    for (std::size_t i = 0; i < header.size(); ++i) {
        if (upper(bytes_[count_ - header.size() + i]) != static_cast<std::uint8_t>(header[i])) {
            return false;
        }
    }
    return true;
}

// A header is moved only when no front position already holds the other header's character
// at that place; each position is compared on its own, so a space at position 3 blocks both.
bool ReceiveWindow::moveHeader() {
    constexpr std::string_view ack = "ACK ";
    constexpr std::string_view brc = "BRC ";
    auto frontFreeOf = [this](std::string_view other) {
        for (std::size_t i = 0; i < other.size(); ++i) {
            if (bytes_[i] == static_cast<std::uint8_t>(other[i])) {
                return false;
            }
        }
        return true;
    };
    std::string_view header;
    if (endsWith(ack) && frontFreeOf(brc)) {
        header = ack;
    } else if (endsWith(brc) && frontFreeOf(ack)) {
        header = brc;
    } else {
        return false;
    }
    std::copy(header.begin(), header.end(), bytes_.begin());
    count_ = header.size();
    return true;
}

}  // namespace terminal
