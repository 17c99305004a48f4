// The socket's scripts as bookkeeping: their lines, the order their commands run in, who is
// answered, and the limits that keep a hostile or slow script from harming the session.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FuzzInputs.h"
#include "fuzz/harness/ScriptLinesHarness.h"
#include "terminal/scripting/ScriptClients.h"

namespace {

using terminal::Acknowledgement;
using terminal::headless::ScriptClients;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    for (auto end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

TEST(ScriptClients, CommandsRunInArrivalOrderAndAreAnsweredToTheirSenderOnly) {
    ScriptClients clients;
    ASSERT_TRUE(clients.admit(1));
    ASSERT_TRUE(clients.admit(2));
    // Lines arrive in pieces; a command runs only once its line is whole.
    clients.received(1, "level 4");
    clients.received(2, "key up\nsnap");
    clients.received(1, "0\r\nquiet on\n");
    std::vector<std::string> ran;
    clients.runQueued([&](const std::string& line) {
        ran.push_back(line);
        clients.answer("answer to " + line);
        if (line == "key up") {
            clients.commandSent(Acknowledgement::key);
        } else if (line.starts_with("level")) {
            clients.commandSent(Acknowledgement::level);
        }
    });
    EXPECT_EQ(ran, (std::vector<std::string>{"key up", "level 40\r", "quiet on"}));
    EXPECT_EQ(linesOf(clients.waiting(1)),
              (std::vector<std::string>{"answer to level 40\r", "answer to quiet on"}));
    EXPECT_EQ(linesOf(clients.waiting(2)), (std::vector<std::string>{"answer to key up"}));

    // Acks go to the script whose command is acknowledged; events to all.
    EXPECT_TRUE(clients.ack(Acknowledgement::level, "ack level"));
    EXPECT_TRUE(clients.ack(Acknowledgement::key, "ack key"));
    clients.broadcast("status");
    EXPECT_EQ(linesOf(clients.waiting(1)).back(), "status");
    EXPECT_EQ(linesOf(clients.waiting(1)).at(2), "ack level");
    EXPECT_EQ(linesOf(clients.waiting(2)),
              (std::vector<std::string>{"answer to key up", "ack key", "status"}));

    // Outside a script's command (standard input, the operator), nothing is a script's answer.
    EXPECT_FALSE(clients.answer("for standard input"));
    clients.runQueued([&](const std::string&) { ADD_FAILURE() << "nothing is queued"; });
    clients.commandSent(Acknowledgement::level);
    EXPECT_FALSE(clients.ack(Acknowledgement::level, "ack for standard input"));
    clients.written(1, clients.waiting(1).size());
    EXPECT_EQ(clients.waiting(1), "");
}

TEST(ScriptClients, ACommandFromANestedEventLoopWaitsForTheOneRunning) {
    ScriptClients clients;
    ASSERT_TRUE(clients.admit(1));
    ASSERT_TRUE(clients.admit(2));
    clients.received(1, "first\n");
    std::vector<std::string> ran;
    clients.runQueued([&](const std::string& line) {
        ran.push_back(line);
        if (line == "first") {
            // A message box's loop reads another script meanwhile.
            clients.received(2, "second\n");
            clients.runQueued(
                [&](const std::string& nested) { ran.push_back("nested " + nested); });
            EXPECT_EQ(ran.size(), 1U);
        }
    });
    EXPECT_EQ(ran, (std::vector<std::string>{"first", "second"}));
}

TEST(ScriptClients, AScriptThatGoesLeavesNothingQueuedAndGetsNothing) {
    ScriptClients clients;
    ASSERT_TRUE(clients.admit(1));
    ASSERT_TRUE(clients.admit(2));
    clients.received(1, "level 10\n");
    clients.runQueued([&](const std::string&) { clients.commandSent(Acknowledgement::level); });
    clients.received(1, "level 20\n");
    clients.remove(1);
    clients.runQueued([&](const std::string& line) { ADD_FAILURE() << line; });
    // Its ack is still not another's.
    EXPECT_TRUE(clients.ack(Acknowledgement::level, "ack level"));
    EXPECT_EQ(clients.waiting(2), "");
    EXPECT_EQ(clients.count(), 1U);
}

TEST(ScriptClients, HostileScriptsMeetTheirLimits) {
    ScriptClients clients;
    for (int id = 1; id <= 16; ++id) {
        ASSERT_TRUE(clients.admit(id)) << id;
    }
    EXPECT_FALSE(clients.admit(17));
    EXPECT_FALSE(clients.admit(ScriptClients::noClient));
    clients.remove(16);
    EXPECT_TRUE(clients.admit(17));

    // 65536 characters are a line; one more is an error in its turn, and the script goes on.
    clients.received(1, std::string(65536, ' ') + "\n" + std::string(65537, 'x'));
    clients.received(1, std::string(100000, 'x') + "\nsnapshot\n");
    std::vector<std::size_t> ran;
    clients.runQueued([&](const std::string& line) { ran.push_back(line.size()); });
    EXPECT_EQ(ran, (std::vector<std::size_t>{65536, 8}));
    EXPECT_EQ(
        linesOf(clients.waiting(1)),
        (std::vector<std::string>{
            R"({"event":"error","message":"line too long: more than 65536 characters, dropped"})"}));

    // A script that reads nothing: once more than 1 MiB waits, it is to be disconnected, and
    // nothing more piles up for it; one that reads is unharmed.
    const std::string status(1000, 's');
    for (int i = 0; i < 1047; ++i) {
        clients.broadcast(status);
        clients.written(2, clients.waiting(2).size());
    }
    EXPECT_FALSE(clients.overflowing(3));
    clients.broadcast(status);
    EXPECT_TRUE(clients.overflowing(3));
    EXPECT_FALSE(clients.overflowing(2));
    const std::size_t kept = clients.waiting(3).size();
    clients.broadcast(status);
    EXPECT_EQ(clients.waiting(3).size(), kept);
}

// The fuzz target's invariants over its seeds and every input a fuzzer found a fault with.
TEST(ScriptClients, TheSocketsLineInputKeepsItsInvariantsOnEveryKeptInput) {
    const auto inputs = testing_support::fuzzInputs(
        std::filesystem::path(TESTS_SOURCE_DIR) / "../fuzz", "script_lines");
    ASSERT_FALSE(inputs.empty());
    for (const auto& input : inputs) {
        EXPECT_EQ("", fuzzing::runScriptLines(input.bytes.data(), input.bytes.size()))
            << input.name;
    }
}

}  // namespace
