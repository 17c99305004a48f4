#include "terminal/headless/HeadlessView.h"

#include "terminal/core/ControlIds.h"
#include "terminal/core/RemoteControl.h"
#include "terminal/headless/HeadlessEvents.h"

namespace terminal::headless {

HeadlessView::HeadlessView(HeadlessHost& host) : host_(host) {
    // As the dashboard is created: Disconnect, the remote controls, the trouble-code boxes and
    // the buttons behind them disabled; everything else enabled.
    for (int id :
         {ids::disconnectButton, ids::levelSlider, ids::downButton, ids::upButton,
          ids::dynamicCheck, ids::quietCheck, ids::warningsCheck, ids::menuButton,
          ids::engineDm1Edit, ids::absDm1Edit, ids::transmissionDm1Edit, ids::engineDm2Edit,
          ids::engineDm1MultiPacketButton, ids::engineConfigurationButton,
          ids::engineDm2MultiPacketButton, ids::resetEngineDm2Check}) {
        enabled_[id] = false;
    }
}

void HeadlessView::setSliderPosition(double position) {
    slider_ = position;
    levelShown_ = levelFromPosition(position);
}

bool HeadlessView::isControlEnabled(int id) {
    auto found = enabled_.find(id);
    return found == enabled_.end() || found->second;
}

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
