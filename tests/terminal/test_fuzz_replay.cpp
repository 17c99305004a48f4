// The fuzz targets' invariants over their seeds and every input a fuzzer found a fault with:
// the receive window never holds more than 50 bytes, the settings reader always gives a COM
// port that survives saving, a recording reads the same in pieces as whole, whatever the bytes.

#include <gtest/gtest.h>

#include "FuzzInputs.h"
#include "fuzz/harness/RecordingHarness.h"
#include "fuzz/harness/SequenceReaderHarness.h"
#include "fuzz/harness/SettingsHarness.h"
#include "fuzz/harness/TerminalReceiveHarness.h"

namespace {

const std::filesystem::path fuzzFolder = std::filesystem::path(TESTS_SOURCE_DIR) / "../fuzz";

TEST(FuzzReplay, ReceivePathKeepsItsInvariantsOnEveryKeptInput) {
    const auto inputs = testing_support::fuzzInputs(fuzzFolder, "terminal_receive");
    ASSERT_FALSE(inputs.empty());
    for (const auto& input : inputs) {
        EXPECT_EQ("", fuzzing::runTerminalReceive(input.bytes.data(), input.bytes.size()))
            << input.name;
    }
}

TEST(FuzzReplay, SettingsReaderKeepsItsInvariantsOnEveryKeptInput) {
    const auto inputs = testing_support::fuzzInputs(fuzzFolder, "settings_reader");
    ASSERT_FALSE(inputs.empty());
    for (const auto& input : inputs) {
        EXPECT_EQ("", fuzzing::runSettingsReader(input.bytes.data(), input.bytes.size()))
            << input.name;
    }
}

TEST(FuzzReplay, RecordingReaderKeepsItsInvariantsOnEveryKeptInput) {
    const auto inputs = testing_support::fuzzInputs(fuzzFolder, "recording_reader");
    ASSERT_FALSE(inputs.empty());
    for (const auto& input : inputs) {
        EXPECT_EQ("", fuzzing::runRecordingReader(input.bytes.data(), input.bytes.size()))
            << input.name;
    }
}

TEST(FuzzReplay, SequenceReaderKeepsItsInvariantsOnEveryKeptInput) {
    const auto inputs = testing_support::fuzzInputs(fuzzFolder, "sequence_reader");
    ASSERT_FALSE(inputs.empty());
    for (const auto& input : inputs) {
        EXPECT_EQ("", fuzzing::runSequenceReader(input.bytes.data(), input.bytes.size()))
            << input.name;
    }
}

}  // namespace
