// The erase handshake and the echo-paced transfer of the image.

#include <filesystem>

#include "BootLinkFixture.h"
#include "loader/core/LoaderIds.h"
#include "loader/core/ScrambleFormat.h"

using loader::BootLink;
using testing_support::BootLinkTest;
using testing_support::sampleBytes;
namespace ids = loader::ids;

namespace {
std::vector<std::uint8_t> progress(std::size_t count) {
    return std::vector<std::uint8_t>(count, 0xEE);
}
}  // namespace

TEST_F(BootLinkTest, ProgramOpensThePortAndSendsTheStartByteOfTheImageType) {
    startProgramming("fw.bin", sampleBytes(10));
    EXPECT_TRUE(serial.open);
    EXPECT_EQ(serial.written, bytes({0xA5}));
    EXPECT_TRUE(link.programming());

    serial.written.clear();
    image.setPath(dir.write("fw.Vlf", sampleBytes(10)));
    link.program("COM1", "115200");
    EXPECT_EQ(serial.written, bytes({0x5A}));
}

TEST_F(BootLinkTest, EraseCountInTheStartEchoBatchSetsTheRangeAndProgressInAnySplitStartsWriting) {
    startProgramming("fw.bin", sampleBytes(10));
    auto first = bytes({0xA5, 0x01, 0x2C});
    auto some = progress(7);
    first.insert(first.end(), some.begin(), some.end());
    serial.receive(first);
    EXPECT_EQ(observer.eraseBegunCount, 1);
    EXPECT_EQ(observer.eraseRange, 300);
    EXPECT_EQ(observer.erasePos, 7);
    serial.receive(progress(200));
    serial.receive(progress(92));
    EXPECT_FALSE(link.writing());
    EXPECT_EQ(serial.written.size(), 1u);
    serial.receive(progress(1));
    EXPECT_TRUE(link.writing()) << "the batch that completes the count starts the write";
    EXPECT_EQ(serial.written.size(), 2u);
    EXPECT_EQ(link.imageLength(), 10u);
}

TEST_F(BootLinkTest, EraseCountSplitOverBatchesIsAssembledHighByteFirst) {
    startProgramming("fw.bin", sampleBytes(10));
    serial.receive(bytes({0xA5}));
    EXPECT_EQ(observer.eraseRange, -1);
    serial.receive(bytes({0x01}));
    EXPECT_EQ(observer.eraseRange, -1);
    serial.receive(bytes({0x2C, 0xEE, 0xEE}));
    EXPECT_EQ(observer.eraseRange, 300);
    EXPECT_EQ(link.eraseReceived(), 2);

    startProgramming("fw.bin", sampleBytes(10));
    serial.receive(bytes({0xA5, 0x00}));
    serial.receive(bytes({0x03, 0xEE, 0xEE, 0xEE}));
    EXPECT_TRUE(link.writing());
}

TEST_F(BootLinkTest, EraseCountZeroWithTheStartEchoWritesOnTheNextBatch) {
    startProgramming("fw.bin", sampleBytes(10));
    serial.receive(bytes({0xA5, 0x00, 0x00}));
    EXPECT_FALSE(link.writing());
    serial.receive(bytes({0x42}));
    EXPECT_TRUE(link.writing());
}

TEST_F(BootLinkTest, TheOtherStartByteEchoedStartsTheEraseAllTheSame) {
    startProgramming("fw.bin", sampleBytes(10));
    serial.receive(bytes({0x5A, 0x00, 0x01}));
    EXPECT_TRUE(link.eraseStarted());
}

TEST_F(BootLinkTest, AnythingButAStartEchoBeforeTheEraseIsIgnored) {
    startProgramming("fw.bin", sampleBytes(10));
    serial.receive(bytes({0x00, 0xA5, 0x00, 0x01}));
    EXPECT_FALSE(link.eraseStarted());
    EXPECT_EQ(observer.eraseBegunCount, 0);
}

