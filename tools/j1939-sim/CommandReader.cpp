#include "CommandReader.h"

#include "WireFormat.h"

namespace sim {

std::vector<ReceivedLine> CommandReader::push(const char* bytes, std::size_t count) {
    std::vector<ReceivedLine> lines;
    for (std::size_t i = 0; i < count; ++i) {
        pending_ += bytes[i];
        if (bytes[i] == lineFeed) {
            lines.push_back({std::move(pending_), true});
            pending_.clear();
        } else if (pending_.size() >= maxLineLength) {
            lines.push_back({std::move(pending_), false});
            pending_.clear();
        }
    }
    return lines;
}

}  // namespace sim
