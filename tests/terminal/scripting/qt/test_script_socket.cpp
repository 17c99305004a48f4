// The socket's bookkeeping as scripts come and go: one that hangs up is forgotten, so its
// place is free again, and what waits for a script that reads slowly reaches it in the end.

#include <QTemporaryDir>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ScriptClient.h"
#include "terminal/scripting/qt/ScriptSocket.h"

namespace {

using terminal::headless::ScriptSocket;
using testing_support::ScriptClient;
using testing_support::waitUntil;

struct Listening {
    QTemporaryDir folder;
    std::string path = folder.filePath("runtime/tessaly/COM9.sock").toStdString();
    std::vector<std::string> ran;
    ScriptSocket socket{[this](const std::string& line) { ran.push_back(line); },
                        [] { return std::vector<std::string>{R"({"event":"link"})"}; }};
};

TEST(ScriptSocketPeers, AScriptThatHangsUpIsForgottenAndItsPlaceFreedAgain) {
    Listening at;
    ASSERT_EQ(at.socket.listen(at.path), "");
    // More than the 16 scripts admitted at once, one after the other.
    for (int i = 0; i < 20; ++i) {
        {
            ScriptClient script(at.path);
            ASSERT_TRUE(script.connected()) << i;
            ASSERT_EQ(script.waitFor(R"({"event":"link"})", 3000), 0) << script.transcript();
            ASSERT_TRUE(script.send("{\"command\":\"snapshot\"}\n"));
            ASSERT_TRUE(waitUntil([&] { return at.ran.size() == std::size_t(i) + 1; }, 3000));
            EXPECT_EQ(at.socket.count(), 1);
        }
        ASSERT_TRUE(waitUntil([&] { return at.socket.count() == 0; }, 3000)) << i;
    }
}

TEST(ScriptSocketPeers, EveryEventReachesAScriptThatReadsLate) {
    Listening at;
    ASSERT_EQ(at.socket.listen(at.path), "");
    ScriptClient script(at.path);
    ASSERT_EQ(script.waitFor(R"({"event":"link"})", 3000), 0);
    // About 600 KiB: more than the socket holds, less than a script may leave waiting.
    const std::string padding(300, 'x');
    for (int i = 0; i < 2000; ++i) {
        at.socket.broadcast(R"({"event":"status","n":)" + std::to_string(i) + R"(,"pad":")" +
                            padding + "\"}");
    }
    EXPECT_GE(script.waitFor(R"("n":1999,)", 10000), 2000) << script.transcript();
    EXPECT_EQ(script.count(R"("event":"status")"), 2000);
    EXPECT_EQ(at.socket.count(), 1);
}

}  // namespace
