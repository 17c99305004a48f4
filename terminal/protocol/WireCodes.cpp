#include "terminal/protocol/WireCodes.h"

namespace terminal::wire {

std::string_view rateText(std::uint8_t code) {
    switch (code) {
        case rate250k:
            return rateText250k;
        case rate62k5:
            return rateText62k5;
        case rate125k:
            return rateText125k;
        case rate500k:
            return rateText500k;
        case rate1m:
            return rateText1m;
        default:
            return rateTextInvalid;
    }
}

char rateDigit(std::string_view text) {
    struct Row {
        std::string_view text;
        std::uint8_t code;
    };
    static constexpr Row rows[] = {{rateText250k, rate250k},
                                   {rateText500k, rate500k},
                                   {rateText62k5, rate62k5},
                                   {rateText125k, rate125k},
                                   {rateText1m, rate1m}};
    for (const Row& row : rows) {
        if (row.text == text) {
            return static_cast<char>('0' + row.code);
        }
    }
    return '0';
}

}  // namespace terminal::wire
