#pragma once
// The Intel HEX pre-flight under arbitrary files. The first input byte sets the size of the
// pieces the file is fed in (1 to 256), the rest is the file. Returns what broke, or an empty
// text: the verdict does not depend on where the pieces end, a fault's line lies within the
// file (or just after its last line, for a missing end record), and a file found sound is
// refused, at a later line, once a record follows its end record.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "loader/core/IntelHexCheck.h"

namespace fuzzing {

inline std::optional<loader::HexFault> checkInPieces(std::string_view text, std::size_t piece) {
    loader::IntelHexCheck check;
    for (std::size_t at = 0; at < text.size(); at += piece) {
        check.feed(text.substr(at, piece));
    }
    return check.finish();
}

inline std::string runHexCheck(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return {};
    }
    const std::size_t piece = std::size_t{data[0]} + 1;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    const auto whole = checkInPieces(text, text.size() + 1);
    const auto pieces = checkInPieces(text, piece);
    if (whole.has_value() != pieces.has_value() ||
        (whole && (whole->line != pieces->line || whole->what != pieces->what))) {
        return "the verdict changes with pieces of " + std::to_string(piece) + " bytes";
    }
    const auto lineEnds = static_cast<std::uint64_t>(std::count(text.begin(), text.end(), '\n') +
                                                     std::count(text.begin(), text.end(), '\r'));
    // A missing end record is named on the line after the last record, which may be one past
    // a last line without a line end.
    const bool missingEnd = whole && whole->what.starts_with("the end-of-file record is missing");
    if (whole && (whole->line < 1 || whole->line > lineEnds + (missingEnd ? 2 : 1))) {
        return "fault on line " + std::to_string(whole->line) + " of a file with " +
               std::to_string(lineEnds) + " line ends";
    }
    if (whole && whole->what.empty()) {
        return "a fault without a text";
    }
    if (!whole) {
        const auto extended = checkInPieces(text + "\n:00000001FF\n", piece);
        if (!extended || extended->what != "something follows the end-of-file record") {
            return "a record after the end record passed";
        }
    }
    return {};
}

}  // namespace fuzzing
