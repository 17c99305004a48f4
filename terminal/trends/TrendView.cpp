#include "terminal/trends/TrendView.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace terminal {

namespace {

constexpr std::int64_t dayMs = 24 * 60 * 60 * 1000;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

// Digits only, at most `most` of them.
std::optional<std::int64_t> wholeNumber(std::string_view text, std::size_t most) {
    if (text.empty() || text.size() > most) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.front() == '-' ||
        text.front() == '+') {
        return std::nullopt;
    }
    return value;
}

// "12", "12.5", "12.250": milliseconds; the fraction to the millisecond at most.
std::optional<std::int64_t> millisecondsOf(std::string_view whole, std::string_view fraction,
                                           std::size_t mostDigits) {
    const std::optional<std::int64_t> seconds = wholeNumber(whole, mostDigits);
    if (!seconds) {
        return std::nullopt;
    }
    std::int64_t millis = 0;
    if (fraction.data() != nullptr) {
        if (fraction.empty() || fraction.size() > 3 || !wholeNumber(fraction, 3)) {
            return std::nullopt;
        }
        millis = *wholeNumber(fraction, 3);
        for (std::size_t digits = fraction.size(); digits < 3; ++digits) {
            millis *= 10;
        }
    }
    return *seconds * 1000 + millis;
}

// Splits "a.b" into "a" and "b"; the fraction is a null view when there is no point.
std::pair<std::string_view, std::string_view> splitFraction(std::string_view text) {
    const std::size_t point = text.find('.');
    if (point == std::string_view::npos) {
        return {text, std::string_view()};
    }
    return {text.substr(0, point), text.substr(point + 1)};
}

std::string clockText(std::int64_t utcMs, int utcOffsetMinutes) {
    const std::int64_t local = floorDiv(utcMs + utcOffsetMinutes * std::int64_t{60000}, 1000);
    const std::int64_t ofDay = local - floorDiv(local, 86400) * 86400;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(ofDay / 3600),
                  static_cast<int>(ofDay / 60 % 60), static_cast<int>(ofDay % 60));
    return text;
}

// Seconds with as many of three decimals as they need: "3600", "12.5".
std::string secondsText(std::int64_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", static_cast<double>(ms) / 1000);
    std::string result = text;
    while (result.back() == '0') {
        result.pop_back();
    }
    if (result.back() == '.') {
        result.pop_back();
    }
    return result;
}

}  // namespace

TimeRange clampRange(TimeRange range, const ViewLimits& limits) {
    const std::int64_t room = std::max(limits.shortest, limits.last - limits.first);
    const std::int64_t span = std::clamp(range.span(), limits.shortest, room);
    const std::int64_t from =
        std::clamp(range.from, limits.first, std::max(limits.first, limits.last - span));
    return {from, from + span};
}

TimeRange zoomAbout(TimeRange range, std::int64_t anchor, double factor, const ViewLimits& limits) {
    const std::int64_t room = std::max(limits.shortest, limits.last - limits.first);
    const std::int64_t span = std::clamp(
        static_cast<std::int64_t>(std::llround(static_cast<double>(range.span()) * factor)),
        limits.shortest, room);
    const double share = static_cast<double>(anchor - range.from) /
                         static_cast<double>(std::max<std::int64_t>(1, range.span()));
    const std::int64_t from =
        anchor - static_cast<std::int64_t>(std::llround(share * static_cast<double>(span)));
    return clampRange({from, from + span}, limits);
}

TimeRange panBy(TimeRange range, std::int64_t shift, const ViewLimits& limits) {
    return clampRange({range.from + shift, range.to + shift}, limits);
}

TimeRange zoomTo(std::int64_t one, std::int64_t other, const ViewLimits& limits) {
    const std::int64_t from = std::min(one, other);
    const std::int64_t to = std::max(one, other);
    // Too short a stretch widens about its middle.
    if (to - from < limits.shortest) {
        const std::int64_t middle = from + (to - from) / 2;
        return clampRange(
            {middle - limits.shortest / 2, middle - limits.shortest / 2 + limits.shortest}, limits);
    }
    return clampRange({from, to}, limits);
}

