#include "platform/serial/PortOpening.h"

namespace platform {

bool openComPort(SerialControl& serial, int portNumber, const std::function<void()>& stillOpen) {
    if (serial.getPortOpen()) {
        serial.setPortOpen(false);
    }
    serial.setCommPort(portNumber);
    if (serial.getPortOpen()) {
        stillOpen();
        return false;
    }
    serial.setPortOpen(true);
    return true;
}

void applyLineSettings(SerialControl& serial, const std::string& settings) {
    serial.setSettings(settings);
    serial.setInputMode(binaryInputMode);
    serial.setRThreshold(eventPerArrival);
    serial.setInputLen(readEverything);
    serial.getInput();
}

}  // namespace platform
