// Byte encodings and the commands the terminal sends, checked against the device's own
// worked examples.

#include <gtest/gtest.h>

#include "FakeClock.h"
#include "FakeSerialControl.h"
#include "terminal/protocol/CommandSender.h"
#include "terminal/protocol/Commands.h"
#include "terminal/protocol/HexPair.h"
#include "terminal/protocol/WireCodes.h"

using namespace terminal;

TEST(HexPair, TravelsLowNibbleFirstAndDecodesBack) {
    EXPECT_EQ((std::array<char, 2>{'A', '3'}), encodeHexPair(0x3A));
    EXPECT_EQ((std::array<char, 2>{'2', '0'}), encodeHexPair(0x02));
    EXPECT_EQ((std::array<char, 2>{'0', '1'}), encodeHexPair(0x10));
    EXPECT_EQ((std::array<char, 2>{'F', 'F'}), encodeHexPair(0xFF));
    for (unsigned b = 0; b < 256; ++b) {
        const auto pair = encodeHexPair(static_cast<std::uint8_t>(b));
        EXPECT_EQ(b, decodeHexPair(pair[1], pair[0])) << b;
    }
}

TEST(HexPair, DecodesNonDigitsWithoutValidatingThem) {
    // High part (h + 9) * 16 for h >= 'A', low part l - 55: "G" is taken as 16.
    EXPECT_EQ(static_cast<std::uint8_t>((('G' + 9) * 16 + 'G' - 55) % 256),
              decodeHexPair('G', 'G'));
    EXPECT_EQ(static_cast<std::uint8_t>((' ' * 16 + ' ' - 48) % 256), decodeHexPair(' ', ' '));
    // Plain code digits, high first, as in "ACK CBRS=03".
    EXPECT_EQ(3, decodeHexPair('0', '3'));
}

TEST(HexPair, ChecksumBringsTheLineSumToZero) {
    EXPECT_EQ(0, lineChecksum(""));
    EXPECT_EQ(0x55, lineChecksum("AT KI20"));
    EXPECT_TRUE(checksumMatches("BRC %S08B07B\r\n", 10));
    EXPECT_FALSE(checksumMatches("BRC %S08B07C\r\n", 10));
    EXPECT_FALSE(checksumMatches("BRC %S", 10));  // too short to hold a checksum
}

TEST(Commands, MatchTheWorkedExamplesByteForByte) {
    EXPECT_EQ("AT KI2055\r\n", keyCommand(wire::keyUp));
    EXPECT_EQ("AT %08EB\r\n", levelCommand(128));
    EXPECT_EQ("AT ID?\r\n", identificationRequest());
    EXPECT_EQ(11u, keyCommand(0xFF).size());
    EXPECT_EQ(10u, levelCommand(0).size());
}

TEST(Commands, KeyCodesOfTheKeypadAndModes) {
    EXPECT_EQ(wire::keyMenu, wire::keyWarnings);
    EXPECT_EQ("AT KI01", keyCommand(wire::keyMenu).substr(0, 7));
    EXPECT_EQ("AT KI10", keyCommand(wire::keyDown).substr(0, 7));
    EXPECT_EQ("AT KI34", keyCommand(wire::keyQuiet).substr(0, 7));
    EXPECT_EQ("AT KI25", keyCommand(wire::keyDynamic).substr(0, 7));
    EXPECT_EQ("AT KI15", keyCommand(wire::keyResetEngineDm2).substr(0, 7));
}

TEST(Commands, BaudRateDigitComesFromTheExactRateText) {
    EXPECT_EQ("AT CBRS=00\r\n", baudRateCommand("250K bps"));
    EXPECT_EQ("AT CBRS=03\r\n", baudRateCommand("500K bps"));
    EXPECT_EQ("AT CBRS=01\r\n", baudRateCommand("62.5K bps"));
    EXPECT_EQ("AT CBRS=02\r\n", baudRateCommand("125K bps"));
    EXPECT_EQ("AT CBRS=04\r\n", baudRateCommand("1M bps"));
    EXPECT_EQ("AT CBRS=00\r\n", baudRateCommand("500k bps"));  // case matters
    EXPECT_EQ("AT CBRS=00\r\n", baudRateCommand(""));
    EXPECT_EQ(12u, baudRateCommand("1M bps").size());
}

TEST(Commands, RateTextsOfReceivedCodes) {
    EXPECT_EQ("250K bps", wire::rateText(0));
    EXPECT_EQ("62.5K bps", wire::rateText(1));
    EXPECT_EQ("125K bps", wire::rateText(2));
    EXPECT_EQ("500K bps", wire::rateText(3));
    EXPECT_EQ("1M bps", wire::rateText(4));
    EXPECT_EQ("invalid", wire::rateText(5));
    EXPECT_EQ("invalid", wire::rateText(255));
}

TEST(CommandSender, WritesEachByteAloneAndPausesAfterIt) {
    testing_support::FakeSerialControl serial;
    testing_support::FakeClock clock;
    serial.open = true;
    CommandSender sender(serial, clock);
    sender.sendCommand("AT KI2055\r\n");
    ASSERT_EQ(11u, serial.writes.size());
    for (const auto& write : serial.writes) {
        EXPECT_EQ(1u, write.size());
    }
    EXPECT_EQ("AT KI2055\r\n", serial.writtenText());
    EXPECT_EQ(std::vector<std::uint32_t>(11, 2), clock.pauses);
}

TEST(CommandSender, RefusesWhatIsNotACommand) {
    testing_support::FakeSerialControl serial;
    testing_support::FakeClock clock;
    serial.open = true;
    CommandSender sender(serial, clock);
    sender.sendCommand("AT ID?");                      // no LF at the end
    sender.sendCommand("");                            // empty
    sender.sendCommand(std::string(255, 'x') + "\n");  // 256 bytes
    EXPECT_TRUE(serial.written.empty());
    sender.sendCommand(std::string(254, 'x') + "\n");  // 255 bytes is the longest
    EXPECT_EQ(255u, serial.written.size());
}

TEST(CommandSender, AClosedPortEndsTheCommandWithTheSerialError) {
    testing_support::FakeSerialControl serial;
    testing_support::FakeClock clock;
    CommandSender sender(serial, clock);
    EXPECT_THROW(sender.sendCommand(baudRateCommand("1M bps")), platform::SerialError);
    EXPECT_TRUE(clock.pauses.empty());
}
