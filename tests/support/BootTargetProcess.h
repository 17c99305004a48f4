#pragma once
// boot-target and bootloader as processes, each test in a port-map folder of its own.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include "DiesWithTest.h"

namespace testing_support {

// A boot-target serving COMn (COM3 unless told) in `folder`, stopped when the object goes. It
// ends after its first session, unless `keepServing`: then its pseudo-terminal stays after the
// loader has closed the port, for a test that looks at the device afterwards.
class BootTargetProcess {
public:
    explicit BootTargetProcess(const QString& folder, int com = 3, bool keepServing = false)
        : folder_(folder), com_(com), keepServing_(keepServing) {}
    ~BootTargetProcess() {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(5000)) {
                process_.kill();
                process_.waitForFinished(5000);
            }
        }
    }

    // Starts it and waits until its port link is in place.
    bool start(const QStringList& extra = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("COMPORTS_DIR", folder_);
        process_.setProcessEnvironment(env);
        process_.setProcessChannelMode(QProcess::MergedChannels);
        dieWithTest(process_);
        QStringList args{"--com", QString::number(com_), "--out", outPath()};
        if (!keepServing_) {
            args << "--once";
        }
        process_.start(BOOT_TARGET_PATH, args + extra);
        if (!process_.waitForStarted(10000)) {
            return false;
        }
        QElapsedTimer waited;
        waited.start();
        while (!QFileInfo(linkPath()).isSymLink()) {
            if (waited.elapsed() > 20000 || process_.state() == QProcess::NotRunning) {
                return false;
            }
            QThread::msleep(10);
        }
        return true;
    }
    // Waits for it to end its session and exit; its log.
    QString finish() {
        if (!process_.waitForFinished(30000)) {
            process_.terminate();
            process_.waitForFinished(5000);
        }
        return log_ + QString::fromLocal8Bit(process_.readAll());
    }
    // COM3's goes to received.bin, as it always has; any other port's to receivedN.bin.
    QString outPath() const {
        return QDir(folder_).filePath(com_ == 3 ? QStringLiteral("received.bin")
                                                : QStringLiteral("received%1.bin").arg(com_));
    }
    // What it has printed so far.
    QString logSoFar() {
        process_.waitForReadyRead(200);
        log_ += QString::fromLocal8Bit(process_.readAll());
        return log_;
    }
    // The pseudo-terminal it serves, as its port link names it.
    QString device() const { return QFileInfo(linkPath()).symLinkTarget(); }

private:
    QString linkPath() const { return QDir(folder_).filePath(QStringLiteral("com%1").arg(com_)); }

    QString folder_;
    int com_;
    bool keepServing_;
    QProcess process_;
    QString log_;
};

struct LoaderRun {
    bool finished = false;
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs bootloader offscreen with the port map in `folder`.
inline LoaderRun runBootloader(const QString& folder, const QStringList& args,
                               int waitMs = 240000) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("COMPORTS_DIR", folder);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(env);
    process.start(BOOTLOADER_PATH, args);
    LoaderRun run;
    run.finished = process.waitForStarted(10000) && process.waitForFinished(waitMs);
    if (!run.finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

// Starts bootloader with the port map in `folder` and no display at all, as a production line
// runs it, for a test that acts while it runs.
inline bool startBootloader(QProcess& process, const QString& folder, const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("COMPORTS_DIR", folder);
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        env.remove(name);
    }
    process.setProcessEnvironment(env);
    process.start(BOOTLOADER_PATH, args);
    return process.waitForStarted(10000);
}

// Collects the running `process`'s standard error into `err` until it holds `text`.
inline bool waitForError(QProcess& process, QByteArray& err, const QByteArray& text,
                         int timeoutMs = 60000) {
    QElapsedTimer waited;
    waited.start();
    while (!err.contains(text) && waited.elapsed() < timeoutMs &&
           process.state() == QProcess::Running) {
        process.waitForReadyRead(100);
        err += process.readAllStandardError();
    }
    return err.contains(text);
}

}  // namespace testing_support
