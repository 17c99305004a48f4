// bootloader against boot-target over a pseudo-terminal: whole runs, as a script or a
// production line starts them.

#include <QFile>

#include "BootTargetProcess.h"
#include "ImageFiles.h"
#include "loader/core/ScrambleFormat.h"

using testing_support::BootTargetProcess;
using testing_support::intelHex;
using testing_support::randomBytes;
using testing_support::readFile;
using testing_support::runBootloader;
using testing_support::writeFile;

TEST(LoaderEndToEnd, A64KiBIntelHexFileArrivesByteIdentical) {
    QTemporaryDir dir;
    const QByteArray hex = intelHex(64 * 1024);
    ASSERT_GE(hex.size(), 64 * 1024);
    const QString image = dir.filePath("firmware.hex");
    writeFile(image, hex);
    BootTargetProcess target(dir.path());
    ASSERT_TRUE(target.start({"--quiet"}));

    // No --timeout: every byte waits for its echo, and on a busy machine 64 KiB takes minutes;
    // a dead target still ends the run at the stall watch.
    auto run = runBootloader(dir.path(), {image, "--port", "COM3", "--program", "--reset"}, 290000);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty() || !run.err.contains("bootloader:")) << run.err.toStdString();
    target.finish();
    EXPECT_TRUE(readFile(target.outPath()) == hex) << "what the target received differs";
}

TEST(LoaderEndToEnd, AScrambledImageArrivesWithTheSessionBytesAndTheRightQValues) {
    QTemporaryDir dir;
    const QByteArray file = randomBytes(6000, 77);
    const QString image = dir.filePath("firmware.Vlf");
    writeFile(image, file);
    BootTargetProcess target(dir.path());
    ASSERT_TRUE(target.start({"--split", "--erase", "300", "--erase-batch", "7"}));

    auto run =
        runBootloader(dir.path(), {image, "--port", "COM3", "--program", "--timeout", "120"});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString log = target.finish();
    EXPECT_TRUE(log.contains("start byte 0x5A")) << log.toStdString();

    const QByteArray session = readFile(target.outPath() + ".session");
    ASSERT_EQ(session.size(), 4);
    EXPECT_LT(std::uint8_t(session[1]), 0x80);
    EXPECT_LT(std::uint8_t(session[3]), 0x80);
    const QByteArray q = readFile(target.outPath());
    ASSERT_EQ(q.size(), file.size() - 4);
    const auto key = loader::scramble::deriveKey(std::uint8_t(file[0]));
    for (int i = 4; i < file.size(); ++i) {
        auto expected = std::uint8_t((std::uint8_t(file[i]) ^ key.k0) - key.k1);
        ASSERT_EQ(std::uint8_t(q[i - 4]), expected) << "offset " << i;
    }
}

TEST(LoaderEndToEnd, ATargetThatVanishesMidTransferEndsTheRunWithAReadableError) {
    QTemporaryDir dir;
    const QString image = dir.filePath("firmware.hex");
    writeFile(image, intelHex(8000));
    BootTargetProcess target(dir.path());
    ASSERT_TRUE(target.start({"--vanish-at", "1500"}));

    auto run = runBootloader(dir.path(), {image, "--port", "COM3", "--program", "--timeout", "60"});
    ASSERT_TRUE(run.finished) << "bootloader hung";
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.exitCode, 3) << "ended by the timeout, not by noticing the loss: "
                               << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("COM3")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("lost") || run.err.contains("gone")) << run.err.toStdString();
}

TEST(LoaderEndToEnd, AMissingPortFailsAtOnceWithTheSerialLayersText) {
    QTemporaryDir dir;
    const QString image = dir.filePath("firmware.hex");
    writeFile(image, intelHex(100));
    auto run = runBootloader(dir.path(), {image, "--port", "COM29", "--program", "--timeout", "60"},
                             60000);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("bootloader: ")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("COM29")) << run.err.toStdString();
}

TEST(LoaderEndToEnd, ProgramWithoutAFileIsAUsageError) {
    QTemporaryDir dir;
    auto run = runBootloader(dir.path(), {"--program"}, 60000);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("--help")) << run.err.toStdString();
}
