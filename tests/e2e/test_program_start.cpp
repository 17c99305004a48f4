// Both programs started as a service, a cron job or a CI runner starts them: no display and
// no XDG_RUNTIME_DIR. Each program's window says in one line what is missing and ends with
// status 1; nothing prints Qt's runtime-folder warning.
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "DiesWithTest.h"

namespace {

TEST(ProgramStart, WithoutDisplayOrRuntimeFolderEachProgramSaysOnlyWhatMatters) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString missing = folder.path() + "/no-such-device";
    const struct {
        const char* name;
        const char* program;
        QStringList arguments;
        int status;
        const char* errors;
    } cases[] = {
        {"Tessaly's window",
         TESSALY_PATH,
         {"--settings", folder.path() + "/vive1939.ini"},
         1,
         "Tessaly: no display: set DISPLAY or WAYLAND_DISPLAY, or use --headless for a session "
         "without a window\n"},
        {"Tessaly without a window",
         TESSALY_PATH,
         {"--headless", "--port", missing, "--settings", folder.path() + "/vive1939.ini"},
         0,
         ""},
        {"bootloader's window",
         BOOTLOADER_PATH,
         {},
         1,
         "bootloader: no display: set DISPLAY or WAYLAND_DISPLAY, or use --program for a run "
         "without a window\n"},
        {"bootloader run by a script",
         BOOTLOADER_PATH,
         {"--program", "--port", missing, folder.path() + "/missing.hex"},
         1,
         nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QProcess process;
        dieWithTest(process);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM",
                                 "XDG_SESSION_TYPE", "XDG_RUNTIME_DIR"}) {
            environment.remove(name);
        }
        environment.insert("COMPORTS_DIR", folder.path());
        environment.insert("TMPDIR", folder.path());
        process.setProcessEnvironment(environment);
        process.start(c.program, c.arguments);
        ASSERT_TRUE(process.waitForStarted(5000));
        process.closeWriteChannel();  // the end of input ends the headless session
        ASSERT_TRUE(process.waitForFinished(15000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), c.status);
        const QString errors = QString::fromUtf8(process.readAllStandardError());
        EXPECT_FALSE(errors.contains("XDG_RUNTIME_DIR")) << errors.toStdString();
        if (c.errors != nullptr) {
            EXPECT_EQ(errors.toStdString(), c.errors);
        }
    }
}

}  // namespace
