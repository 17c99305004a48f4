#pragma once
// A script on a session's socket, as the tests play it: connects, sends lines, and collects
// the event lines it reads while the Qt event loop keeps turning (the session under test may
// run in the same thread).

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QString>
#include <QStringList>
#include <cstring>
#include <string>

#include "J1939SimProcess.h"

namespace testing_support {

class ScriptClient {
public:
    explicit ScriptClient(const std::string& path) {
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~ScriptClient() { close(); }
    ScriptClient(const ScriptClient&) = delete;
    ScriptClient& operator=(const ScriptClient&) = delete;

    bool connected() const { return fd_ >= 0; }
    void close() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    bool send(const std::string& bytes) {
        return fd_ >= 0 && ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
                               static_cast<ssize_t>(bytes.size());
    }

    // Every line read so far, reading what has come.
    QStringList lines() {
        char buffer[65536];
        ssize_t count = 0;
        while (fd_ >= 0 && (count = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT)) > 0) {
            text_ += QString::fromUtf8(buffer, static_cast<qsizetype>(count));
        }
        if (count == 0) {
            ended_ = true;
        }
        return text_.split('\n', Qt::SkipEmptyParts);
    }
    // The far end closed the connection (seen by lines()).
    bool ended() const { return ended_; }

    // The index of the first line from `from` on containing `part`, or -1 after the time.
    int waitFor(const QString& part, int timeoutMs, int from = 0) {
        int found = -1;
        waitUntil(
            [&] {
                const QStringList all = lines();
                for (int i = from; i < all.size(); ++i) {
                    if (all[i].contains(part)) {
                        found = i;
                        return true;
                    }
                }
                return false;
            },
            timeoutMs);
        return found;
    }
    int count(const QString& part) { return static_cast<int>(lines().filter(part).size()); }
    std::string transcript() { return lines().join('\n').left(4000).toStdString(); }

private:
    int fd_ = -1;
    QString text_;
    bool ended_ = false;
};

}  // namespace testing_support
