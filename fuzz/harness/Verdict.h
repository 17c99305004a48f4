#pragma once
// A broken invariant ends the fuzzing run with its description, so libFuzzer keeps the input.

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzzing {

inline int verdict(const std::string& broken) {
    if (!broken.empty()) {
        std::fprintf(stderr, "invariant broken: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}

}  // namespace fuzzing
