#include "terminal/recording/TimeText.h"

namespace terminal {

namespace {

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

bool leapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leapYear(year) ? 29 : days[month - 1];
}

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    // Exactly `count` digits.
    bool digits(int count, int& value) {
        value = 0;
        for (int i = 0; i < count; ++i) {
            if (at_ >= text_.size() || text_[at_] < '0' || text_[at_] > '9') {
                return false;
            }
            value = value * 10 + (text_[at_++] - '0');
        }
        return true;
    }
    bool take(char c) {
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    bool atDigit() const { return at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9'; }
    bool done() const { return at_ == text_.size(); }

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

}  // namespace

std::optional<TimeStamp> parseTimeText(std::string_view text) {
    Reader in(text);
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    if (!in.digits(4, year) || !in.take('-') || !in.digits(2, month) || !in.take('-') ||
        !in.digits(2, day) || !(in.take('T') || in.take(' ')) || !in.digits(2, hour) ||
        !in.take(':') || !in.digits(2, minute) || !in.take(':') || !in.digits(2, second)) {
        return std::nullopt;
    }
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 60) {
        return std::nullopt;
    }
    int millis = 0;
    if (in.take('.')) {
        if (!in.atDigit()) {
            return std::nullopt;
        }
        for (int place = 100; in.atDigit(); place /= 10) {
            int digit = 0;
            in.digits(1, digit);
            millis += digit * place;
        }
    }
    int offset = 0;
    if (!in.take('Z')) {
        const bool east = in.take('+');
        if (!east && !in.take('-')) {
            return std::nullopt;
        }
        int offsetHours = 0;
        int offsetMinutes = 0;
        if (!in.digits(2, offsetHours)) {
            return std::nullopt;
        }
        in.take(':');
        if (!in.digits(2, offsetMinutes) || offsetHours > 23 || offsetMinutes > 59) {
            return std::nullopt;
        }
        offset = (offsetHours * 60 + offsetMinutes) * (east ? 1 : -1);
    }
    if (!in.done()) {
        return std::nullopt;
    }
    const std::int64_t localSeconds =
        daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400 +
        hour * 3600 + minute * 60 + second;
    return TimeStamp{(localSeconds - offset * 60) * 1000 + millis, offset};
}

}  // namespace terminal
