#pragma once
// The session's socket (--listen): scripts connect to it and speak the headless protocol.
// Served from the program's event loop through socket notifiers, never a thread; nothing
// here ever waits for a script. Only the user's own processes are admitted (SO_PEERCRED);
// the socket file is removed when this goes, or by remove() on a path that skips destructors.

#include <QObject>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "terminal/scripting/ScriptClients.h"
#include "terminal/scripting/qt/SocketPlace.h"

class QSocketNotifier;

namespace terminal::headless {

class ScriptSocket : public QObject {
public:
    // `run`: one command line, carried out at once. `greeting`: the events a script that
    // connects is sent first (the link state as it stands).
    ScriptSocket(std::function<void(const std::string& line)> run,
                 std::function<std::vector<std::string>()> greeting, QObject* parent = nullptr);
    ~ScriptSocket() override;

    // Listens at `path`: empty when it does, else why not (a line for standard error).
    std::string listen(const std::string& path);
    // Stops listening, disconnects every script and removes the socket file.
    void remove();

    // Told whenever a script connects or goes.
    void onCountChanged(std::function<void(int scripts)> handler) {
        countChanged_ = std::move(handler);
    }
    int count() const { return static_cast<int>(clients_.count()); }

    // Routing, as ScriptClients.
    void broadcast(const std::string& line);
    bool answer(const std::string& line);
    void commandSent(Acknowledgement which) { clients_.commandSent(which); }
    bool ack(Acknowledgement which, const std::string& line);

private:
    struct Peer {
        int fd = -1;
        QSocketNotifier* reading = nullptr;
        QSocketNotifier* writing = nullptr;
    };
    void accept();
    void refuse(int fd, const std::string& message);
    void read(int id);
    void flush();
    void flush(int id);
    void disconnect(int id);

    std::function<void(const std::string&)> run_;
    std::function<std::vector<std::string>()> greeting_;
    std::function<void(int)> countChanged_;
    std::string path_;
    ListeningSocket listening_;
    QSocketNotifier* accepting_ = nullptr;
    ScriptClients clients_;
    std::map<int, Peer> peers_;
    int nextId_ = ScriptClients::noClient + 1;
};

}  // namespace terminal::headless
