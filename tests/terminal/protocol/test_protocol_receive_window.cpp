// How the 50-byte receive window cuts the byte stream into lines.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "terminal/protocol/ReceiveWindow.h"

using terminal::ReceiveWindow;

namespace {
// Pushes `bytes` and returns every line the window reported.
std::vector<std::string> feed(ReceiveWindow& window, const std::string& bytes) {
    std::vector<std::string> lines;
    for (char c : bytes) {
        if (auto line = window.push(static_cast<std::uint8_t>(c))) {
            lines.push_back(*line);
        }
    }
    return lines;
}
}  // namespace

TEST(ReceiveWindow, ReportsALineEndingInCrLfAndEmptiesItself) {
    ReceiveWindow window;
    EXPECT_EQ(std::vector<std::string>{"ACK KI\r\n"}, feed(window, "ACK KI\r\n"));
    EXPECT_EQ(0u, window.count());
    EXPECT_EQ((std::vector<std::string>{"ACK %\r\n", "BRC CLKD0D254\r\n"}),
              feed(window, "ACK %\r\nBRC CLKD0D254\r\n"));
}

TEST(ReceiveWindow, UpperCasesOnlyLettersOfTheFinishedLine) {
    ReceiveWindow window;
    EXPECT_EQ(std::vector<std::string>{"ACK KI\r\n"}, feed(window, "ack ki\r\n"));
    EXPECT_EQ(std::vector<std::string>{"ACK REV{\r\n"}, feed(window, "Ack rev{\r\n"));
}

TEST(ReceiveWindow, ALoneCrLfStaysUntilAHeaderMovesToTheFront) {
    ReceiveWindow window;
    EXPECT_TRUE(feed(window, "\r\n").empty());
    EXPECT_EQ(2u, window.count());
    // "\r\nACK " is 6 bytes; the header move drops the CR LF in front.
    EXPECT_EQ(std::vector<std::string>{"ACK %\r\n"}, feed(window, "ACK %\r\n"));
}

TEST(ReceiveWindow, ACrLfBeforeSixBytesEndsNoLine) {
    ReceiveWindow window;
    EXPECT_TRUE(feed(window, "AB\r\n").empty());
    EXPECT_EQ(4u, window.count());
    // The early CR LF stays in front; the next CR LF ends one line holding both.
    EXPECT_EQ(std::vector<std::string>{"AB\r\nX\r\n"}, feed(window, "X\r\n"));
    EXPECT_EQ(0u, window.count());
}

TEST(ReceiveWindow, NoiseInFrontOfAHeaderIsDropped) {
    ReceiveWindow window;
    EXPECT_EQ(std::vector<std::string>{"BRC %S08B07B\r\n"}, feed(window,
                                                                 "xyz\x01"
                                                                 "BRC %S08B07B\r\n"));
    EXPECT_EQ(std::vector<std::string>{"ACK KI\r\n"}, feed(window, "garbageack ki\r\n"));
}

TEST(ReceiveWindow, AHeaderIsNotMovedOverAnotherHeadersCharacters) {
    ReceiveWindow window;
    // The first line lost its CR LF: position 3 holds a space, so the second "ACK " stays.
    EXPECT_EQ(std::vector<std::string>{"ACK %ACK KI\r\n"}, feed(window, "ACK %ACK KI\r\n"));

    // One position holding the other header's character is enough: 'B' at 0 blocks "ACK ".
    EXPECT_TRUE(feed(window, "Bxy").empty());
    feed(window, "ACK ");
    EXPECT_EQ(7u, window.count());
    // ...and 'K' at 2 blocks "BRC ".
    ReceiveWindow other;
    feed(other, "xyKzBRC ");
    EXPECT_EQ(8u, other.count());
    // Lower case in front blocks nothing; the header itself may be in either case.
    ReceiveWindow third;
    feed(third, "brcZbrc ");
    EXPECT_EQ(4u, third.count());
    EXPECT_EQ("BRC ", third.contents());
}

TEST(ReceiveWindow, KeepsTheNewestFiftyBytesOfAnOverlongLine) {
    ReceiveWindow window;
    const std::string longLine = "ACK " + std::string(60, '7') + "\r\n";
    const auto lines = feed(window, longLine);
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(50u, lines[0].size());
    EXPECT_EQ(longLine.substr(longLine.size() - 50), lines[0]);

    // A header arriving while the window is full still moves to the front.
    feed(window, std::string(70, '5'));
    EXPECT_EQ(50u, window.count());
    EXPECT_EQ(std::vector<std::string>{"ACK KI\r\n"}, feed(window, "ACK KI\r\n"));
}
