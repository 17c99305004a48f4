#pragma once
// Whether a window can be shown at all, asked before the QApplication is made: without a
// display, Qt's platform plug-in ends the program with an abort and a core file, after a
// message that tells a user little. A program that needs a window asks first and says it in
// one line; a plug-in that fails anyway ends the program with status 1, not an abort.

#include <QString>
#include <memory>

class QApplication;

namespace platform {

// True when the platform Qt will load (-platform, else QT_QPA_PLATFORM, else the desktop's
// xcb or wayland) has what it needs to reach a display: DISPLAY for xcb, WAYLAND_DISPLAY or
// a wayland session for wayland. Plug-ins that need no display (offscreen, vnc, eglfs, ...)
// always have it.
bool displayConfigured(int argc, char** argv);

// While one lives, a fatal message from Qt (a platform plug-in that cannot start) is printed
// as usual and then ends the program with status 1 instead of an abort. Meant to surround
// the construction of the QApplication only.
class PlatformStartGuard {
public:
    PlatformStartGuard();
    ~PlatformStartGuard();
    PlatformStartGuard(const PlatformStartGuard&) = delete;
    PlatformStartGuard& operator=(const PlatformStartGuard&) = delete;
};

// The application object of a program that shows a window, made under a PlatformStartGuard;
// nullptr when there is no display for it, after `noDisplay` (one line that says what to do
// instead) went to standard error. `argc` must outlive the application, as Qt requires.
// Escape on an open popup closes that alone in it (PopupEscape).
std::unique_ptr<QApplication> windowApplication(int& argc, char** argv, const char* noDisplay);

}  // namespace platform
