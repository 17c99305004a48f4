// The fixed trouble-code texts: the multi-packet lists row for row, and every row in its
// column layout under "SPN  FMI  OC  CM".

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "terminal/troublecodes/MultiPacketTables.h"
#include "terminal/troublecodes/TroubleCodeRows.h"

namespace terminal {
namespace {

// clang-format off
// Rows 1 to 32 of the engine DM1 list as the device's documents print them.
const std::vector<std::string> engineDm1FirstRows = {
    "110     0      1     0\r\n",
    "100     1      5     0\r\n",
    " 97    15      9     0\r\n",
    " 94     2     13     0\r\n",
    "168     1     17     0\r\n",
    "157     4     21     0\r\n",
    "174     3     25     0\r\n",
    "175     2     29     0\r\n",
    "111     1     33     0\r\n",
    "558     2     37     0\r\n",
    "626    11     41     0\r\n",
    "1081   11     45     0\r\n",
    "190     2     49     0\r\n",
    " 91     4     53     0\r\n",
    "190     0     57     0\r\n",
    "626     2     61     0\r\n",
    "190    10     65     0\r\n",
    "558     3     69     0\r\n",
    " 16     4     73     0\r\n",
    "626     8     77     0\r\n",
    " 51     3     81     0\r\n",
    " 52     3     85     0\r\n",
    " 72     3     89     0\r\n",
    " 94     4     93     0\r\n",
    "108     4     97     0\r\n",
    "102     4    101     0\r\n",
    "111     3    105     0\r\n",
    "174     2    109     0\r\n",
    "1209    4    113     0\r\n",
    "2791    3    117     0\r\n",
    "176     2    121     0\r\n",
    "175     3    125     0\r\n",
};

const std::string engineDm2List =
    "1172     0      1     0\r\n"
    "1081     1      2     0\r\n"
    " 110     2      3     0\r\n"
    "  91     3      4     0\r\n"
    " 100     4      5     0\r\n"
    " 174     5      6     0\r\n"
    " 626     6      7     0\r\n"
    "1172     7      8     0\r\n"
    " 110    15      9     0"
    ;
// clang-format on

// Column layouts: the position (from 1) of the last character of SPN, FMI, OC and CM.
struct Layout {
    std::array<std::size_t, 4> fieldEnds;
};
constexpr Layout wide{{4, 10, 17, 23}};
constexpr Layout narrow{{3, 9, 16, 22}};
constexpr Layout shortLayout{{3, 9, 15, 21}};

struct Fields {
    std::array<std::size_t, 4> ends{};
    std::array<int, 4> values{};
    std::size_t count = 0;
    bool onlyDigitsAndSpaces = true;
};

Fields fieldsOf(std::string_view row) {
    Fields f;
    for (std::size_t i = 0; i < row.size(); ++i) {
        const char c = row[i];
        if (c == ' ')
            continue;
        if (c < '0' || c > '9') {
            f.onlyDigitsAndSpaces = false;
            continue;
        }
        if (i + 1 == row.size() || row[i + 1] == ' ') {
            if (f.count < 4) {
                f.ends[f.count] = i + 1;
                std::size_t start = i;
                while (start > 0 && row[start - 1] != ' ')
                    --start;
                f.values[f.count] = std::stoi(std::string(row.substr(start, i + 1 - start)));
            }
            ++f.count;
        }
    }
    return f;
}

std::string_view withoutLineEnd(std::string_view row) {
    if (row.size() >= 2 && row.substr(row.size() - 2) == "\r\n") {
        row.remove_suffix(2);
    }
    return row;
}

// A four-digit SPN in the narrow layout runs one column further left; the other fields stay.
void expectLayout(std::string_view row, const Layout& layout) {
    SCOPED_TRACE(std::string(row));
    const std::string_view text = withoutLineEnd(row);
    const Fields f = fieldsOf(text);
    ASSERT_TRUE(f.onlyDigitsAndSpaces);
    ASSERT_EQ(f.count, 4u);
    EXPECT_EQ(text.size(), layout.fieldEnds[3]);
    const bool fourDigitSpn = f.values[0] >= 1000 && layout.fieldEnds[0] == 3;
    EXPECT_EQ(f.ends[0], layout.fieldEnds[0] + (fourDigitSpn ? 1 : 0));
    EXPECT_EQ(f.ends[1], layout.fieldEnds[1]);
    EXPECT_EQ(f.ends[2], layout.fieldEnds[2]);
    EXPECT_EQ(f.ends[3], layout.fieldEnds[3]);
}

TEST(TroubleCodeTables, EngineDm1ListHasItsSixtyFourRowsVerbatim) {
    ASSERT_EQ(engineDm1MultiPacketRows.size(), 64u);
    for (std::size_t i = 0; i < engineDm1FirstRows.size(); ++i) {
        EXPECT_EQ(engineDm1MultiPacketRows[i], engineDm1FirstRows[i]) << "row " << i + 1;
    }
}

TEST(TroubleCodeTables, EngineDm1RowsFromThirtyThreeAreSpn102WithEveryFmi) {
    for (int fmi = 0; fmi <= 31; ++fmi) {
        const std::string spaces = fmi < 10 ? "     " : "    ";
        const std::string lineEnd = fmi < 31 ? "\r\n" : "";
        EXPECT_EQ(engineDm1MultiPacketRows[32 + fmi],
                  "102" + spaces + std::to_string(fmi) + "      1     0" + lineEnd)
            << "row " << 33 + fmi;
    }
}

TEST(TroubleCodeTables, EngineDm1RowsCountOccurrencesInStepsOfFour) {
    EXPECT_EQ(fieldsOf(engineDm1MultiPacketRows[0]).values[2], 1);
    for (std::size_t i = 1; i < 32; ++i) {
        EXPECT_EQ(fieldsOf(engineDm1MultiPacketRows[i]).values[2], static_cast<int>(4 * i + 1))
            << "row " << i + 1;
    }
    for (std::string_view row : engineDm1MultiPacketRows) {
        EXPECT_EQ(fieldsOf(row).values[3], 0) << row;
    }
}

TEST(TroubleCodeTables, EveryListRowStandsInItsColumnLayout) {
    for (std::string_view row : engineDm1MultiPacketRows)
        expectLayout(row, narrow);
    for (std::string_view row : engineDm2MultiPacketRows)
        expectLayout(row, wide);
}

TEST(TroubleCodeTables, EngineDm2ListIsTheNineRowsVerbatim) {
    ASSERT_EQ(engineDm2MultiPacketRows.size(), 9u);
    EXPECT_EQ(multiPacketList(engineDm2MultiPacketRows), engineDm2List);
}

TEST(TroubleCodeTables, ListsEndWithoutAnEmptyLine) {
    const std::string dm1 = multiPacketList(engineDm1MultiPacketRows);
    const std::string dm2 = multiPacketList(engineDm2MultiPacketRows);
    auto lineEnds = [](const std::string& s) {
        std::size_t n = 0;
        for (std::size_t at = s.find("\r\n"); at != std::string::npos; at = s.find("\r\n", at + 2))
            ++n;
        return n;
    };
    EXPECT_EQ(lineEnds(dm1), 63u);
    EXPECT_EQ(lineEnds(dm2), 8u);
    EXPECT_EQ(dm1.substr(dm1.size() - 22), "102    31      1     0");
    EXPECT_EQ(dm2.substr(dm2.size() - 23), " 110    15      9     0");
    EXPECT_EQ(dm1.find('\n'), std::string("110     0      1     0\r").size());
}

TEST(TroubleCodeTables, BoxRowsStandInTheirLayouts) {
    expectLayout(rows::zero, wide);
    EXPECT_EQ(fieldsOf(rows::zero).values, (std::array<int, 4>{0, 0, 0, 0}));
    for (std::string_view row :
         {rows::engineDm1Level0, rows::engineDm1Level1To19, rows::engineDm1Level20,
          rows::engineDm1Level21To39, rows::engineDm1Level40, rows::engineDm1Level41To59,
          rows::engineDm1Level60, rows::transmissionDm1}) {
        expectLayout(row, narrow);
    }
    expectLayout(rows::engineDm2, wide);
    expectLayout(rows::absDm1, shortLayout);
    for (std::string_view row : {rows::zero, rows::engineDm1Level0, rows::engineDm2,
                                 rows::transmissionDm1, rows::absDm1}) {
        EXPECT_EQ(row.substr(row.size() - 2), "\r\n");
    }
    EXPECT_EQ(rows::seeMultiPackets, "See @ Multi-Packets");
    EXPECT_EQ(rows::caption, "SPN  FMI  OC  CM");
}

}  // namespace
}  // namespace terminal
