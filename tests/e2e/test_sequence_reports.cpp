// What `Tessaly --run` leaves for a script and for a person, against j1939-sim: report.json
// with every step's times and verdict, and report.html opened in a real browser (headless
// Chromium) with its verdict, step table, trouble codes and the trends picture with the failed
// check marked.
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "J1939SimProcess.h"

namespace {

using testing_support::J1939SimProcess;

constexpr int simCom = 48;  // no other test uses it

QString readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

struct Finished {
    int status = -1;
    QString err;
};

Finished runProgram(const QString& program, const QStringList& arguments,
                    const QString& ports = {}) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(name);
    }
    if (!ports.isEmpty()) {
        environment.insert("COMPORTS_DIR", ports);
    }
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(QProcess::nullDevice());
    dieWithTest(process);
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished(3000);
    }
    Finished outcome;
    outcome.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    outcome.err = QString::fromUtf8(process.readAllStandardError());
    return outcome;
}

class SequenceReports : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        sim_ = std::make_unique<J1939SimProcess>(folder_.path() + "/comports", simCom);
        ASSERT_TRUE(sim_->start({"--no-dynamic"})) << sim_->log().toStdString();
        const QString file = folder_.path() + "/overheat.yaml";
        QFile yaml(file);
        ASSERT_TRUE(yaml.open(QIODevice::WriteOnly));
        yaml.write(
            "name: Overheat\n"
            "steps:\n"
            "  - level: 50\n"
            "  - expect: {level: 50, within: 5}\n"
            "  - expect: {trouble_code: \"Engine DM1 110:0\", within: 3}\n"
            "  - name: Too hot\n"
            "    expect: {level: 55, within: 0.5}\n"
            "  - wait: 0.5\n");
        yaml.close();
        report_ = folder_.path() + "/report";
        const Finished tessaly =
            runProgram(TESSALY_PATH,
                       {"--run", file, "--port", sim_->linkPath(), "--report", report_,
                        "--settings", folder_.path() + "/vive1939.ini"},
                       folder_.path() + "/comports");
        ASSERT_EQ(1, tessaly.status) << tessaly.err.toStdString();
    }

    QTemporaryDir folder_;
    std::unique_ptr<J1939SimProcess> sim_;
    QString report_;
};

TEST_F(SequenceReports, TheJsonReportHoldsEveryStepWithItsTimesAndTheRun) {
    QJsonParseError error;
    const QJsonObject json =
        QJsonDocument::fromJson(readAll(report_ + "/report.json").toUtf8(), &error).object();
    ASSERT_EQ(QJsonParseError::NoError, error.error) << error.errorString().toStdString();
    EXPECT_EQ("Overheat", json["sequence"].toString());
    EXPECT_EQ(folder_.path() + "/overheat.yaml", json["file"].toString());
    EXPECT_EQ(sim_->linkPath(), json["port"].toString());
    EXPECT_EQ("failed", json["verdict"].toString());
    EXPECT_FALSE(json["passed"].toBool(true));
    EXPECT_EQ(1, json["exit_status"].toInt());
    EXPECT_FALSE(json["started"].toString().isEmpty());
    EXPECT_FALSE(json["ended"].toString().isEmpty());

    const QJsonArray steps = json["steps"].toArray();
    ASSERT_EQ(5, steps.size());
    const char* verdicts[] = {"passed", "passed", "passed", "failed", "passed"};
    const int lines[] = {3, 4, 5, 6, 8};
    double previousEnd = 0;
    for (int i = 0; i < 5; ++i) {
        const QJsonObject step = steps[i].toObject();
        EXPECT_EQ(i + 1, step["step"].toInt());
        EXPECT_EQ(lines[i], step["line"].toInt());
        EXPECT_EQ(verdicts[i], step["verdict"].toString()) << i;
        EXPECT_GE(step["start"].toDouble(), previousEnd) << i;
        EXPECT_GE(step["end"].toDouble(), step["start"].toDouble()) << i;
        previousEnd = step["end"].toDouble();
    }
    const QJsonObject failed = steps[3].toObject();
    EXPECT_EQ("Too hot", failed["name"].toString());
    EXPECT_EQ("level 55", failed["expected"].toString());
    EXPECT_EQ("level 50", failed["seen"].toString());
    EXPECT_EQ("not met within 0.5 s", failed["note"].toString());

    bool engineCode = false;
    for (const QJsonValue& value : json["trouble_codes"].toArray()) {
        const QJsonObject code = value.toObject();
        engineCode =
            engineCode || (code["list"] == "Engine DM1" && code["spn"] == 110 && code["fmi"] == 0 &&
                           code["last_seen"].toDouble() >= code["first_seen"].toDouble());
    }
    EXPECT_TRUE(engineCode) << readAll(report_ + "/report.json").toStdString();
}

