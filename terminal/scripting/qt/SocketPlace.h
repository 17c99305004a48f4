#pragma once
// Where a session's socket is made, and making it safely: mode 0600 in a folder of mode 0700
// that the user owns; a path that is taken by anything but a socket is refused, a socket left
// by a dead process replaced, a live one refused. POSIX only; no Qt.

#include <sys/types.h>

#include <string>

namespace terminal::headless {

// $XDG_RUNTIME_DIR/tessaly/COMn.sock for `port` "COMn"; a device path's file name stands for
// COMn ("ttyUSB0.sock").
std::string defaultSocketPath(const std::string& runtimeFolder, const std::string& port);

struct ListeningSocket {
    int fd = -1;        // listening, non-blocking, close-on-exec
    std::string error;  // when fd is -1: why, as a line for standard error
    dev_t device = 0;   // the socket file made, so that only it is ever removed
    ino_t inode = 0;
};

ListeningSocket listenAt(const std::string& path);

// Removes the socket file at `path` if it is still the one listenAt() made.
void removeSocketFile(const std::string& path, const ListeningSocket& made);

}  // namespace terminal::headless