TEST_F(BootLinkTest, ABatchLongerThan2048BytesIsCountedInFull) {
    startProgramming("fw.bin", sampleBytes(10));
    serial.receive(bytes({0xA5, 0x0B, 0xB8}));  // 3000 progress bytes follow
    serial.receive(progress(3000));
    EXPECT_EQ(link.eraseReceived(), 3000);
    EXPECT_TRUE(link.writing());
}

TEST_F(BootLinkTest, AThousandByteImageGoesOutOneByteAfterEachEchoWithTheBarInWholePercent) {
    auto content = sampleBytes(1000);
    startProgramming("fw.bin", content);
    serial.receive(bytes({0xA5, 0x00, 0x01, 0xEE}));
    ASSERT_TRUE(link.writing());
    std::vector<std::uint8_t> line;
    std::size_t echoes = 0;
    while (link.writing()) {
        ASSERT_EQ(serial.written.size(), echoes + 2) << "exactly one byte outstanding";
        line.push_back(serial.written.back());
        serial.receive(std::vector<std::uint8_t>{serial.written.back()});
        ++echoes;
    }
    EXPECT_EQ(line, content);
    EXPECT_EQ(echoes, 1000u);

    // setWritePos 0 from Program, then one per echo that sent a byte, then 0 at the end.
    const auto& pos = observer.writePositions;
    ASSERT_EQ(pos.size(), 1u + 999u + 1u);
    EXPECT_EQ(pos[1], 0) << "after the second byte";
    EXPECT_EQ(pos[8], 0) << "after the ninth byte";
    EXPECT_EQ(pos[9], 1) << "after the tenth byte";
    EXPECT_EQ(pos[999], 100) << "after the last byte";
    EXPECT_EQ(pos.back(), 0);
    EXPECT_EQ(observer.erasePos, 0);
    EXPECT_EQ(link.sentCount(), 0u);
    EXPECT_EQ(link.imageLength(), 0u);
    EXPECT_FALSE(serial.open);
    EXPECT_EQ(observer.finishedCount, 1);
    EXPECT_TRUE(observer.lastProgrammed);
    EXPECT_FALSE(observer.lamps[ids::linkLamp]);
    EXPECT_FALSE(observer.lamps[ids::waitingLamp]);
}

TEST_F(BootLinkTest, AMismatchedEchoIsIgnoredEvenIfALaterByteMatches) {
    startProgramming("fw.bin", bytes({0x10, 0x20, 0x30}));
    serial.receive(bytes({0xA5, 0x00, 0x01, 0xEE}));
    ASSERT_EQ(serial.written.back(), 0x10);
    serial.receive(bytes({0x11, 0x10}));
    EXPECT_EQ(link.sentCount(), 1u);
    EXPECT_EQ(serial.written.size(), 2u);
    serial.receive(bytes({0x10}));
    EXPECT_EQ(serial.written.back(), 0x20);
}

TEST_F(BootLinkTest, AScrambledImageSendsSessionBytesThenQUnderTheMaskAndIsEchoedAsSent) {
    auto content = sampleBytes(64);
    startProgramming("fw.Vlf", content);
    EXPECT_EQ(serial.written, bytes({0x5A}));
    serial.receive(bytes({0x5A, 0x00, 0x00}));
    serial.receive(bytes({0xEE}));
    auto line = echoUntilFinished();
    ASSERT_EQ(line.size(), content.size());
    EXPECT_EQ(line[0], image.r1() & 0xFF);
    EXPECT_EQ(line[3], image.r2() >> 8);
    auto key = loader::scramble::deriveKey(content[0]);
    auto mask = loader::scramble::deriveMask(image.r1(), image.r2());
    for (std::size_t i = 4; i < line.size(); ++i) {
        ASSERT_EQ(loader::scramble::unmasked(line[i], mask),
                  loader::scramble::keyed(content[i], key));
    }
    EXPECT_TRUE(observer.lastProgrammed);
}

