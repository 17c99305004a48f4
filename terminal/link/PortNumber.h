#pragma once
// Port names of the combo box and the port number the serial control is given.

#include <string>
#include <string_view>

namespace terminal {

inline constexpr int firstPortNumber = 1;
inline constexpr int lastPortNumber = 40;

// n for "COM1".."COM40" exactly as written (upper case, no padding); 1 for any other name.
int portNumberFor(std::string_view portName);

// "COMn", the combo box's list entries.
std::string portNameFor(int number);

}  // namespace terminal