CursorReadings cursorReadings(const TrendData& data, std::size_t item,
                              std::optional<std::int64_t> a, std::optional<std::int64_t> b) {
    CursorReadings readings;
    if (a) {
        readings.a = readingAt(data, item, *a);
    }
    if (b) {
        readings.b = readingAt(data, item, *b);
    }
    if (readings.a && readings.b) {
        readings.delta = *readings.b - *readings.a;
    }
    return readings;
}

std::optional<std::int64_t> cursorSpan(std::optional<std::int64_t> a,
                                       std::optional<std::int64_t> b) {
    if (!a || !b) {
        return std::nullopt;
    }
    return *b - *a;
}

std::optional<std::int64_t> rangeTime(std::string_view text, std::int64_t start,
                                      int utcOffsetMinutes) {
    if (text.find(':') == std::string_view::npos) {
        const auto [whole, fraction] = splitFraction(text);
        const std::optional<std::int64_t> ms = millisecondsOf(whole, fraction, 9);
        if (!ms) {
            return std::nullopt;
        }
        return start + *ms;
    }
    // HH:MM:SS with an optional fraction of the second.
    const std::size_t firstColon = text.find(':');
    const std::size_t secondColon = text.find(':', firstColon + 1);
    if (secondColon == std::string_view::npos || secondColon != firstColon + 3) {
        return std::nullopt;
    }
    const std::optional<std::int64_t> hours = wholeNumber(text.substr(0, firstColon), 2);
    const std::optional<std::int64_t> minutes = wholeNumber(text.substr(firstColon + 1, 2), 2);
    const auto [secondsPart, fraction] = splitFraction(text.substr(secondColon + 1));
    if (!hours || !minutes || secondsPart.size() != 2 || *hours > 23 || *minutes > 59) {
        return std::nullopt;
    }
    const std::int64_t secondsMs = millisecondsOf(secondsPart, fraction, 2).value_or(-1);
    if (secondsMs < 0 || secondsMs >= 60000) {
        return std::nullopt;
    }
    const std::int64_t offset = utcOffsetMinutes * std::int64_t{60000};
    const std::int64_t localStart = start + offset;
    const std::int64_t clock = (*hours * 60 + *minutes) * 60000 + secondsMs;
    std::int64_t local = floorDiv(localStart, dayMs) * dayMs + clock;
    if (local < floorDiv(localStart, 1000) * 1000) {
        local += dayMs;
    }
    return local - offset;
}

std::optional<TimeRange> plotRange(std::optional<std::string_view> fromText,
                                   std::optional<std::string_view> toText, std::int64_t first,
                                   std::int64_t last, int utcOffsetMinutes, std::string& error) {
    const std::int64_t earliest = floorDiv(first, 1000) * 1000;
    const auto timeOf = [&](std::string_view option,
                            std::string_view text) -> std::optional<std::int64_t> {
        const std::optional<std::int64_t> when = rangeTime(text, first, utcOffsetMinutes);
        if (!when) {
            error = std::string(option) +
                    " takes seconds from the recording's start or a clock time HH:MM:SS, not '" +
                    std::string(text) + "'";
            return std::nullopt;
        }
        if (*when < earliest || *when > last) {
            error = std::string(option) + ' ' + std::string(text) +
                    " is outside the recording, which runs from " +
                    clockText(first, utcOffsetMinutes) + " to " +
                    clockText(last, utcOffsetMinutes) + " (0 to " + secondsText(last - first) +
                    " s)";
            return std::nullopt;
        }
        return when;
    };
    TimeRange range{first, last + 1};
    if (fromText) {
        const std::optional<std::int64_t> from = timeOf("--from", *fromText);
        if (!from) {
            return std::nullopt;
        }
        range.from = *from;
    }
    if (toText) {
        const std::optional<std::int64_t> to = timeOf("--to", *toText);
        if (!to) {
            return std::nullopt;
        }
        // The last row itself is drawn when the range ends there.
        range.to = *to == last ? last + 1 : *to;
    }
    if (range.from >= range.to) {
        error = fromText ? "--from " + std::string(*fromText) + " is not before --to " +
                               std::string(toText.value_or(""))
                         : "--to " + std::string(toText.value_or("")) +
                               " is not after the recording's start";
        return std::nullopt;
    }
    return range;
}

IndexRange pointsIn(const TrendData& data, TimeRange range) {
    return {firstAtOrAfter(data, range.from), firstAtOrAfter(data, range.to)};
}

}  // namespace terminal
