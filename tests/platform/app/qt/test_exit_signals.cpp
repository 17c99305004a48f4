// A stop signal reaches the program on its own thread, through its event loop, once per
// signal, so the program can close its port before it ends.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <csignal>
#include <vector>

#include "platform/app/qt/ExitSignals.h"

TEST(ExitSignals, EachStopSignalIsHandedToTheEventLoopInOrder) {
    std::vector<int> received;
    platform::ExitSignals::install([&received](int signal) { received.push_back(signal); });

    std::raise(SIGTERM);
    std::raise(SIGHUP);
    std::raise(SIGINT);
    // Nothing runs inside the signal handler itself.
    EXPECT_TRUE(received.empty());

    QDeadlineTimer deadline(5000);
    while (received.size() < 3 && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    EXPECT_EQ(received, (std::vector<int>{15, 1, 2}));
    EXPECT_EQ(platform::ExitSignals::exitStatus(SIGTERM), 143);
}
