#include "terminal/scripting/HeadlessView.h"

#include "terminal/scripting/HeadlessEvents.h"

namespace terminal::headless {

HeadlessView::HeadlessView(HeadlessHost& host) : host_(host) {}

void HeadlessView::showMessage(const std::string& text, MessageIcon /*icon*/) {
    host_.emitLine(errorEvent(text));
}

void HeadlessView::showLinkState(LinkState state, const std::string& port,
                                 const std::string& device) {
    for (const std::string& line : linkEvents(state, port, device, panel_)) {
        host_.emitLine(line);
    }
}

void HeadlessView::showAcknowledgement(Acknowledgement which) {
    host_.emitAck(which, ackEvent(which == Acknowledgement::level ? "level" : keyCommand_));
}

}  // namespace terminal::headless
