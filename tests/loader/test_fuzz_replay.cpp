// The fuzz targets' invariants over their seeds and every input a fuzzer found a fault with:
// one byte out per batch received, the byte count within the image, images read as stored,
// HEX verdicts that do not depend on how the file is read.

#include <gtest/gtest.h>

#include "FuzzInputs.h"
#include "fuzz/harness/BootRunHarness.h"
#include "fuzz/harness/HexCheckHarness.h"
#include "fuzz/harness/ImageHarness.h"

namespace {

const std::filesystem::path fuzzFolder = std::filesystem::path(TESTS_SOURCE_DIR) / "../fuzz";

TEST(FuzzReplay, BootRunsKeepTheirInvariantsOnEveryKeptInput) {
    const auto inputs = testing_support::fuzzInputs(fuzzFolder, "boot_run");
    ASSERT_FALSE(inputs.empty());
    for (const auto& input : inputs) {
        EXPECT_EQ("", fuzzing::runBootRun(input.bytes.data(), input.bytes.size())) << input.name;
    }
}

TEST(FuzzReplay, ImageReaderKeepsItsInvariantsOnEveryKeptInput) {
    const auto inputs = testing_support::fuzzInputs(fuzzFolder, "image_reader");
    ASSERT_FALSE(inputs.empty());
    for (const auto& input : inputs) {
        EXPECT_EQ("", fuzzing::runImageReader(input.bytes.data(), input.bytes.size()))
            << input.name;
    }
}

TEST(FuzzReplay, HexCheckKeepsItsInvariantsOnEveryKeptInput) {
    const auto inputs = testing_support::fuzzInputs(fuzzFolder, "hex_check");
    ASSERT_FALSE(inputs.empty());
    for (const auto& input : inputs) {
        EXPECT_EQ("", fuzzing::runHexCheck(input.bytes.data(), input.bytes.size())) << input.name;
    }
}

// The seeds reach the end of a run, so the fuzzer starts from whole runs, not from noise.
TEST(FuzzReplay, WholeRunSeedsProgramTheImage) {
    for (const char* name : {"corpus/whole-run", "corpus/whole-run-scrambled"}) {
        for (const auto& input : testing_support::fuzzInputs(fuzzFolder, "boot_run")) {
            if (input.name == name) {
                fuzzing::BootRun run(input.bytes.data(), input.bytes.size());
                EXPECT_EQ("", run.run());
                EXPECT_EQ(1, run.programmedRuns()) << name;
            }
        }
    }
}

}  // namespace
