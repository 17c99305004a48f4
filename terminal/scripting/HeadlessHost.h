#pragma once
// What the headless session needs from the program around it: the window timer, the end of
// the session, and the event stream's output. The Qt program implements it; tests record.

#include <string>

#include "terminal/protocol/LinkState.h"

namespace terminal::headless {

class HeadlessHost {
public:
    virtual ~HeadlessHost() = default;

    virtual void startTimer(int id, int periodMs) = 0;
    virtual void stopTimer(int id) = 0;
    // The session is over (quit): the program ends once this returns.
    virtual void endSession() = 0;
    // One event, a JSON object without its line end.
    virtual void emitLine(const std::string& line) = 0;

    // Where several scripts share the session (its socket), answers and acknowledgements go
    // to the sender of the command only; otherwise every line goes the one way.
    // An error or unchanged event answering the command being carried out.
    virtual void answer(const std::string& line) { emitLine(line); }
    // The command being carried out sends a level or key command: its ack will be its sender's.
    virtual void commandSent(Acknowledgement /*which*/) {}
    virtual void emitAck(Acknowledgement /*which*/, const std::string& line) { emitLine(line); }
};

}  // namespace terminal::headless
