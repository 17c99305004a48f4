// bootloader --program with several --port options against several boot-targets side by
// side: each board on its own link, a lost one holding none of the others up, and the report
// a production line keeps.

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <memory>

#include "BootTargetProcess.h"
#include "ImageFiles.h"

using testing_support::BootTargetProcess;
using testing_support::randomBytes;
using testing_support::readFile;
using testing_support::runBootloader;
using testing_support::writeFile;

TEST(GangProgramming, ALostBoardFailsAloneTheOthersAreProgrammedAndTheReportNamesIt) {
    QTemporaryDir dir;
    const QByteArray content = randomBytes(12000, 14);
    const QString image = writeFile(dir.filePath("fw.bin"), content);
    BootTargetProcess first(dir.path(), 13), lost(dir.path(), 14), third(dir.path(), 15);
    ASSERT_TRUE(first.start());
    ASSERT_TRUE(lost.start({"--vanish-at", "3000"}));
    ASSERT_TRUE(third.start());
    const QString report = dir.filePath("line.json");

    auto run =
        runBootloader(dir.path(), {image, "--program", "--port", "COM13", "--port", "COM14",
                                   "--port", "COM15", "--report", report, "--timeout", "120"});
    ASSERT_TRUE(run.finished) << run.err.toStdString();
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    first.finish();
    third.finish();
    EXPECT_EQ(readFile(first.outPath()), content);
    EXPECT_EQ(readFile(third.outPath()), content);
    EXPECT_TRUE(run.err.contains("COM14")) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("programmed")) << run.out.toStdString();

    const QJsonObject json = QJsonDocument::fromJson(readFile(report)).object();
    ASSERT_FALSE(json.isEmpty()) << readFile(report).toStdString();
    EXPECT_EQ(json["status"].toInt(), 1);
    const QJsonObject facts = json["image"].toObject();
    EXPECT_EQ(facts["name"].toString(), "fw.bin");
    EXPECT_EQ(facts["size"].toInteger(), 12000);
    EXPECT_EQ(facts["sha256"].toString(),
              QString(QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex()));
    const auto started = QDateTime::fromString(json["started"].toString(), Qt::ISODateWithMs);
    const auto ended = QDateTime::fromString(json["ended"].toString(), Qt::ISODateWithMs);
    ASSERT_TRUE(started.isValid() && ended.isValid());
    EXPECT_LE(started, ended);

    const QJsonArray ports = json["ports"].toArray();
    ASSERT_EQ(ports.size(), 3);
    const struct {
        const char* port;
        const char* result;
        qint64 bytes;
    } expected[] = {{"COM13", "programmed", 12000}, {"COM15", "programmed", 12000}};
    for (const auto& e : expected) {
        const auto it = std::find_if(ports.begin(), ports.end(), [&e](const QJsonValue& p) {
            return p["port"].toString() == e.port;
        });
        ASSERT_NE(it, ports.end()) << e.port;
        const QJsonObject port = it->toObject();
        EXPECT_EQ(port["result"].toString(), e.result) << e.port;
        EXPECT_EQ(port["bytes"].toInteger(), e.bytes) << e.port;
        EXPECT_EQ(port["identification"].toString(), "Vell-3.2 boot-target");
        EXPECT_FALSE(port["device"].toString().isEmpty());
    }
    const QJsonObject gone = ports[1].toObject();
    EXPECT_EQ(gone["port"].toString(), "COM14");
    EXPECT_EQ(gone["result"].toString(), "failed");
    EXPECT_TRUE(gone["reason"].toString().contains("COM14 was lost"))
        << gone["reason"].toString().toStdString();
    EXPECT_GE(gone["bytes"].toInteger(), 3000);
    EXPECT_LT(gone["bytes"].toInteger(), 12000);
}

TEST(GangProgramming, AScrambledImageOnTwoPortsGetsEachItsOwnSessionBytes) {
    QTemporaryDir dir;
    const QString image = writeFile(dir.filePath("fw.Vlf"), randomBytes(3000, 18));
    BootTargetProcess a(dir.path(), 18), b(dir.path(), 19);
    ASSERT_TRUE(a.start());
    ASSERT_TRUE(b.start());

    auto run = runBootloader(dir.path(), {image, "--program", "--reset", "--port", "COM18",
                                          "--port", "COM19", "--timeout", "120"});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString logA = a.finish(), logB = b.finish();
    EXPECT_TRUE(logA.contains("\"AT BTLD RST\"")) << logA.toStdString();
    EXPECT_TRUE(logB.contains("\"AT BTLD RST\"")) << logB.toStdString();
    const QByteArray sessionA = readFile(a.outPath() + ".session");
    const QByteArray sessionB = readFile(b.outPath() + ".session");
    ASSERT_EQ(sessionA.size(), 4);
    ASSERT_EQ(sessionB.size(), 4);
    EXPECT_NE(sessionA, sessionB);
    // Under different session bytes both targets recover the same image.
    EXPECT_EQ(readFile(a.outPath()).size(), 3000 - 4);
    EXPECT_EQ(readFile(a.outPath()), readFile(b.outPath()));
}

TEST(GangProgramming, APortOrDeviceGivenTwiceOrTooManyPortsAreUsageErrors) {
    QTemporaryDir dir;
    const QString image = writeFile(dir.filePath("fw.bin"), randomBytes(100, 20));
    BootTargetProcess target(dir.path(), 20);
    ASSERT_TRUE(target.start());
    QStringList thirtyOne;
    for (int n = 1; n <= 30; ++n) {
        thirtyOne << "--port" << QStringLiteral("COM%1").arg(n);
    }
    thirtyOne << "--port"
              << "/dev/ttyUSB7";
    const struct {
        QStringList ports;
        const char* says;
    } cases[] = {
        {{"--port", "COM20", "--port", "COM20"}, "--port COM20 is given twice"},
        {{"--port", "COM20", "--port", target.device()}, "are the same device"},
        {{"--port", dir.filePath("com20"), "--port", "COM20"}, "are the same device"},
        {thirtyOne, "at most 30 --port options, not 31"},
    };
    for (const auto& c : cases) {
        auto run = runBootloader(dir.path(), QStringList{image, "--program"} + c.ports, 30000);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 2) << c.says;
        EXPECT_TRUE(run.err.contains(c.says)) << run.err.toStdString();
    }
    auto windowed = runBootloader(dir.path(), {image, "--port", "COM20", "--port", "COM21"}, 30000);
    EXPECT_EQ(windowed.exitCode, 2);
    EXPECT_TRUE(windowed.err.contains("several --port options go with --program"));
    EXPECT_FALSE(target.logSoFar().contains("wake byte")) << "nothing reached the target";
}
