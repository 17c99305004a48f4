// The headless session's two texts: the command lines it reads and the JSON it writes.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "terminal/scripting/HeadlessCommand.h"
#include "terminal/scripting/InputLines.h"
#include "terminal/scripting/JsonLine.h"

namespace {

using terminal::headless::HeadlessCommand;
using terminal::headless::parseCommand;
using Kind = HeadlessCommand::Kind;

TEST(HeadlessCommands, EachCommandReadsAsTheControlItWorks) {
    struct Case {
        const char* line;
        Kind kind;
        const char* word;
        int level;
        int controlId;
        bool on;
        const char* rateText;
    };
    const Case cases[] = {
        {"level 50", Kind::level, "level", 50, 0, false, ""},
        {"  level\t007 \r", Kind::level, "level", 7, 0, false, ""},
        {"level 100", Kind::level, "level", 100, 0, false, ""},
        {"key menu", Kind::key, "key", 0, 1012, false, ""},
        {"key down", Kind::key, "key", 0, 1007, false, ""},
        {"key up", Kind::key, "key", 0, 1008, false, ""},
        {"dynamic on", Kind::mode, "dynamic", 0, 1009, true, ""},
        {"quiet off", Kind::mode, "quiet", 0, 1010, false, ""},
        {"warnings off", Kind::mode, "warnings", 0, 1011, false, ""},
        {"reset-dm2 on", Kind::mode, "reset-dm2", 0, 1048, true, ""},
        {"can-rate 62.5K", Kind::canRate, "can-rate", 0, 0, false, "62.5K bps"},
        {"can-rate 1M", Kind::canRate, "can-rate", 0, 0, false, "1M bps"},
        {"snapshot", Kind::snapshot, "snapshot", 0, 0, false, ""},
        {"disconnect", Kind::disconnect, "disconnect", 0, 0, false, ""},
        {"connect", Kind::connect, "connect", 0, 0, false, ""},
        {"quit\r", Kind::quit, "quit", 0, 0, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const auto parsed = parseCommand(c.line);
        ASSERT_TRUE(parsed.command.has_value()) << parsed.error;
        EXPECT_EQ(parsed.command->kind, c.kind);
        EXPECT_EQ(parsed.command->word, c.word);
        EXPECT_EQ(parsed.command->level, c.level);
        EXPECT_EQ(parsed.command->controlId, c.controlId);
        EXPECT_EQ(parsed.command->on, c.on);
        EXPECT_EQ(parsed.command->rateText, c.rateText);
    }
}

TEST(HeadlessCommands, AnythingElseIsAnErrorAndABlankLineNothing) {
    const std::pair<const char*, const char*> refused[] = {
        {"levle 50", "unknown command: levle"},
        {"LEVEL 50", "unknown command: LEVEL"},
        {"level 101", "level takes one whole number from 0 to 100"},
        {"level -1", "level takes one whole number from 0 to 100"},
        {"level 5.5", "level takes one whole number from 0 to 100"},
        {"level", "level takes one whole number from 0 to 100"},
        {"level 1 2", "level takes one whole number from 0 to 100"},
        {"key left", "key takes one of menu, down, up"},
        {"warnings", "warnings takes on or off"},
        {"quiet yes", "quiet takes on or off"},
        {"can-rate 250k", "can-rate takes one of 250K, 500K, 62.5K, 125K, 1M"},
        {"can-rate 250K bps", "can-rate takes one of 250K, 500K, 62.5K, 125K, 1M"},
        {"quit now", "quit takes no argument"},
    };
    for (const auto& [line, error] : refused) {
        SCOPED_TRACE(line);
        const auto parsed = parseCommand(line);
        EXPECT_FALSE(parsed.command.has_value());
        EXPECT_EQ(parsed.error, error);
    }
    for (const char* blank : {"", "   ", "\r", "\t \r"}) {
        const auto parsed = parseCommand(blank);
        EXPECT_FALSE(parsed.command.has_value());
        EXPECT_EQ(parsed.error, "");
    }
    // An unknown line of any length is echoed by its first 40 characters only.
    EXPECT_EQ(parseCommand(std::string(5000, 'x')).error,
              "unknown command: " + std::string(40, 'x'));
}

TEST(HeadlessInput, LinesEndAtLfAndAnOverlongOneIsDroppedWhole) {
    terminal::headless::InputLines lines;
    std::vector<std::string> seen;
    auto take = [&](const terminal::headless::InputLines::Line& line) {
        seen.push_back(line.tooLong ? "<too long>" : line.text);
    };
    lines.feed("level 5", take);
    lines.feed("0\nsnap", take);
    lines.feed("shot\n" + std::string(3000, 'a') + "b\nquit", take);
    lines.finish(take);
    EXPECT_EQ(seen, (std::vector<std::string>{"level 50", "snapshot", "<too long>", "quit"}));
}

TEST(HeadlessJson, TextsAreEscapedAndNumbersKeepTheirValue) {
    using terminal::headless::jsonNumber;
    using terminal::headless::jsonString;
    const std::pair<std::string, std::string> strings[] = {
        {"COM3", R"("COM3")"},
        {"a \"b\" \\ c", R"("a \"b\" \\ c")"},
        {"111     1      1     0\r\n", R"("111     1      1     0\r\n")"},
        {std::string("\x01\x1f\x7f\t", 4), R"("\u0001\u001f\u007f\t")"},
        {"/dev/ttyUSB0 \xc3\xa9", "\"/dev/ttyUSB0 \xc3\xa9\""},
        {"bad \xff\xc3 end", R"("bad \ufffd\ufffd end")"},
        {"\xed\xa0\x80", R"("\ufffd\ufffd\ufffd")"},
    };
    for (const auto& [text, json] : strings) {
        EXPECT_EQ(jsonString(text), json);
    }
    const std::pair<double, const char*> numbers[] = {
        {4015.875, "4015.875"},
        {static_cast<double>(77.98f), "77.98"},
        {static_cast<double>(-459.4f), "-459.4"},
        {0.1, "0.1"},
        {1.001, "1.001"},
        // Not a float's value: written as the double it is, not rounded to 16384.
        {16384.001, "16384.001"},
        {0.1 + 0.2, "0.30000000000000004"},
        {185, "185"},
        {999999, "999999"},
        {std::numeric_limits<double>::quiet_NaN(), "null"},
        {std::numeric_limits<double>::infinity(), "null"},
    };
    for (const auto& [value, json] : numbers) {
        EXPECT_EQ(jsonNumber(value), json);
    }
    terminal::headless::JsonObject inner;
    inner.addBool("on", true).addInteger("n", -3);
    terminal::headless::JsonObject outer;
    outer.addText("event", "x").addObject("inner", inner).addNumber("v", 2.5);
    EXPECT_EQ(outer.text(), R"({"event":"x","inner":{"on":true,"n":-3},"v":2.5})");
}

}  // namespace
