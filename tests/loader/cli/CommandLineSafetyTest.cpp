// bootloader --program against boot-target as a production line meets it: mistyped options
// and bad images are refused before a byte goes out, a silent target ends the run, and a
// stop from outside leaves the port as it was found.

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QSysInfo>
#include <functional>

#include "BootTargetProcess.h"
#include "ImageFiles.h"

using testing_support::BootTargetProcess;
using testing_support::readFile;
using testing_support::runBootloader;
using testing_support::startBootloader;
using testing_support::waitForError;
using testing_support::writeFile;

namespace {

QByteArray hexText(int size) {
    QByteArray text;
    while (text.size() < size) {
        text += ":10000000" + QByteArray::number(text.size(), 16).rightJustified(32, '0') + "\r\n";
    }
    return text.left(size);
}

// Where Qt SerialPort puts the lock file of a device on this system.
QStringList lockFilesOf(const QString& device) {
    QString name = device;
    name.remove(0, 5).replace('/', '_');
    QStringList found;
    for (const char* folder : {"/var/lock", "/run/lock", "/tmp", "/var/tmp"}) {
        const QString file = QString(folder) + "/LCK.." + name;
        if (QFileInfo::exists(file)) {
            found << file;
        }
    }
    return found;
}

bool sameSettings(const termios& a, const termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && cfgetispeed(&a) == cfgetispeed(&b) &&
           cfgetospeed(&a) == cfgetospeed(&b);
}

bool settingsOf(const QString& device, termios& into) {
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::tcgetattr(fd, &into) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

TEST(LoaderCommandLine, MistakesAreRefusedBeforeAnyByteReachesTheTarget) {
    QTemporaryDir dir;
    const QString image = writeFile(dir.filePath("fw.bin"), hexText(300));
    BootTargetProcess target(dir.path());
    ASSERT_TRUE(target.start());

    const QString fifo = dir.filePath("pipe.hex");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QDir(dir.path()).mkdir("folder.hex");
    writeFile(dir.filePath("empty.hex"), {});
    writeFile(dir.filePath("tiny.Vlf"), "abc");
    const QString plainFile = writeFile(dir.filePath("notaport"), "x");
    QFile::link(dir.filePath("loopB"), dir.filePath("loopA"));
    QFile::link(dir.filePath("loopA"), dir.filePath("loopB"));
    // A lock file held by a running process (this test) on the stand-in's device, taken the
    // way Qt SerialPort takes it.
    const QString device = target.device();
    QString heldLock = "/var/lock/LCK.." + QString(device).remove(0, 5).replace('/', '_');
    QLockFile held(heldLock);

    struct Case {
        QStringList args;
        int status;
        QString says;
        std::function<void()> before = {};
    };
    const QList<Case> cases = {
        {{image, "--program", "--port", "COM31"}, 2, "COM1 to COM30"},
        {{image, "--program", "--port", "com3"}, 2, "COM1 to COM30"},
        {{image, "--program", "--port", "COM03"}, 2, "COM1 to COM30"},
        {{image, "--program", "--port", " COM3"}, 2, "COM1 to COM30"},
        {{image, "--program", "--port", "3"}, 2, "COM1 to COM30"},
        {{image, "--program", "--port", ""}, 2, "COM1 to COM30"},
        {{image, "--program", "--port", "COM3", "--speed", "0"}, 2, "--speed"},
        {{image, "--program", "--port", "COM3", "--speed=-1"}, 2, "--speed"},
        {{image, "--program", "--port", "COM3", "--speed", "abc"}, 2, "--speed"},
        {{image, "--program", "--port", "COM3", "--speed", "999999999"}, 2, "--speed"},
        {{image, "--program", "--port", "COM3", "--timeout", "0"}, 2, "--timeout"},
        {{image, "--program", "--port", "COM3", "--timeout", "2147484"}, 2, "--timeout"},
        {{image, "--program", "--port", "COM3", "--timeout", "ten"}, 2, "--timeout"},
        {{image, "--program", "--port", "COM3", "--stall=-5"}, 2, "--stall"},
        {{image, "--program", "--port", "COM3", "--timeout", "86400.5"}, 2, "--timeout"},
        {{image, "--program", "--port", "COM3", "--stall", "86400.5"}, 2, "--stall"},
        // A day is the longest wait allowed: these pass the checks and fail only at the port,
        // COM29 having no device in this folder.
        {{image, "--program", "--port", "COM29", "--timeout", "86400"},
         1,
         "there is no serial device for COM29"},
        {{image, "--program", "--port", "COM29", "--stall", "86400"},
         1,
         "there is no serial device for COM29"},
        {{image, "--program", "--port", "COM3", "--speed", "9600", "--speed", "9600"},
         2,
         "more than once"},
        {{image, "--program", "--program", "--port", "COM3"}, 2, "more than once"},
        {{image, "--program", "--port", "COM3", "--stall=5", "--stall=30"},
         2,
         "--stall is given more than once"},
        {{image, "--program", "--port", "COM3", "--timeout=5", "--timeout", "30"},
         2,
         "--timeout is given more than once"},
        {{dir.filePath("gone.hex"), "--program", "--port", "COM3"}, 1, "No such file"},
        {{dir.filePath("folder.hex"), "--program", "--port", "COM3"}, 1, "is a folder"},
        {{fifo, "--program", "--port", "COM3"}, 1, "pipe (FIFO)"},
        {{dir.filePath("empty.hex"), "--program", "--port", "COM3"}, 1, "is empty"},
        {{dir.filePath("tiny.Vlf"), "--program", "--port", "COM3"}, 1, "no data byte"},
        {{image, "--program", "--port", plainFile}, 1, "is not a serial port"},
        {{image, "--program", "--port", "/dev/null"}, 1, "is not a serial port"},
        {{image, "--program", "--port", fifo}, 1, "is not a serial port"},
        {{image, "--program", "--port", dir.filePath("loopA")}, 1, "loop"},
        {{image, "--program", "--port", "COM3"},
         1,
         QString("in use by another program (process %1, lock file %2)")
             .arg(::getpid())
             .arg(heldLock),
         [&] { ASSERT_TRUE(held.tryLock(0)); }},
    };
    for (const Case& c : cases) {
        const QString line = c.args.join(' ');
        if (c.before) {
            c.before();
        }
        QElapsedTimer took;
        took.start();
        auto run = runBootloader(dir.path(), c.args, 30000);
        ASSERT_TRUE(run.finished) << line.toStdString();
        EXPECT_EQ(run.exitCode, c.status) << line.toStdString() << "\n" << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.says)) << line.toStdString() << "\n"
                                              << run.err.toStdString();
        if (c.args.first() == fifo) {
            EXPECT_LT(took.elapsed(), 2000) << "a FIFO is refused at once, not read";
        }
    }
    held.unlock();
    const QString log = target.logSoFar();
    EXPECT_FALSE(log.contains("wake byte") || log.contains("start byte") ||
                 log.contains("AT BTLD") || log.contains("ignored text"))
        << "the stand-in received bytes:\n"
        << log.toStdString();

