#pragma once
// The simulator's one loop: reads command lines and answers them, sends a status round at
// the chosen rate (or back to back in saturate mode), never faster than 115200 baud carries,
// and plays silence on request.

#include <chrono>
#include <csignal>
#include <optional>
#include <string>

#include "CommandReader.h"
#include "EventLog.h"
#include "LineShaper.h"
#include "ReplayLog.h"
#include "SerialEndpoint.h"
#include "SimOptions.h"
#include "Simulator.h"

namespace sim {

class DeviceLoop {
public:
    using Clock = std::chrono::steady_clock;

    DeviceLoop(const SimOptions& options, SerialEndpoint& line, EventLog& log);

    // Runs until `stop` becomes non-zero; every change of `silenceToggles` flips silence.
    // Throws std::runtime_error when a real device goes away.
    void run(const volatile std::sig_atomic_t& stop,
             const volatile std::sig_atomic_t& silenceToggles);

private:
    void receive();
    void answer(const ReceivedLine& line);
    void sendStatusRound();
    void queue(const OutgoingLine& line, bool logIt);
    void flush();
    void updateSilence(const volatile std::sig_atomic_t& silenceToggles);
    void notePeer(bool present);
    int pollTimeoutMs() const;
    void playDueLines();
    void noteReplayEnd();

    const SimOptions& options_;
    SerialEndpoint& line_;
    EventLog& log_;
    Simulator simulator_;
    LineShaper shaper_;
    CommandReader reader_;

    Clock::time_point start_;
    Clock::time_point nextRound_;
    Clock::duration roundPeriod_;
    Clock::time_point lastRefill_;
    double byteBudget_ = 0;
    std::string output_;
    // The front of output_ is the rest of a line whose first bytes are out already.
    bool lineUnderway_ = false;
    bool peerPresent_;
    bool silent_ = false;
    bool timedSilenceDone_ = false;
    std::sig_atomic_t seenToggles_ = 0;
    bool backlogNoted_ = false;

    // --replay: the script, the next line to play and when the terminal's first line came.
    bool replaying_ = false;
    ReplayScript replay_;
    std::size_t replayNext_ = 0;
    std::optional<Clock::time_point> replayStart_;
    bool replayEndNoted_ = false;
};

}  // namespace sim
