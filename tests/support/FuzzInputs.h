#pragma once
// The inputs kept for a fuzz target: its seed corpus (fuzz/corpus/<name>) and every input
// a fuzzer found a fault with (fuzz/regressions/<name>), so the unit tests replay them all.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

struct FuzzInput {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

inline std::vector<FuzzInput> fuzzInputs(const std::filesystem::path& fuzzFolder,
                                         const std::string& target) {
    std::vector<FuzzInput> inputs;
    for (const char* kind : {"corpus", "regressions"}) {
        const auto folder = fuzzFolder / kind / target;
        if (!std::filesystem::is_directory(folder)) {
            continue;
        }
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            std::ifstream in(entry.path(), std::ios::binary);
            std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
            inputs.push_back(
                {std::string(kind) + "/" + entry.path().filename().string(), std::move(bytes)});
        }
    }
    return inputs;
}

}  // namespace testing_support
