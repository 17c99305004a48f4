#include "terminal/recording/ExportNumber.h"

#include <array>
#include <charconv>
#include <cmath>

namespace terminal {

std::string exportNumber(double value) {
    if (std::isnan(value)) {
        return "nan";
    }
    std::array<char, 32> buffer{};
    std::to_chars_result result{};
    const auto single = static_cast<float>(value);
    if (std::isfinite(single) && static_cast<double>(single) == value) {
        result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), single);
    } else {
        result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    }
    return std::string(buffer.data(), result.ptr);
}

}  // namespace terminal