TEST_F(BootLinkTest, AnImageGoneWhenWritingBeginsEndsTheRunWithAMessage) {
    startProgramming("fw.bin", sampleBytes(10));
    std::filesystem::remove(image.path());
    serial.receive(bytes({0xA5, 0x00, 0x01, 0xEE}));
    EXPECT_EQ(serial.written, bytes({0xA5})) << "no byte that does not exist is sent";
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_NE(observer.messages[0].find("fw.bin"), std::string::npos);
    EXPECT_EQ(observer.finishedCount, 1);
    EXPECT_FALSE(observer.lastProgrammed);
    EXPECT_FALSE(link.programming());
    EXPECT_FALSE(serial.open);
}

TEST_F(BootLinkTest, AnImageEmptiedWhileTheTargetErasesEndsTheRunInsteadOfSendingAByte) {
    startProgramming("empty.bin", sampleBytes(10));
    std::filesystem::resize_file(image.path(), 0);
    serial.receive(bytes({0xA5, 0x00, 0x01, 0xEE}));
    EXPECT_EQ(serial.written, bytes({0xA5}));
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_NE(observer.messages[0].find("empty"), std::string::npos);
    EXPECT_FALSE(link.programming());
    EXPECT_FALSE(observer.lastProgrammed);
}

TEST_F(BootLinkTest, AnImageThatShrinksDuringTheTransferEndsTheRunWithAMessage) {
    startProgramming("fw.bin", sampleBytes(100));
    serial.receive(bytes({0xA5, 0x00, 0x01, 0xEE}));
    for (int i = 0; i < 5; ++i) {
        serial.receive(std::vector<std::uint8_t>{serial.written.back()});
    }
    std::filesystem::resize_file(image.path(), 6);
    serial.receive(std::vector<std::uint8_t>{serial.written.back()});
    EXPECT_EQ(link.sentCount(), 0u);
    EXPECT_FALSE(link.programming());
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_EQ(serial.written.size(), 1u + 6u);
}

TEST_F(BootLinkTest, APortLostMidTransferIsReportedOnceAndTheUserCanConnectAgain) {
    startProgramming("fw.bin", sampleBytes(100));
    serial.receive(bytes({0xA5, 0x00, 0x01, 0xEE}));
    serial.receive(std::vector<std::uint8_t>{serial.written.back()});
    serial.open = false;
    serial.event = platform::comEvPortLost;
    serial.receive(std::vector<std::uint8_t>{});
    serial.receive(std::vector<std::uint8_t>{});
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_NE(observer.messages[0].find("lost"), std::string::npos);
    EXPECT_FALSE(link.programming());
    EXPECT_EQ(link.sentCount(), 0u);
    EXPECT_EQ(observer.finishedCount, 1);
    EXPECT_FALSE(observer.lastProgrammed);
    EXPECT_FALSE(image.isOpen());

    serial.event = platform::comEvReceive;
    serial.written.clear();
    link.connect("COM1", "115200");
    EXPECT_EQ(serial.written, bytes({0x77}));
}

TEST_F(BootLinkTest, AWriteThatFailsBecauseTheDeviceWentEndsTheRunOnce) {
    startProgramming("fw.bin", sampleBytes(100));
    serial.receive(bytes({0xA5, 0x00, 0x01, 0xEE}));
    serial.open = false;
    serial.receive(std::vector<std::uint8_t>{serial.written.back()});
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_FALSE(link.programming());
    EXPECT_FALSE(observer.lastProgrammed);
    EXPECT_FALSE(image.isOpen());
    serial.event = platform::comEvPortLost;
    serial.receive(std::vector<std::uint8_t>{});
    EXPECT_EQ(observer.messages.size(), 1u);
}

TEST_F(BootLinkTest, ProgramPressedAgainBeforeTheEchoSendsTheStartByteAgain) {
    startProgramming("fw.bin", sampleBytes(10));
    link.program("COM1", "115200");
    EXPECT_EQ(serial.written, bytes({0xA5, 0xA5}));
    serial.receive(bytes({0xA5, 0x00, 0x01, 0xEE}));
    EXPECT_TRUE(link.writing());
}
