#include "terminal/core/LineReceiver.h"

namespace terminal {

LineReceiver::LineReceiver(platform::SerialControl& serial, const SessionState& session,
                           LineDispatch& dispatch)
    : serial_(serial), session_(session), dispatch_(dispatch) {}

void LineReceiver::onReceive() {
    if (serial_.getCommEvent() != platform::comEvReceive) {
        return;
    }
    const std::vector<std::uint8_t> input = serial_.getInput();
    queue_.insert(queue_.end(), input.begin(), input.end());
    if (draining_) {
        return;
    }
    draining_ = true;
    struct DrainEnd {
        LineReceiver& receiver;
        ~DrainEnd() { receiver.draining_ = false; }
    } drainEnd{*this};
    while (!queue_.empty()) {
        // Checked per byte: acting on a line may close the session mid-batch.
        if (!session_.portOpen) {
            queue_.clear();
            break;
        }
        const std::uint8_t byte = queue_.front();
        queue_.pop_front();
        if (auto line = window_.push(byte)) {
            dispatch_.dispatch(*line);
        }
    }
}

}  // namespace terminal
