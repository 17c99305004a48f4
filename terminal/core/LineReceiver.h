#pragma once
// The receive path of the serial control's event: reads every waiting byte and feeds it,
// in order, through the receive window into the line dispatch.

#include <cstdint>
#include <vector>

#include "platform/core/SerialControl.h"
#include "terminal/core/LineDispatch.h"
#include "terminal/core/ReceiveWindow.h"
#include "terminal/core/SessionState.h"

namespace terminal {

class LineReceiver {
public:
    LineReceiver(platform::SerialControl& serial, const SessionState& session,
                 LineDispatch& dispatch);

    // Only data-received events are handled. The input is read even while the port-open flag
    // is clear, and then dropped. A read of any size is processed whole, byte by byte. An
    // event raised while a line is being acted on (a message box runs its own event loop)
    // reads nothing: its bytes stay in the serial control and are read when the line is done,
    // so the stream stays in order and nothing piles up here while the box is open.
    void onReceive();

    const ReceiveWindow& window() const { return window_; }

private:
    platform::SerialControl& serial_;
    const SessionState& session_;
    LineDispatch& dispatch_;
    ReceiveWindow window_;
    bool draining_ = false;
    bool moreWaiting_ = false;
};

}  // namespace terminal
