// `Tessaly --run` as a CI job runs it: no display, a sequence file against the j1939-sim
// stand-in on a pseudo-terminal, the exit status and junit.xml read afterwards.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>

#include <gtest/gtest.h>

#include "J1939SimProcess.h"

namespace {

using testing_support::J1939SimProcess;
using testing_support::waitUntil;

class SequenceRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        portMap_ = folder_.path() + "/comports";
    }
    ~SequenceRun() override {
        if (tessaly_.state() != QProcess::NotRunning) {
            tessaly_.kill();
            tessaly_.waitForFinished(3000);
        }
    }

    QString write(const QString& name, const QByteArray& text) {
        QFile file(folder_.path() + "/" + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return file.fileName();
    }

    void start(const QStringList& arguments) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            environment.remove(name);
        }
        environment.insert("COMPORTS_DIR", portMap_);
        tessaly_.setProcessEnvironment(environment);
        tessaly_.start(TESSALY_PATH,
                       arguments + QStringList{"--settings", folder_.path() + "/vive1939.ini"});
        ASSERT_TRUE(tessaly_.waitForStarted(5000));
    }

    QString progress() {
        errors_ += QString::fromUtf8(tessaly_.readAllStandardError());
        return errors_;
    }

    // The exit status once the run has ended by itself; -1 if it did not in time.
    int exitStatus(int timeoutMs) {
        if (!waitUntil([this] { return tessaly_.state() == QProcess::NotRunning; }, timeoutMs)) {
            return -1;
        }
        progress();
        return tessaly_.exitStatus() == QProcess::NormalExit ? tessaly_.exitCode() : -1;
    }

    QString report(const QString& name) {
        QFile file(folder_.path() + "/report/" + name);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    std::string describe() {
        return "progress:\n" + progress().toStdString() +
               (sim_ ? "\nsimulator log:\n" + sim_->log().toStdString() : std::string());
    }

    QTemporaryDir folder_;
    QString portMap_;
    std::unique_ptr<J1939SimProcess> sim_;
    QProcess tessaly_;
    QString errors_;
};

TEST_F(SequenceRun, APassAndAFailedExpectEndInJunitAndExitOne) {
    sim_ = std::make_unique<J1939SimProcess>(portMap_, 6);
    ASSERT_TRUE(sim_->start({"--no-dynamic"})) << sim_->log().toStdString();
    const QString file = write("bench.yaml",
                               "name: Bench check\n"
                               "port: COM6\n"
                               "steps:\n"
                               "  - level: 40\n"
                               "  - expect: {level: 40, within: 5}\n"
                               "  - expect: {level: 41, within: 0.5}\n"
                               "  - run: echo cluster checked\n");
    start({"--run", file, "--report", folder_.path() + "/report"});
    EXPECT_EQ(1, exitStatus(30000)) << describe();
    EXPECT_TRUE(sim_->log().contains("RX \"AT %"));

    const QString junit = report("junit.xml");
    EXPECT_TRUE(junit.contains(R"(<testsuites tests="3" failures="1" errors="0" skipped="0")"))
        << junit.toStdString();
    EXPECT_TRUE(junit.contains(R"(<testcase name="step 2 (line 5): expect level 40 within 5 s" )"
                               R"(classname="Bench check" time=")"))
        << junit.toStdString();
    EXPECT_TRUE(junit.contains(
        "<failure message=\"expected level 41, seen level 40: not met within 0.5 s\" "
        "type=\"error\">expected: level 41\nseen: level 40</failure>"))
        << junit.toStdString();
    EXPECT_TRUE(junit.contains("<system-out>cluster checked\n</system-out>"))
        << junit.toStdString();
    EXPECT_TRUE(
        progress().contains("step 3/4 (line 6) expect level 41 within 0.5 s: failed: "
                            "expected level 41, seen level 40"))
        << describe();
    EXPECT_TRUE(progress().contains("Bench check: failed; report in ")) << describe();
    EXPECT_TRUE(report("report.txt").contains("Verdict: failed\n"));
    EXPECT_TRUE(report("recording.csv").contains(",identified,"));
}

TEST_F(SequenceRun, AnAskAnsweredFailAndThenAPulledDeviceEndWithExitThree) {
    sim_ = std::make_unique<J1939SimProcess>(portMap_, 26);
    ASSERT_TRUE(sim_->start({"--no-dynamic"})) << sim_->log().toStdString();
    const QString file = write("pulled.yaml",
                               "steps:\n"
                               "  - ask: Is the amber lamp lit?\n"
                               "  - wait: 60\n"
                               "  - level: 10\n");
    start({"--run", file, "--port", "COM26", "--answers", "fail", "--report",
           folder_.path() + "/report"});
    ASSERT_TRUE(
        waitUntil([this] { return progress().contains("answered fail by --answers"); }, 15000))
        << describe();
    sim_->unplug();
    EXPECT_EQ(3, exitStatus(15000)) << describe();
    EXPECT_TRUE(progress().contains("pulled: device lost at step 2 (line 3)")) << describe();
    const QString junit = report("junit.xml");
    EXPECT_TRUE(
        junit.contains("<failure message=\"expected pass, seen fail: answered fail by "
                       "--answers\""))
        << junit.toStdString();
    EXPECT_TRUE(junit.contains("<error message=\"device lost at step 2 (line 3)\"/>"))
        << junit.toStdString();
}

TEST_F(SequenceRun, ARefusedFileSendsNothingAndExitsTwo) {
    const QString file = write("overheat.yaml", "steps:\n  - level: 50\n  - levle: 50\n");
    start({"--run", file, "--port", "COM6", "--report", folder_.path() + "/report"});
    EXPECT_EQ(2, exitStatus(10000)) << describe();
    EXPECT_EQ("Tessaly: overheat.yaml line 3: unknown step 'levle'\n", progress().toStdString());
    EXPECT_FALSE(QFile::exists(folder_.path() + "/report"));
}

}  // namespace
