#pragma once
// What the headless session needs from the program around it: the window timer, the end of
// the session, and the event stream's output. The Qt program implements it; tests record.

#include <string>

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
};

}  // namespace terminal::headless
