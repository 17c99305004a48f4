#pragma once
// The trouble codes a box shows, as numbers for the exports. They are read from the very row
// texts the boxes and the multi-packet lists show (TroubleCodeRows, MultiPacketTables), so a
// number can never say something else than the screen.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "terminal/troublecodes/TroubleCodeRows.h"

namespace terminal {

struct TroubleCode {
    std::uint32_t spn = 0;
    int fmi = 0;
    int oc = 0;
    int cm = 0;

    friend bool operator==(const TroubleCode&, const TroubleCode&) = default;
};

// One row as the boxes print it: four right-aligned decimal columns SPN, FMI, OC, CM, with or
// without its line end. Empty for any other text.
constexpr std::optional<TroubleCode> troubleCodeOfRow(std::string_view row) {
    row = withoutLineEnd(row);
    // Nine digits at most: every field then fits its type.
    constexpr std::size_t longestField = 9;
    std::uint32_t fields[4]{};
    for (std::uint32_t& field : fields) {
        while (!row.empty() && row.front() == ' ') {
            row.remove_prefix(1);
        }
        std::size_t digits = 0;
        while (!row.empty() && row.front() >= '0' && row.front() <= '9') {
            if (++digits > longestField) {
                return std::nullopt;
            }
            field = field * 10 + static_cast<std::uint32_t>(row.front() - '0');
            row.remove_prefix(1);
        }
        if (digits == 0) {
            return std::nullopt;
        }
    }
    if (!row.empty()) {
        return std::nullopt;
    }
    return TroubleCode{fields[0], static_cast<int>(fields[1]), static_cast<int>(fields[2]),
                       static_cast<int>(fields[3])};
}

// The codes of a list's rows (a multi-packet dialog's text), in order. The zero row and lines
// that are not rows give none.
std::vector<TroubleCode> troubleCodesOfRows(std::string_view rows);

// The dashboard's four trouble-code boxes.
enum class TroubleCodeBox { engineDm1, absDm1, transmissionDm1, engineDm2 };

// The codes `box` shows with `text`: its row's code; the whole multi-packet list where it
// points there ("See @ Multi-Packets"); none for the zero row.
std::vector<TroubleCode> troubleCodesShown(TroubleCodeBox box, std::string_view text);

}  // namespace terminal
