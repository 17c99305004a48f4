// bootloader --program with several --port options against several boot-targets side by
// side: each board on its own link, a lost one holding none of the others up, and the report
// a production line keeps.

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <algorithm>
#include <memory>
#include <vector>

#include "BootTargetProcess.h"
#include "ImageFiles.h"

using testing_support::BootTargetProcess;
using testing_support::randomBytes;
using testing_support::readFile;
using testing_support::runBootloader;
using testing_support::startBootloader;
using testing_support::waitForError;
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

    const QDateTime launched = QDateTime::currentDateTimeUtc();
    auto run = runBootloader(dir.path(), {image, "--program", "--port", "COM13", "--port", "COM14",
                                          "--port", "COM15", "--report", report});
    const QDateTime returned = QDateTime::currentDateTimeUtc();
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
    EXPECT_GE(started, launched);
    EXPECT_LE(ended, returned);

    const QJsonArray ports = json["ports"].toArray();
    ASSERT_EQ(ports.size(), 3);
    // The run holds every board's time (the clocks count whole milliseconds each).
    double slowest = 0;
    for (const QJsonValue& port : ports) {
        slowest = std::max(slowest, port["seconds"].toDouble());
    }
    // Recorded, and not bounded from below: how long 12000 bytes take is the machine's matter.
    EXPECT_GT(slowest, 0.0);
    EXPECT_GE(started.msecsTo(ended) + 1, qRound64(slowest * 1000))
        << json["started"].toString().toStdString() << " "
        << json["ended"].toString().toStdString();
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

TEST(GangProgramming, ATimeoutEndsTheRunWithStatus3AndTheSilentBoardSaysWhereItStopped) {
    QTemporaryDir dir;
    const QByteArray content = randomBytes(300, 9);
    const QString image = writeFile(dir.filePath("fw.bin"), content);
    BootTargetProcess answering(dir.path(), 9), silent(dir.path(), 10);
    ASSERT_TRUE(answering.start());
    ASSERT_TRUE(silent.start({"--silent-from", "100"}));
    const QString report = dir.filePath("line.json");

    // The stall watch (10 s) would end the silent board later than the time-out.
    auto run = runBootloader(dir.path(), {image, "--program", "--port", "COM9", "--port", "COM10",
                                          "--report", report, "--timeout", "8"});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 3) << run.err.toStdString();
    answering.finish();
    EXPECT_EQ(readFile(answering.outPath()), content);

    const QJsonObject json = QJsonDocument::fromJson(readFile(report)).object();
    EXPECT_EQ(json["status"].toInt(), 3) << readFile(report).toStdString();
    const QJsonArray ports = json["ports"].toArray();
    ASSERT_EQ(ports.size(), 2);
    EXPECT_EQ(ports[0]["result"].toString(), "programmed");
    EXPECT_EQ(ports[1]["result"].toString(), "failed");
    EXPECT_EQ(ports[1]["reason"].toString(),
              "no result within 8 seconds while writing: stopped at byte 101 of 300: program "
              "the target again");
}

TEST(GangProgramming, AReportThatCannotBeWrittenFailsTheRunThoughTheBoardIsProgrammed) {
    QTemporaryDir dir;
    const QByteArray content = randomBytes(1500, 14);
    const QString image = writeFile(dir.filePath("fw.bin"), content);
    BootTargetProcess target(dir.path(), 14);
    ASSERT_TRUE(target.start({"--pace", "9600"}));
    ASSERT_TRUE(QDir(dir.path()).mkdir("reports"));
    const QString report = dir.filePath("reports/line.json");

    // One port with --report runs as a line does. Its folder is there when the options are
    // checked and gone by the end (as root, a folder without write permission would not do).
    QProcess loader;
    ASSERT_TRUE(startBootloader(
        loader, dir.path(),
        {image, "--program", "--port", "COM14", "--report", report, "--timeout", "120"}));
    QByteArray err;
    ASSERT_TRUE(waitForError(loader, err, "writing")) << err.toStdString();
    ASSERT_TRUE(QDir(dir.filePath("reports")).removeRecursively());
    ASSERT_TRUE(loader.waitForFinished(120000));
    err += loader.readAllStandardError();
    const QString out = QString::fromLocal8Bit(loader.readAllStandardOutput());

    EXPECT_EQ(loader.exitCode(), 1) << err.toStdString();
    EXPECT_TRUE(err.contains("bootloader: cannot write the report " + report.toLocal8Bit() + ": "))
        << err.toStdString();
    EXPECT_TRUE(out.contains("programmed")) << out.toStdString();
    target.finish();
    EXPECT_EQ(readFile(target.outPath()), content);
}

TEST(GangProgramming, ThirtyBoardsTheMostOneRunTakesAreAllProgrammed) {
    QTemporaryDir dir;
    const QByteArray content = randomBytes(300, 30);
    const QString image = writeFile(dir.filePath("fw.bin"), content);
    std::vector<std::unique_ptr<BootTargetProcess>> targets;
    QStringList args{image, "--program", "--quiet", "--timeout", "240"};
    for (int n = 1; n <= 30; ++n) {
        targets.push_back(std::make_unique<BootTargetProcess>(dir.path(), n));
        ASSERT_TRUE(targets.back()->start({"--quiet"})) << "COM" << n;
        args << "--port" << QStringLiteral("COM%1").arg(n);
    }

    auto run = runBootloader(dir.path(), args);
    ASSERT_TRUE(run.finished);
    // Not on: the targets would be waited for in vain.
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    for (int n = 1; n <= 30; ++n) {
        targets[static_cast<std::size_t>(n - 1)]->finish();
        EXPECT_EQ(readFile(targets[static_cast<std::size_t>(n - 1)]->outPath()), content)
            << "COM" << n;
    }
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
