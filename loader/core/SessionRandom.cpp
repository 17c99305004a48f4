#include "loader/core/SessionRandom.h"

namespace loader {

int SessionRandom::next() {
    // The classic portable linear congruential step; bits 16..30 are the well-mixed ones.
    state_ = state_ * 1103515245u + 12345u;
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
}

}  // namespace loader
