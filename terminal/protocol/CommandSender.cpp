#include "terminal/protocol/CommandSender.h"

#include <vector>

namespace terminal {

CommandSender::CommandSender(platform::SerialControl& serial, platform::Clock& clock)
    : serial_(serial), clock_(clock) {}

void CommandSender::sendCommand(const std::uint8_t* bytes, std::size_t length) {
    if (bytes == nullptr || length < 1 || length > 255 || bytes[length - 1] != '\n') {
        return;
    }
    if (lineTap_) {
        lineTap_(std::string_view(reinterpret_cast<const char*>(bytes), length));
    }
    for (std::size_t i = 0; i < length; ++i) {
        serial_.setOutput(std::vector<std::uint8_t>{bytes[i]});
        clock_.pause(byteGapMs);
    }
}

void CommandSender::sendCommand(std::string_view line) {
    sendCommand(reinterpret_cast<const std::uint8_t*>(line.data()), line.size());
}

}  // namespace terminal
