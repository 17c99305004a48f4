#pragma once
// Reads back the recording's time column: ISO 8601 local time with the offset from UTC, as
// localTimeText writes it ("2025-03-14T09:26:53.589+01:00"). Also taken: any number of
// fraction digits or none, "Z", an offset without its colon, a space for the "T".

#include <cstdint>
#include <optional>
#include <string_view>

namespace terminal {

struct TimeStamp {
    std::int64_t utcMs;  // milliseconds since 1970-01-01 UTC
    int offsetMinutes;   // the local time's offset east of UTC
};

std::optional<TimeStamp> parseTimeText(std::string_view text);

}  // namespace terminal