TEST_F(SequenceReports, TheReportPageOpensInABrowserWithVerdictStepsCodesAndTheMarkedPlot) {
    const QString chromium = QStandardPaths::findExecutable("chromium");
    if (chromium.isEmpty()) {
        GTEST_SKIP() << "chromium is not installed (scripts/setup installs it)";
    }
    const QString page = "file://" + report_ + "/report.html";
    const QStringList browser{"--headless", "--no-sandbox", "--disable-gpu",
                              "--user-data-dir=" + folder_.path() + "/chromium"};

    QProcess dump;
    dieWithTest(dump);
    dump.start(chromium, browser + QStringList{"--dump-dom", page});
    ASSERT_TRUE(dump.waitForFinished(60000));
    const QString dom = QString::fromUtf8(dump.readAllStandardOutput());
    EXPECT_TRUE(dom.contains(R"(<p id="verdict" class="failed">Verdict: failed</p>)"))
        << dom.left(2000).toStdString();
    EXPECT_TRUE(dom.contains(R"(<table id="steps">)"));
    EXPECT_TRUE(dom.contains(QRegularExpression(
        R"(<tr class="failed"><td>4</td><td>6</td><td>Too hot: expect level 55 within 0\.5 s</td>)"
        R"(<td>failed</td><td>[0-9.]+</td><td>[0-9.]+</td><td>level 55</td><td>level 50</td>)")))
        << dom.left(4000).toStdString();
    EXPECT_TRUE(dom.contains(R"(<table id="trouble-codes">)"));
    EXPECT_TRUE(dom.contains("<tr><td>Engine DM1</td><td>110</td><td>0</td>"));

    // The picture is in the page itself, and the failed check is marked on it in red.
    const QRegularExpressionMatch picture =
        QRegularExpression(R"re(<img id="trends" [^>]*src="data:image/png;base64,([^"]+)")re")
            .match(dom);
    ASSERT_TRUE(picture.hasMatch());
    const QImage plot =
        QImage::fromData(QByteArray::fromBase64(picture.captured(1).toLatin1()), "PNG");
    EXPECT_EQ(QSize(1400, 800), plot.size());
    int marked = 0;
    for (int y = 0; y < plot.height(); ++y) {
        for (int x = 0; x < plot.width(); ++x) {
            marked += plot.pixel(x, y) == qRgb(0xc0, 0x00, 0x00) ? 1 : 0;
        }
    }
    EXPECT_GT(marked, 100);

    const QString shot = folder_.path() + "/page.png";
    QProcess screenshot;
    dieWithTest(screenshot);
    screenshot.start(
        chromium, browser + QStringList{"--screenshot=" + shot, "--window-size=1280,1600", page});
    ASSERT_TRUE(screenshot.waitForFinished(60000));
    EXPECT_EQ(QSize(1280, 1600), QImage(shot).size());
    // For a person to look at: TESSALY_KEEP_SCREENSHOT=FILE keeps it.
    if (const QString keep = qEnvironmentVariable("TESSALY_KEEP_SCREENSHOT"); !keep.isEmpty()) {
        QFile::remove(keep);
        QFile::copy(shot, keep);
    }
}

}  // namespace
