#pragma once
// A value as it leaves the program in text (CSV, the clipboard): the shortest text that reads
// back to the same value. The engine values are single-precision floats widened to double,
// so they are written as the float (4015.875, 0.58), never with the widening's noise digits.

#include <string>

namespace terminal {

std::string exportNumber(double value);

}  // namespace terminal
