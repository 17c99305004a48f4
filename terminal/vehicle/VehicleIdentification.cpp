#include "terminal/vehicle/VehicleIdentification.h"

namespace terminal {

std::string vinTextForLevel(std::uint8_t level) {
    std::string vin(vinTemplate);
    vin[14] = static_cast<char>('0' + level / 100);
    vin[15] = static_cast<char>('0' + level / 10 % 10);
    vin[16] = static_cast<char>('0' + level % 10);
    return vin;
}

}  // namespace terminal
