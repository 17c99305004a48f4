#pragma once
// The receive path of the serial control's event: reads every waiting byte and feeds it,
// in order, through the receive window into the line dispatch.

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/serial/SerialControl.h"
#include "terminal/link/LineDispatch.h"
#include "terminal/link/SessionState.h"
#include "terminal/protocol/ReceiveWindow.h"

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

    // Called with every batch of bytes read while the port is open, before it is acted on.
    void setBytesTap(std::function<void(std::string_view)> tap) { bytesTap_ = std::move(tap); }

private:
    platform::SerialControl& serial_;
    const SessionState& session_;
    LineDispatch& dispatch_;
    ReceiveWindow window_;
    bool draining_ = false;
    bool moreWaiting_ = false;
    std::function<void(std::string_view)> bytesTap_;
};

}  // namespace terminal
