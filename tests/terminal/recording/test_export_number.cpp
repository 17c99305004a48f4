// Numbers as they leave the program in text: a float's own shortest digits, a double's where
// the float would lose some, and "nan" for a value that is not there.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "terminal/recording/ExportNumber.h"

namespace {

TEST(ExportNumber, AFloatWithoutWideningNoiseADoubleInFullAndNanNamed) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {static_cast<double>(0.58f), "0.58"},
        {4015.875, "4015.875"},
        {0.0, "0"},
        {-12.5, "-12.5"},
        {16777217.0, "16777217"},      // one past what a float holds exactly
        {0.123456789, "0.123456789"},  // a float would keep 0.12345679
        {1e300, "1e+300"},             // past a float's range
        {std::nan(""), "nan"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(terminal::exportNumber(c.value), c.text) << c.text;
    }
}

}  // namespace
