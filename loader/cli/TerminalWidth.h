#pragma once
// The width of the terminal a progress line is rewritten on. A line as wide as the terminal
// or wider wraps, and the rewrite in place would then start a line too low, so progress
// stays clear of the last column.

#include <sys/ioctl.h>

#include <QString>
#include <cstdio>

namespace loader::cli {

// Columns a progress line may fill on `out`: the terminal's width less one (79 when the width
// cannot be found out).
inline int usableColumns(std::FILE* out) {
    winsize size{};
    if (::ioctl(::fileno(out), TIOCGWINSZ, &size) == 0 && size.ws_col > 1) {
        return size.ws_col - 1;
    }
    return 79;
}

// The end of `text` that fits `width`, marked by a leading ellipsis when shortened: a device
// path's telling part is its end ("…A50285BI-if00-port0").
inline QString shortenedFromLeft(const QString& text, int width) {
    if (text.size() <= width) {
        return text;
    }
    if (width < 1) {
        return {};
    }
    return QChar(0x2026) + text.right(width - 1);
}

}  // namespace loader::cli
