#include "terminal/core/PortNumber.h"

namespace terminal {

int portNumberFor(std::string_view portName) {
    for (int n = firstPortNumber; n <= lastPortNumber; ++n) {
        if (portName == portNameFor(n)) {
            return n;
        }
    }
    return firstPortNumber;
}

std::string portNameFor(int number) {
    return "COM" + std::to_string(number);
}

}  // namespace terminal
