#include "platform/serial/LineSettings.h"

#include "platform/serial/SerialControl.h"

#include <cctype>
#include <vector>

namespace platform {

namespace {

// Far above any UART; only keeps the number from overflowing.
constexpr long maximumBaudRate = 20'000'000;

std::string trimmed(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) {
        ++first;
    }
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) {
        --last;
    }
    return text.substr(first, last - first);
}

std::vector<std::string> fields(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = text.find(',', start);
        parts.push_back(trimmed(text.substr(start, comma - start)));
        if (comma == std::string::npos) {
            return parts;
        }
        start = comma + 1;
    }
}

[[noreturn]] void refuse(const std::string& text, const std::string& why) {
    throw SerialError("Unusable settings \"" + text + "\": " + why + ".");
}

int baudRateOf(const std::string& text, const std::string& field) {
    long value = 0;
    bool digits = !field.empty();
    for (char c : field) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            digits = false;
            break;
        }
        value = value * 10 + (c - '0');
        if (value > maximumBaudRate) {
            refuse(text, "the baud rate \"" + field + "\" is too high");
        }
    }
    if (!digits || value == 0) {
        refuse(text, "the baud rate \"" + field + "\" is not a positive whole number");
    }
    return static_cast<int>(value);
}

LineSettings::Parity parityOf(const std::string& text, const std::string& field) {
    if (field.size() == 1) {
        switch (std::tolower(static_cast<unsigned char>(field[0]))) {
            case 'n':
                return LineSettings::Parity::none;
            case 'e':
                return LineSettings::Parity::even;
            case 'o':
                return LineSettings::Parity::odd;
            case 'm':
                return LineSettings::Parity::mark;
            case 's':
                return LineSettings::Parity::space;
            default:
                break;
        }
    }
    refuse(text, "the parity \"" + field + "\" is not one of n, e, o, m, s");
}

int dataBitsOf(const std::string& text, const std::string& field) {
    if (field.size() == 1 && field[0] >= '5' && field[0] <= '8') {
        return field[0] - '0';
    }
    refuse(text, "the data bits \"" + field + "\" are not 5, 6, 7 or 8");
}

LineSettings::StopBits stopBitsOf(const std::string& text, const std::string& field) {
    if (field == "1") {
        return LineSettings::StopBits::one;
    }
    if (field == "1.5") {
        return LineSettings::StopBits::oneAndHalf;
    }
    if (field == "2") {
        return LineSettings::StopBits::two;
    }
    refuse(text, "the stop bits \"" + field + "\" are not 1, 1.5 or 2");
}

}  // namespace

LineSettings parseLineSettings(const std::string& text) {
    std::vector<std::string> parts = fields(text);
    if (parts.size() != 4) {
        refuse(text,
               "expected four parts like \"115200,n,8,1\" (baud, parity, data bits, "
               "stop bits)");
    }
    LineSettings settings;
    settings.baudRate = baudRateOf(text, parts[0]);
    settings.parity = parityOf(text, parts[1]);
    settings.dataBits = dataBitsOf(text, parts[2]);
    settings.stopBits = stopBitsOf(text, parts[3]);
    return settings;
}

}  // namespace platform
