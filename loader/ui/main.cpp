// bootloader: carries a firmware image into the simulator's PIC boot loader.

#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <optional>

#include "loader/ui/AutoProgram.h"
#include "loader/ui/CLoaderDlg.h"
#include "loader/ui/ProgramInfo.h"
#include "platform/qt/CommandLine.h"
#include "platform/qt/FramePacer.h"
#include "platform/qt/MeasurementProbe.h"

namespace {

const QString programOption = QStringLiteral("program");
const QString resetOption = QStringLiteral("reset");
const QString portOption = QStringLiteral("port");
const QString speedOption = QStringLiteral("speed");
const QString timeoutOption = QStringLiteral("timeout");

int usageError(const QString& text) {
    std::fprintf(stderr, "bootloader: %s\nTry 'bootloader --help' for more information.\n",
                 text.toLocal8Bit().constData());
    return platform::CommandLine::usageErrorStatus;
}

void describe(platform::CommandLine& line) {
    line.addArgument(
        QStringLiteral("FILE"),
        QStringLiteral("the firmware image (ending in Vlf: re-keyed; else sent as stored)"));
    line.addOption(
        {portOption, QStringLiteral("the COM port to use (default COM1)"), QStringLiteral("COMn")});
    line.addOption({speedOption, QStringLiteral("the line speed in bit/s (default 115200)"),
                    QStringLiteral("N")});
    line.addOption(
        {programOption, QStringLiteral("run the steps without a user (Connect, Program) and exit: "
                                       "0 when programmed, non-zero with the error on standard "
                                       "error otherwise; needs FILE")});
    line.addOption({resetOption, QStringLiteral("with --program: press Reset PIC first")});
    line.addOption({timeoutOption,
                    QStringLiteral("with --program: give up after this many seconds"),
                    QStringLiteral("SECONDS")});
    line.setEpilogue(QStringLiteral(
        "Environment:\n"
        "  COMPORTS_DIR  the port-map folder: a symbolic link comN in it names the device\n"
        "                that COMn opens (default $XDG_CONFIG_HOME/comports, else\n"
        "                ~/.config/comports)\n"));
}

}  // namespace

int main(int argc, char** argv) {
    platform::CommandLine line(
        QStringLiteral("bootloader"),
        QStringLiteral(
            "Load firmware into a J1939 simulator's PIC boot loader over a serial port."),
        QStringLiteral("[FILE]"));
    describe(line);
    if (auto status = line.answerInfoRequest(argc, argv)) {
        return *status;
    }

    QApplication app(argc, argv);
    // Ties the windows to the installed desktop entry (menu icon, task bar grouping).
    QGuiApplication::setDesktopFileName(QStringLiteral("bootloader"));
    // Off unless TESSALY_PROBE names a file: paint times for scripts/bench.
    MeasurementProbe::installFromEnvironment(app);
    QApplication::setApplicationName(loader::ui::programName());
    QApplication::setWindowIcon(loader::ui::programIcon());
    if (!line.parse(QApplication::arguments())) {
        return platform::CommandLine::usageErrorStatus;
    }
    const QStringList files = line.positionalArguments();
    if (files.size() > 1) {
        return usageError(QStringLiteral("one FILE at most, not %1").arg(files.size()));
    }
    const bool program = line.isSet(programOption);
    if (!program && (line.isSet(resetOption) || line.isSet(timeoutOption))) {
        return usageError(QStringLiteral("--reset and --timeout go with --program"));
    }
    if (program && files.isEmpty()) {
        return usageError(QStringLiteral("--program needs a FILE"));
    }
    int timeoutSeconds = 0;
    if (line.isSet(timeoutOption)) {
        bool ok = false;
        timeoutSeconds = line.value(timeoutOption).toInt(&ok);
        if (!ok || timeoutSeconds <= 0) {
            return usageError(QStringLiteral("--timeout wants a number of seconds, not '%1'")
                                  .arg(line.value(timeoutOption)));
        }
    }

    loader::ui::CLoaderDlg window;
    // Values arrive far faster than a screen shows them: paint at most once a frame.
    FramePacer::install(&window);
    if (!files.isEmpty()) {
        // The file dialog would insist that the file exists; so does the command line.
        const QFileInfo file(files.first());
        if (!file.isFile() || !file.isReadable()) {
            std::fprintf(stderr, "bootloader: cannot read the firmware file '%s'\n",
                         files.first().toLocal8Bit().constData());
            return 1;
        }
        window.chooseFile(file.absoluteFilePath());
    }
    if (line.isSet(portOption)) {
        window.setPortText(line.value(portOption));
    }
    if (line.isSet(speedOption)) {
        window.setSpeedText(line.value(speedOption));
    }

    if (!program) {
        window.exec();
        return 0;
    }
    loader::ui::AutoProgram run(window, line.isSet(resetOption), timeoutSeconds);
    QObject::connect(&run, &loader::ui::AutoProgram::finished, &window,
                     [&window](int status) { window.done(status); });
    run.start();
    window.exec();
    if (!run.isDone()) {
        std::fprintf(stderr, "bootloader: the window was closed before the run finished\n");
    }
    return run.status();
}
