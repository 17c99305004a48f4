#pragma once
// The fixed rows of the four trouble-code boxes, exactly as the simulator's controllers
// report them: SPN, FMI, OC, CM right-aligned under "SPN  FMI  OC  CM".

#include <string_view>

namespace terminal::rows {

inline constexpr std::string_view caption = "SPN  FMI  OC  CM";

// A box with no active code.
inline constexpr std::string_view zero = "   0     0      0     0\r\n";
// An engine box whose codes are in a multi-packet list.
inline constexpr std::string_view seeMultiPackets = "See @ Multi-Packets";

// Engine DM1 by level.
inline constexpr std::string_view engineDm1Level0 = "111     1      1     0\r\n";
inline constexpr std::string_view engineDm1Level1To19 = "168     1      1     0\r\n";
inline constexpr std::string_view engineDm1Level20 = " 97    15      1     0\r\n";
inline constexpr std::string_view engineDm1Level21To39 = "100     1      1     0\r\n";
inline constexpr std::string_view engineDm1Level40 = "168     0      1     0\r\n";
inline constexpr std::string_view engineDm1Level41To59 = "110     0      1     0\r\n";
inline constexpr std::string_view engineDm1Level60 = "100     0     26     0\r\n";

inline constexpr std::string_view engineDm2 = " 110     0      1     0\r\n";
inline constexpr std::string_view transmissionDm1 = "177     0    126     0\r\n";
inline constexpr std::string_view absDm1 = "597     1     7     0\r\n";

}  // namespace terminal::rows

namespace terminal {

// A row or list without the line ends after its last row.
constexpr std::string_view withoutLineEnd(std::string_view rows) {
    while (!rows.empty() && (rows.back() == '\n' || rows.back() == '\r')) {
        rows.remove_suffix(1);
    }
    return rows;
}

}  // namespace terminal
