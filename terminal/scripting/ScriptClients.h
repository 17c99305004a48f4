#pragma once
// The scripts attached to a session's socket, as bookkeeping without sockets: each one's
// command lines cut out of what it sends, the commands of all of them queued and carried out
// one at a time in arrival order, who gets an answer or an ack, and what waits to be written
// to each. The listener (ScriptSocket) reads, writes and disconnects as this says.
//
// A hostile or slow script harms nothing: a line over 64 KiB is answered with an error and
// dropped; a script that does not read is to be disconnected once 1 MiB waits for it; no more
// than 16 are admitted.

#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "terminal/protocol/LinkState.h"
#include "terminal/scripting/InputLines.h"

namespace terminal::headless {

class ScriptClients {
public:
    static constexpr std::size_t most = 16;
    static constexpr std::size_t longestLine = 64 * 1024;
    static constexpr std::size_t mostWaiting = 1024 * 1024;
    // The sender of a command that came another way (standard input, the operator's hand).
    static constexpr int noClient = 0;

    // A script connected, with an id above noClient not in use. False when `most` are
    // attached already.
    bool admit(int id);
    // Gone, or disconnected: its queued commands are dropped, acks owed to it go nowhere.
    void remove(int id);
    std::size_t count() const { return clients_.size(); }

    // Bytes a script sent: its complete lines join the queue.
    void received(int id, std::string_view bytes);
    // Runs the queued commands in order, each by `run` with its sender as the current one.
    // A call while one runs (from a nested event loop) leaves the queue to the running one.
    void runQueued(const std::function<void(const std::string& line)>& run);

    // An event for one script (the link state it joins in), and for every script.
    void sendTo(int id, const std::string& line);
    void broadcast(const std::string& line);
    // An answer to the command being carried out: true when it went to (or was meant for) a
    // script; false when the command is not a script's, so the caller answers its own way.
    bool answer(const std::string& line);
    // The command being carried out sends a level or key command: the ack is its sender's.
    void commandSent(Acknowledgement which);
    // True when the ack went to (or was meant for) a script, as answer().
    bool ack(Acknowledgement which, const std::string& line);

    // What waits to be written to a script, and how much of it was.
    const std::string& waiting(int id) const;
    void written(int id, std::size_t count);
    // More than mostWaiting waits: the script does not read and is to be disconnected.
    bool overflowing(int id) const;

private:
    struct Client {
        InputLines lines{longestLine};
        std::string out;
    };
    std::map<int, Client> clients_;
    struct Queued {
        int id;
        std::string line;
        bool tooLong;  // answered with an error in its turn
    };
    std::deque<Queued> queue_;
    bool running_ = false;
    int current_ = noClient;
    int levelOwner_ = noClient;
    int keyOwner_ = noClient;
};

}  // namespace terminal::headless
