#include <cstddef>
#include <cstdint>

#include "fuzz/harness/SequenceReaderHarness.h"
#include "fuzz/harness/Verdict.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzzing::verdict(fuzzing::runSequenceReader(data, size));
}
