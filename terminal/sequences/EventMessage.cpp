#include "terminal/sequences/EventMessage.h"

namespace terminal::sequences {

bool isErrorEvent(const std::string& event) {
    return event.find("\"event\":\"error\"") != std::string::npos;
}

std::string eventMessage(const std::string& event) {
    const std::string key = "\"message\":\"";
    const std::size_t at = event.find(key);
    if (at == std::string::npos) {
        return event;
    }
    std::string text;
    for (std::size_t i = at + key.size(); i < event.size() && event[i] != '"'; ++i) {
        if (event[i] == '\\' && i + 1 < event.size()) {
            ++i;
        }
        text += event[i];
    }
    return text;
}

}  // namespace terminal::sequences
