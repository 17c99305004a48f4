// The COM names both programs accept: exactly as their lists write them, within the range.

#include <gtest/gtest.h>

#include "platform/serial/ComName.h"

TEST(ComName, OnlyTheListsOwnSpellingWithinTheRangeNamesAPort) {
    struct Case {
        const char* name;
        int highest;
        std::optional<int> number;
    };
    const Case cases[] = {
        {"COM1", 40, 1},
        {"COM40", 40, 40},
        {"COM41", 40, std::nullopt},
        {"COM30", 30, 30},
        {"COM31", 30, std::nullopt},
        {"COM0", 40, std::nullopt},
        {"COM03", 40, std::nullopt},
        {"com3", 40, std::nullopt},
        {"COM", 40, std::nullopt},
        {"COM+3", 40, std::nullopt},
        {"COM-3", 40, std::nullopt},
        {"COM 3", 40, std::nullopt},
        {"COM3 ", 40, std::nullopt},
        {"3", 40, std::nullopt},
        {"COM99999999999999999999", 40, std::nullopt},
        {"", 40, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::comPortNumber(c.name, c.highest), c.number) << c.name;
    }
    EXPECT_EQ(platform::comPortName(17), "COM17");
}
