// A damaged Intel HEX file on the command line: refused with status 2 before any port is
// opened, one board or several, and sent exactly as stored with --no-hex-check.

#include <QFile>

#include "BootTargetProcess.h"
#include "ImageFiles.h"

using testing_support::BootTargetProcess;
using testing_support::intelHex;
using testing_support::readFile;
using testing_support::runBootloader;
using testing_support::writeFile;

namespace {

// Records of 45 characters with CR LF: one digit of the third record's data changed.
QByteArray damagedOnLine3(int size) {
    QByteArray text = intelHex(size);
    char& digit = text[2 * 45 + 12];
    digit = digit == '0' ? '1' : '0';
    return text;
}

const char* const refusal =
    "bootloader: fw.hex line 3: record checksum is wrong\n"
    "bootloader: nothing was sent; --no-hex-check sends the file as stored\n";

}  // namespace

TEST(HexPreflight, ADamagedFileReachesNoBoardUnlessNoHexCheckIsGiven) {
    const struct {
        const char* name;
        QList<int> ports;
    } table[] = {
        {"one board", {6}},
        {"two boards", {11, 16}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const QByteArray content = damagedOnLine3(2000);
        const QString image = writeFile(dir.filePath("fw.hex"), content);
        std::vector<std::unique_ptr<BootTargetProcess>> targets;
        QStringList portArgs;
        for (int com : row.ports) {
            targets.push_back(std::make_unique<BootTargetProcess>(dir.path(), com));
            ASSERT_TRUE(targets.back()->start());
            portArgs << "--port" << QStringLiteral("COM%1").arg(com);
        }

        auto refused = runBootloader(dir.path(), QStringList{image, "--program"} + portArgs, 60000);
        ASSERT_TRUE(refused.finished);
        EXPECT_EQ(refused.exitCode, 2);
        EXPECT_TRUE(refused.err.contains(refusal)) << refused.err.toStdString();
        for (const auto& target : targets) {
            const QString log = target->logSoFar();
            EXPECT_FALSE(log.contains("wake byte") || log.contains("start byte"))
                << log.toStdString();
        }

        auto sent = runBootloader(dir.path(), QStringList{image, "--program", "--no-hex-check",
                                                          "--quiet", "--timeout", "120"} +
                                                  portArgs);
        ASSERT_TRUE(sent.finished);
        EXPECT_EQ(sent.exitCode, 0) << sent.err.toStdString();
        for (const auto& target : targets) {
            target->finish();
            EXPECT_TRUE(readFile(target->outPath()) == content) << "not sent as stored";
        }
    }
}
