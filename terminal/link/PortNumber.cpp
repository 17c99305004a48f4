#include "terminal/link/PortNumber.h"

#include "platform/serial/ComName.h"

namespace terminal {

int portNumberFor(std::string_view portName) {
    return platform::comPortNumber(portName, lastPortNumber).value_or(firstPortNumber);
}

std::string portNameFor(int number) {
    return platform::comPortName(number);
}

}  // namespace terminal
