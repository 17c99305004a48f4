// bootloader: carries a firmware image into the simulator's PIC boot loader.

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include "loader/core/BootLink.h"
#include "loader/core/FirmwareImage.h"
#include "loader/core/ImageCheck.h"
#include "loader/ui/AutoProgram.h"
#include "loader/ui/CLoaderDlg.h"
#include "loader/ui/ProgramInfo.h"
#include "platform/core/LineSettings.h"
#include "platform/core/SerialControl.h"
#include "platform/qt/CommandLine.h"
#include "platform/qt/ExitSignals.h"
#include "platform/qt/FramePacer.h"
#include "platform/qt/MeasurementProbe.h"

namespace {

const QString programOption = QStringLiteral("program");
const QString resetOption = QStringLiteral("reset");
const QString portOption = QStringLiteral("port");
const QString speedOption = QStringLiteral("speed");
const QString timeoutOption = QStringLiteral("timeout");
const QString stallOption = QStringLiteral("stall");
const QString quietOption = QStringLiteral("quiet");
// The longest --timeout and --stall: a day.
constexpr double longestWaitSeconds = 86400;

int usageError(const QString& text) {
    std::fprintf(stderr, "bootloader: %s\nTry 'bootloader --help' for more information.\n",
                 text.toLocal8Bit().constData());
    return platform::CommandLine::usageErrorStatus;
}

void describe(platform::CommandLine& line) {
    line.addArgument(
        QStringLiteral("FILE"),
        QStringLiteral("the firmware image (ending in Vlf: re-keyed; else sent as stored)"));
    line.addOption({portOption,
                    QStringLiteral("the COM port to use, COM1 to COM30 (default COM1), or a "
                                   "device path such as /dev/ttyUSB0 for this run"),
                    QStringLiteral("PORT")});
    line.addOption({speedOption, QStringLiteral("the line speed in bit/s (default 115200)"),
                    QStringLiteral("N")});
    line.addOption(
        {programOption, QStringLiteral("run the steps without a user (Connect, Program) and exit: "
                                       "0 when programmed, non-zero with the error on standard "
                                       "error otherwise; needs FILE")});
    line.addOption({resetOption, QStringLiteral("with --program: press Reset PIC first")});
    line.addOption({timeoutOption,
                    QStringLiteral("with --program: give up after this many seconds (at most "
                                   "86400; default: wait for the boot loader without limit)"),
                    QStringLiteral("SECONDS")});
    line.addOption({stallOption,
                    QStringLiteral("with --program: fail when the target, once it has "
                                   "answered, is silent this long (default 10)"),
                    QStringLiteral("SECONDS")});
    line.addOption({quietOption, QStringLiteral("with --program: print errors only")});
    line.setEpilogue(QStringLiteral(
        "Environment:\n"
        "  COMPORTS_DIR  the port-map folder: a symbolic link comN in it names the device\n"
        "                that COMn opens (default $XDG_CONFIG_HOME/comports, else\n"
        "                ~/.config/comports)\n"
        "\n"
        "Exit status with --program:\n"
        "  0        the target is programmed\n"
        "  1        a serial, port or image failure (nothing is sent for a refused image)\n"
        "  2        a usage error (nothing is opened)\n"
        "  3        --timeout passed, or the target fell silent for --stall seconds\n"
        "  128+n    ended by signal n (130 for Ctrl+C, 143 for SIGTERM)\n"));
}

// How often an option was given (before a "--" that ends the options).
int occurrences(const QStringList& arguments, const QString& name) {
    int count = 0;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == QLatin1String("--")) {
            break;
        }
        for (const QString& form : {"--" + name, "-" + name}) {
            if (arg == form || arg.startsWith(form + "=")) {
                ++count;
            }
        }
    }
    return count;
}

// A number of seconds for --timeout and --stall: above 0, at most a day.
std::optional<double> secondsValue(const QString& text) {
    bool ok = false;
    const double value = text.trimmed() == text ? text.toDouble(&ok) : 0;
    if (!ok || !std::isfinite(value) || value <= 0 || value > longestWaitSeconds) {
        return std::nullopt;
    }
    return value;
}

bool isDevicePath(const QString& text) {
    return text.startsWith('/') && text.size() > 1;
}

