#include "terminal/link/LineReceiver.h"

namespace terminal {

LineReceiver::LineReceiver(platform::SerialControl& serial, const SessionState& session,
                           LineDispatch& dispatch)
    : serial_(serial), session_(session), dispatch_(dispatch) {}

void LineReceiver::onReceive() {
    if (serial_.getCommEvent() != platform::comEvReceive) {
        return;
    }
    if (draining_) {
        // A line being acted on has opened a message box. What arrives meanwhile stays in the
        // serial control, whose bounded buffer drops the excess as a driver would; it is read
        // once the line is done, behind the bytes still waiting here.
        moreWaiting_ = true;
        return;
    }
    draining_ = true;
    struct DrainEnd {
        LineReceiver& receiver;
        ~DrainEnd() { receiver.draining_ = false; }
    } drainEnd{*this};
    do {
        moreWaiting_ = false;
        const std::vector<std::uint8_t> batch = serial_.getInput();
        // Bytes read while the port-open flag is clear are dropped unseen, so not told of.
        if (bytesTap_ && !batch.empty() && session_.portOpen) {
            bytesTap_(std::string_view(reinterpret_cast<const char*>(batch.data()), batch.size()));
        }
        for (const std::uint8_t byte : batch) {
            // Checked per byte: acting on a line may close the session mid-batch.
            if (!session_.portOpen) {
                break;
            }
            if (auto line = window_.push(byte)) {
                dispatch_.dispatch(*line);
            }
        }
    } while (moreWaiting_);
}

}  // namespace terminal
