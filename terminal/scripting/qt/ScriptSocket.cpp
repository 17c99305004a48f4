#include "terminal/scripting/qt/ScriptSocket.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <array>
#include <cerrno>

#include "terminal/scripting/HeadlessEvents.h"

namespace terminal::headless {

ScriptSocket::ScriptSocket(std::function<void(const std::string& line)> run,
                           std::function<std::vector<std::string>()> greeting, QObject* parent)
    : QObject(parent), run_(std::move(run)), greeting_(std::move(greeting)) {}

ScriptSocket::~ScriptSocket() {
    remove();
}

std::string ScriptSocket::listen(const std::string& path) {
    listening_ = listenAt(path);
    if (listening_.fd < 0) {
        return listening_.error;
    }
    path_ = path;
    accepting_ = new QSocketNotifier(listening_.fd, QSocketNotifier::Read, this);
    connect(accepting_, &QSocketNotifier::activated, this, [this] { accept(); });
    return {};
}

void ScriptSocket::remove() {
    countChanged_ = nullptr;
    // The file first: a script whose connection ends finds that Tessaly has gone.
    if (listening_.fd >= 0) {
        removeSocketFile(path_, listening_);
        delete accepting_;
        accepting_ = nullptr;
        ::close(listening_.fd);
        listening_.fd = -1;
    }
    while (!peers_.empty()) {
        disconnect(peers_.begin()->first);
    }
}

void ScriptSocket::accept() {
    const int fd = ::accept4(listening_.fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
        return;
    }
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || peer.uid != ::geteuid()) {
        refuse(fd, "refused: only the user who runs Tessaly may connect");
        return;
    }
    const int id = nextId_++;
    if (!clients_.admit(id)) {
        refuse(fd, "refused: " + std::to_string(ScriptClients::most) +
                       " scripts are connected already");
        return;
    }
    Peer& added = peers_[id];
    added.fd = fd;
    added.reading = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(added.reading, &QSocketNotifier::activated, this, [this, id] { read(id); });
    added.writing = new QSocketNotifier(fd, QSocketNotifier::Write, this);
    added.writing->setEnabled(false);
    connect(added.writing, &QSocketNotifier::activated, this, [this, id] { flush(id); });
    // The state the session is in: the client reads it only from events.
    for (const std::string& line : greeting_()) {
        clients_.sendTo(id, line);
    }
    flush(id);
    if (countChanged_) {
        countChanged_(count());
    }
}

// One error line, written if the socket takes it at once, and the connection closed.
void ScriptSocket::refuse(int fd, const std::string& message) {
    const std::string line = errorEvent(message) + "\n";
    [[maybe_unused]] const ssize_t sent =
        ::send(fd, line.data(), line.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    ::close(fd);
}

void ScriptSocket::read(int id) {
    auto found = peers_.find(id);
    if (found == peers_.end()) {
        return;
    }
    std::array<char, 65536> buffer{};
    const ssize_t count = ::recv(found->second.fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
    if (count < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) {
        return;
    }
    if (count <= 0) {
        // Gone: what it asked for so far stands, as the operator's last click would.
        disconnect(id);
        return;
    }
    clients_.received(id, std::string_view(buffer.data(), static_cast<std::size_t>(count)));
    clients_.runQueued(run_);
    flush();
}

void ScriptSocket::broadcast(const std::string& line) {
    clients_.broadcast(line);
    flush();
}

bool ScriptSocket::answer(const std::string& line) {
    const bool taken = clients_.answer(line);
    flush();
    return taken;
}

bool ScriptSocket::ack(Acknowledgement which, const std::string& line) {
    const bool taken = clients_.ack(which, line);
    flush();
    return taken;
}

void ScriptSocket::flush() {
    std::vector<int> ids;
    for (const auto& [id, peer] : peers_) {
        ids.push_back(id);
    }
    for (int id : ids) {
        flush(id);
    }
}

// Writes what the socket takes now; the rest waits for the write notifier. A script that
// lets more than ScriptClients::mostWaiting pile up is disconnected: the dashboard never waits.
void ScriptSocket::flush(int id) {
    auto found = peers_.find(id);
    if (found == peers_.end()) {
        return;
    }
    if (clients_.overflowing(id)) {
        disconnect(id);
        return;
    }
    const std::string& waiting = clients_.waiting(id);
    while (!waiting.empty()) {
        const ssize_t sent =
            ::send(found->second.fd, waiting.data(), waiting.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        }
        if (sent <= 0) {
            disconnect(id);
            return;
        }
        clients_.written(id, static_cast<std::size_t>(sent));
    }
    found->second.writing->setEnabled(!waiting.empty());
}

void ScriptSocket::disconnect(int id) {
    auto found = peers_.find(id);
    if (found == peers_.end()) {
        return;
    }
    const Peer peer = found->second;
    peers_.erase(found);
    clients_.remove(id);
    // Possibly called from one of these notifiers' own signal.
    peer.reading->setEnabled(false);
    peer.writing->setEnabled(false);
    peer.reading->deleteLater();
    peer.writing->deleteLater();
    ::close(peer.fd);
    if (countChanged_) {
        countChanged_(count());
    }
}

}  // namespace terminal::headless
