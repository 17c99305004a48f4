#pragma once
// A stand-in started by a test ends with the test: a test that crashes (a sanitizer abort)
// would otherwise leave it running, holding the test's output pipe open, and CTest would
// wait for it until the time-out.

#include <sys/prctl.h>
#include <QProcess>
#include <csignal>

inline void dieWithTest(QProcess& process) {
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}
