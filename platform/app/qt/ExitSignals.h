#pragma once
// SIGINT, SIGTERM and SIGHUP turned into a call on the window's thread, so a program ended
// from a shell or by the desktop's logout closes its port through the normal path (device
// settings restored, lock file released) instead of dying with the port open.

#include <functional>

namespace platform {

class ExitSignals {
public:
    // The handler runs on the thread that called install(), from its event loop (a nested
    // one too, such as an open message box), once per signal received. Install once.
    static void install(std::function<void(int signal)> handler);

    // The shell's status for a program ended by `signal`.
    static int exitStatus(int signal) { return 128 + signal; }

    // Ends the program now with exitStatus(signal), after flushing standard output and error.
    // No destructors run: meant for the end of a handler that has closed what matters.
    [[noreturn]] static void exitNow(int signal);
};

}  // namespace platform
