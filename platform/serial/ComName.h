#pragma once
// The COM port names the operator types and the programs list: "COM1", "COM2", ...

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// n for "COMn" exactly as the lists write it (upper case, no sign, no leading zero), with n
// from 1 to `highest`; nothing for any other text, so a typo never names another port.
std::optional<int> comPortNumber(std::string_view name, int highest);

// "COMn".
std::string comPortName(int number);

}  // namespace platform