// --program without any display runs offscreen by itself; a chosen platform is kept.
void chooseOffscreenWithoutDisplay(bool program) {
    if (program && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
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
    chooseOffscreenWithoutDisplay(line.isSet(programOption));

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
    // Given twice, which one was meant is a guess; --port is left free for another use.
    for (const QString& name :
         {programOption, resetOption, speedOption, timeoutOption, stallOption, quietOption}) {
        if (occurrences(QApplication::arguments(), name) > 1) {
            return usageError(QStringLiteral("--%1 is given more than once").arg(name));
        }
    }
    if (!program && (line.isSet(resetOption) || line.isSet(timeoutOption) ||
                     line.isSet(stallOption) || line.isSet(quietOption))) {
        return usageError(
            QStringLiteral("--reset, --timeout, --stall and --quiet go with --program"));
    }
    if (program && files.isEmpty()) {
        return usageError(QStringLiteral("--program needs a FILE"));
    }
    loader::ui::AutoProgram::Settings settings;
    settings.resetFirst = line.isSet(resetOption);
    settings.quiet = line.isSet(quietOption);
    for (const auto& [name, target] : {std::pair{timeoutOption, &settings.timeoutSeconds},
                                       std::pair{stallOption, &settings.stallSeconds}}) {
        if (!line.isSet(name)) {
            continue;
        }
        const auto seconds = secondsValue(line.value(name));
        if (!seconds) {
            return usageError(QStringLiteral("--%1 wants a number of seconds above 0 and up to "
                                             "86400, not '%2'")
                                  .arg(name, line.value(name)));
        }
        *target = *seconds;
    }
    const QString port = line.value(portOption);
    if (line.isSet(portOption) && !isDevicePath(port) &&
        !loader::BootLink::exactPortNumber(port.toStdString())) {
        return usageError(QStringLiteral("--port wants COM1 to COM30 (upper case, no leading "
                                         "zero) or a device path such as /dev/ttyUSB0, not '%1'")
                              .arg(port));
    }
    if (line.isSet(speedOption)) {
        // The serial layer's own rule, so nothing passes here that the port would refuse.
        try {
            platform::parseLineSettings(line.value(speedOption).toStdString() +
                                        loader::BootLink::lineSettings);
        } catch (const platform::SerialError&) {
            return usageError(QStringLiteral("--speed wants a whole number of bit/s from 1 to "
                                             "20000000, not '%1'")
                                  .arg(line.value(speedOption)));
        }
    }

    QString imagePath;
    if (!files.isEmpty()) {
        const QFileInfo file(files.first());
        imagePath = file.absoluteFilePath();
        const std::string path = QFile::encodeName(imagePath).toStdString();
        try {
            loader::checkImage(path, loader::FirmwareImage::isScrambledName(
                                         QFile::encodeName(file.fileName()).toStdString()));
        } catch (const loader::ImageError& refusal) {
            // The window takes any readable file, as its dialog would; Program refuses it.
            if (program || !file.isFile() || !file.isReadable()) {
                std::fprintf(stderr, "bootloader: %s\n", refusal.what());
                return 1;
            }
        }
    }

    loader::ui::CLoaderDlg window;
    // Values arrive far faster than a screen shows them: paint at most once a frame.
    FramePacer::install(&window);
    if (!imagePath.isEmpty()) {
        window.chooseFile(imagePath);
    }
    if (line.isSet(portOption)) {
        if (isDevicePath(port)) {
            window.useDevicePath(port);
        } else {
            window.setPortText(port);
        }
    }
    if (line.isSet(speedOption)) {
        window.setSpeedText(line.value(speedOption));
    }

    std::unique_ptr<loader::ui::AutoProgram> run;
    // Ended from outside: the port is closed the normal way (its settings restored, its lock
    // released) before the program goes.
    platform::ExitSignals::install([&window, &run](int signal) {
        if (run) {
            run->reportStop(QStringLiteral("stopped by signal %1 (%2)")
                                .arg(signal)
                                .arg(QString::fromLocal8Bit(strsignal(signal))));
        }
        window.closePort();
        platform::ExitSignals::exitNow(signal);
    });

    if (!program) {
        window.exec();
        return 0;
    }
    run = std::make_unique<loader::ui::AutoProgram>(window, settings);
    QObject::connect(run.get(), &loader::ui::AutoProgram::finished, &window,
                     [&window](int status) { window.done(status); });
    run->start();
    window.exec();
    if (!run->isDone()) {
        std::fprintf(stderr, "bootloader: the window was closed before the run finished\n");
    }
    const int status = run->status();
    run.reset();
    return status;
}
