#pragma once
// Runs the j1939-sim stand-in as a child process on a pseudo-terminal linked as comN in a
// port-map folder of the test's own, and reads its log. Waits are bounded and keep the Qt
// event loop turning, so a window under test goes on handling its timer and serial events.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QThread>
#include <functional>

#include "DiesWithTest.h"

namespace testing_support {

// Keeps the event loop turning until `done` holds or `timeoutMs` has passed.
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return true;
}

class J1939SimProcess {
public:
    J1939SimProcess(QString portMapFolder, int comNumber)
        : portMapFolder_(std::move(portMapFolder)),
          comNumber_(comNumber),
          instance_(++instances()) {}
    J1939SimProcess(const J1939SimProcess&) = delete;
    J1939SimProcess& operator=(const J1939SimProcess&) = delete;
    ~J1939SimProcess() { kill(); }

    QString linkPath() const { return portMapFolder_ + "/com" + QString::number(comNumber_); }
    QString logPath() const {
        return portMapFolder_ + "/j1939-sim-com" + QString::number(comNumber_) + ".log";
    }

    // Starts the stand-in and waits until its link leads to its pseudo-terminal.
    bool start(const QStringList& extraArguments = {}, int timeoutMs = 5000) {
        kill();
        QDir().mkpath(portMapFolder_);
        QFile::remove(logPath());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("COMPORTS_DIR", portMapFolder_);
        process_.setProcessEnvironment(environment);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.setStandardOutputFile(QProcess::nullDevice());
        dieWithTest(process_);
        QStringList arguments{"--com", QString::number(comNumber_), "--log", logPath()};
        process_.start(J1939_SIM_PATH, arguments + extraArguments);
        if (!process_.waitForStarted(timeoutMs)) {
            return false;
        }
        const bool linked = waitUntil(
            [this] { return log().contains("COM" + QString::number(comNumber_) + " -> "); },
            timeoutMs);
        device_ = QFile::symLinkTarget(linkPath());
        return linked;
    }

    // The abrupt end of a device, as a pulled cable: the stand-in cleans nothing up, and its
    // link is left behind leading nowhere, as a link to a /dev/serial/by-id name does once
    // the adapter is gone. Left pointing at the dead pseudo-terminal, it would lead a terminal
    // still retrying it to whichever program gets that number next, perhaps another test's
    // stand-in, which would then answer identification requests that test never sent.
    void kill() {
        if (process_.state() == QProcess::NotRunning) {
            return;
        }
        // Turned away first, so no retry can slip through while the stand-in goes.
        if (!device_.isEmpty() && QFile::symLinkTarget(linkPath()) == device_) {
            QFile::remove(linkPath());
            QFile::link(portMapFolder_ + "/unplugged-com" + QString::number(comNumber_),
                        linkPath());
        }
        process_.kill();
        process_.waitForFinished(3000);
    }

    // The cable pulled out.
    void unplug() { kill(); }

    // SIGTERM; true when the stand-in ended by itself with exit code 0.
    bool terminate(int timeoutMs = 3000) {
        process_.terminate();
        return process_.waitForFinished(timeoutMs) &&
               process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
    }

    qint64 pid() const { return process_.processId(); }

    QString log() const {
        QFile file(logPath());
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
    }

    // The received lines in order, each with its time stamp in seconds and its text as logged
    // (CR LF taken off, other control bytes escaped), e.g. {12.345, "AT KI2055"}.
    struct Received {
        double seconds;
        QString line;
    };
    QList<Received> received() const {
        static const QRegularExpression rx(R"re(^(\d+\.\d+) RX "((?:[^"\\]|\\.)*)")re",
                                           QRegularExpression::MultilineOption);
        QList<Received> lines;
        for (auto it = rx.globalMatch(log()); it.hasNext();) {
            auto match = it.next();
            lines.append({match.captured(1).toDouble(), match.captured(2)});
        }
        return lines;
    }

    bool waitForLog(const QString& text, int timeoutMs) {
        return waitUntil([&] { return log().contains(text); }, timeoutMs);
    }

private:
    static int& instances() {
        static int count = 0;
        return count;
    }

    QString portMapFolder_;
    int comNumber_;
    int instance_;
    QProcess process_;
    // The pseudo-terminal its link led to when it started.
    QString device_;
};

}  // namespace testing_support
