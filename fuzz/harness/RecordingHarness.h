#pragma once
// The recording reader under arbitrary file contents. Returns what broke, or an empty text:
// the text read in pieces (cut where the input's first byte says, and a byte at a time for
// short inputs) gives the same recording as read whole; times never go back; a row without
// the link has no reading; every reading is a finite number; and there are never more points
// than rows in the text.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "terminal/trends/Recording.h"
#include "terminal/trends/TrendItems.h"

namespace fuzzing {

inline std::optional<terminal::Recording> readInPieces(std::string_view text, std::size_t piece,
                                                       std::string& error) {
    terminal::RecordingParser parser;
    for (std::size_t at = 0; at < text.size(); at += piece) {
        parser.feed(text.substr(at, piece));
    }
    return parser.finish(error);
}

inline std::string sameRecording(const std::optional<terminal::Recording>& a,
                                 const std::optional<terminal::Recording>& b) {
    if (a.has_value() != b.has_value()) {
        return "read in pieces, the file is a recording one way and not the other";
    }
    if (!a) {
        return {};
    }
    if (a->size() != b->size() || a->skippedRows() != b->skippedRows() ||
        a->items() != b->items()) {
        return "read in pieces, the recording has other rows or columns";
    }
    for (std::size_t i = 0; i < a->size(); ++i) {
        if (a->time(i) != b->time(i) || a->linked(i) != b->linked(i)) {
            return "read in pieces, row " + std::to_string(i) + " differs";
        }
        for (std::size_t item : a->items()) {
            const double x = a->value(i, item);
            const double y = b->value(i, item);
            if (!(x == y || (std::isnan(x) && std::isnan(y)))) {
                return "read in pieces, a value of row " + std::to_string(i) + " differs";
            }
        }
    }
    return {};
}

inline std::string runRecordingReader(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto whole = readInPieces(text, std::max<std::size_t>(text.size(), 1), error);
    std::string pieceError;
    const std::size_t piece = size > 0 ? 1 + data[0] % 61 : 1;
    if (std::string broken = sameRecording(whole, readInPieces(text, piece, pieceError));
        !broken.empty()) {
        return broken;
    }
    if (size <= 512) {
        if (std::string broken = sameRecording(whole, readInPieces(text, 1, pieceError));
            !broken.empty()) {
            return broken;
        }
    }
    if (!whole) {
        return error.empty() ? "a refused file gave no reason" : std::string();
    }
    const auto rows = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    if (whole->size() > rows) {
        return "more points than rows after the header";
    }
    for (std::size_t i = 0; i < whole->size(); ++i) {
        if (i > 0 && whole->time(i) < whole->time(i - 1)) {
            return "time goes back at row " + std::to_string(i);
        }
        for (std::size_t item = 0; item < terminal::trendItems().size(); ++item) {
            const double value = whole->value(i, item);
            if (!whole->linked(i) && !std::isnan(value)) {
                return "a reading in row " + std::to_string(i) + " without the link";
            }
            if (std::isinf(value)) {
                return "an infinite reading in row " + std::to_string(i);
            }
        }
    }
    return {};
}

}  // namespace fuzzing
