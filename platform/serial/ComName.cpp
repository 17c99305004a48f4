#include "platform/serial/ComName.h"

namespace platform {

std::optional<int> comPortNumber(std::string_view name, int highest) {
    constexpr std::string_view prefix = "COM";
    if (!name.starts_with(prefix)) {
        return std::nullopt;
    }
    const std::string_view digits = name.substr(prefix.size());
    // At most as many digits as any port number of the range has.
    if (digits.empty() || digits.size() > 9 || digits.front() == '0') {
        return std::nullopt;
    }
    int number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        number = number * 10 + (c - '0');
    }
    if (number > highest) {
        return std::nullopt;
    }
    return number;
}

std::string comPortName(int number) {
    return "COM" + std::to_string(number);
}

}  // namespace platform