    // A lock file left by a process that has ended is cleared; then the device path itself
    // programs the stand-in, and the output names it.
    const pid_t ended = ::fork();
    if (ended == 0) {
        ::_exit(0);
    }
    ::waitpid(ended, nullptr, 0);
    writeFile(heldLock, QByteArray::number(ended) + "\nbootloader\n" +
                            QSysInfo::machineHostName().toLocal8Bit() + "\n");
    auto run = runBootloader(dir.path(), {image, "--program", "--port", device, "--timeout", "60"});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(device)) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains("programmed 300 bytes in")) << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(heldLock));
    target.finish();
    EXPECT_EQ(readFile(target.outPath()), hexText(300));
}

TEST(LoaderCommandLine, ATargetThatFallsSilentEndsTheRunWithStatus3NamingThePhase) {
    struct Case {
        QStringList targetArgs;
        QString phase;
        QString stop;
    };
    const QList<Case> cases = {
        {{"--erase-batch", "64", "--erase-delay", "8000"},
         "while erasing",
         "stopped while the flash was being erased: program the target again"},
        {{"--silent-from", "100"}, "while writing", "stopped at byte 101 of 1000"},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString image = writeFile(dir.filePath("fw.bin"), hexText(1000));
        BootTargetProcess target(dir.path());
        ASSERT_TRUE(target.start(c.targetArgs));
        QElapsedTimer took;
        took.start();
        auto run = runBootloader(dir.path(), {image, "--program", "--port", "COM3", "--stall", "2"},
                                 60000);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 3) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.phase)) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("no answer from the target for 2 s")) << run.err.toStdString();
        // Ended by the 2 s asked for, not the 10 s the watch takes without --stall: the margin
        // is for starting and identifying on a busy machine, which took 3.7 s at worst.
        EXPECT_LT(took.elapsed(), 9000);
        EXPECT_TRUE(run.err.contains(c.stop)) << run.err.toStdString();
    }
}

TEST(LoaderCommandLine, SigtermMidTransferRestoresThePortAndSaysWhereItStopped) {
    QTemporaryDir dir;
    const QString image = writeFile(dir.filePath("fw.bin"), hexText(8000));
    // Serving on after the session: its device is looked at once the loader has gone.
    BootTargetProcess target(dir.path(), 3, true);
    ASSERT_TRUE(target.start({"--pace", "4800"}));
    const QString device = target.device();
    termios before{};
    ASSERT_TRUE(settingsOf(device, before));

    QProcess loader;
    ASSERT_TRUE(startBootloader(loader, dir.path(), {image, "--program", "--port", "COM3"}));
    QByteArray err;
    ASSERT_TRUE(waitForError(loader, err, "writing   10%"))
        << "no display needed; " << err.toStdString();
    ASSERT_FALSE(lockFilesOf(device).isEmpty()) << "the open port holds a lock file";
    loader.terminate();
    ASSERT_TRUE(loader.waitForFinished(10000));
    err += loader.readAllStandardError();
    EXPECT_EQ(loader.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(loader.exitCode(), 143);
    EXPECT_TRUE(err.contains("while writing")) << err.toStdString();
    EXPECT_TRUE(err.contains(" of 8000: program the target again")) << err.toStdString();
    termios after{};
    ASSERT_TRUE(settingsOf(device, after));
    EXPECT_TRUE(sameSettings(before, after)) << "the device keeps the run's settings";
    EXPECT_TRUE(lockFilesOf(device).isEmpty()) << lockFilesOf(device).join(' ').toStdString();
}
