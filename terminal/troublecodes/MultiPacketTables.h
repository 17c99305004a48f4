#pragma once
// The engine's multi-packet trouble-code lists shown by the two Multi-Packets dialogs. Each
// row ends with CR LF except the last, so the list shows no empty line at its end.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace terminal {

// One row per line, as the lists print them.
// clang-format off

// Engine DM1 (active codes). Rows 33..64 are SPN 102 with every FMI 0..31.
inline constexpr std::array<std::string_view, 64> engineDm1MultiPacketRows{
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
    "102     0      1     0\r\n",
    "102     1      1     0\r\n",
    "102     2      1     0\r\n",
    "102     3      1     0\r\n",
    "102     4      1     0\r\n",
    "102     5      1     0\r\n",
    "102     6      1     0\r\n",
    "102     7      1     0\r\n",
    "102     8      1     0\r\n",
    "102     9      1     0\r\n",
    "102    10      1     0\r\n",
    "102    11      1     0\r\n",
    "102    12      1     0\r\n",
    "102    13      1     0\r\n",
    "102    14      1     0\r\n",
    "102    15      1     0\r\n",
    "102    16      1     0\r\n",
    "102    17      1     0\r\n",
    "102    18      1     0\r\n",
    "102    19      1     0\r\n",
    "102    20      1     0\r\n",
    "102    21      1     0\r\n",
    "102    22      1     0\r\n",
    "102    23      1     0\r\n",
    "102    24      1     0\r\n",
    "102    25      1     0\r\n",
    "102    26      1     0\r\n",
    "102    27      1     0\r\n",
    "102    28      1     0\r\n",
    "102    29      1     0\r\n",
    "102    30      1     0\r\n",
    "102    31      1     0",
};

// Engine DM2 (previously active codes).
inline constexpr std::array<std::string_view, 9> engineDm2MultiPacketRows{
    "1172     0      1     0\r\n",
    "1081     1      2     0\r\n",
    " 110     2      3     0\r\n",
    "  91     3      4     0\r\n",
    " 100     4      5     0\r\n",
    " 174     5      6     0\r\n",
    " 626     6      7     0\r\n",
    "1172     7      8     0\r\n",
    " 110    15      9     0",
};
// clang-format on

// The list text of a dialog: its rows appended in order.
template <std::size_t N>
std::string multiPacketList(const std::array<std::string_view, N>& rows) {
    std::string list;
    for (std::string_view row : rows) {
        list += row;
    }
    return list;
}

}  // namespace terminal
