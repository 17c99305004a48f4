#include "loader/cli/LoaderOptions.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "loader/cli/ExitStatus.h"
#include "loader/core/BootLink.h"
#include "loader/core/FirmwareImage.h"
#include "loader/core/ImageCheck.h"
#include "loader/core/IntelHexCheck.h"
#include "platform/serial/LineSettings.h"
#include "platform/serial/PortMap.h"
#include "platform/serial/SerialControl.h"

namespace loader::cli {

static_assert(exitStatus::usage == platform::CommandLine::usageErrorStatus);

const QString LoaderOptions::programOption = QStringLiteral("program");

namespace {

const QString resetOption = QStringLiteral("reset");
const QString portOption = QStringLiteral("port");
const QString speedOption = QStringLiteral("speed");
const QString timeoutOption = QStringLiteral("timeout");
const QString stallOption = QStringLiteral("stall");
const QString quietOption = QStringLiteral("quiet");
const QString reportOption = QStringLiteral("report");
const QString noHexCheckOption = QStringLiteral("no-hex-check");
// The longest --timeout and --stall: a day.
constexpr double longestWaitSeconds = 86400;

int usageError(const QString& text) {
    std::fprintf(stderr, "bootloader: %s\nTry 'bootloader --help' for more information.\n",
                 text.toLocal8Bit().constData());
    return exitStatus::usage;
}

void describe(platform::CommandLine& line) {
    line.addArgument(
        QStringLiteral("FILE"),
        QStringLiteral("the firmware image (ending in Vlf: re-keyed; else sent as stored)"));
    line.addOption({portOption,
                    QStringLiteral("the COM port to use, COM1 to COM30 (default COM1), or a "
                                   "device path such as /dev/ttyUSB0 for this run; with "
                                   "--program up to 30 times, one board on each"),
                    QStringLiteral("PORT")});
    line.addOption({speedOption, QStringLiteral("the line speed in bit/s (default 115200)"),
                    QStringLiteral("N")});
    line.addOption({LoaderOptions::programOption,
                    QStringLiteral("run the steps without a user (Connect, Program) and exit: "
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
    line.addOption({noHexCheckOption,
                    QStringLiteral("with --program: send a FILE ending in .hex as stored even "
                                   "when its records are damaged (else it is refused before "
                                   "anything is opened)")});
    line.addOption({reportOption,
                    QStringLiteral("with --program: write the result of every port, the "
                                   "image's name, size and SHA-256 and the times to FILE as "
                                   "JSON (runs without the window)"),
                    QStringLiteral("FILE")});
    line.setEpilogue(QStringLiteral(
        "Several --port options program one board on each at once, without the window: a\n"
        "line of progress per port, then a table of results.\n"
        "\n"
        "Environment:\n"
        "  COMPORTS_DIR  the port-map folder: a symbolic link comN in it names the device\n"
        "                that COMn opens (default $XDG_CONFIG_HOME/comports, else\n"
        "                ~/.config/comports)\n"
        "\n"
        "Exit status with --program:\n"
        "  0        the target is programmed (every target, with several ports)\n"
        "  1        a serial, port or image failure (nothing is sent for a refused image);\n"
        "           with several ports: any board failed\n"
        "  2        a usage error, or a FILE ending in .hex whose records are damaged\n"
        "           (nothing is opened; the first fault is named with its line)\n"
        "  3        --timeout passed, or the target fell silent for --stall seconds\n"
        "           (with several ports: --timeout ended the run)\n"
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

// Every value of an option, in order: the parser keeps only the last one.
QStringList valuesOf(const QStringList& arguments, const QString& name) {
    QStringList values;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == QLatin1String("--")) {
            break;
        }
        for (const QString& form : {"--" + name, "-" + name}) {
            if (arg.startsWith(form + "=")) {
                values << arg.mid(form.size() + 1);
            } else if (arg == form && i + 1 < arguments.size()) {
                values << arguments[++i];
            }
        }
    }
    return values;
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

// The device a port finally opens, as far as it can be found out now; else the port's text.
// Two ports with the same key would program one board twice, against itself.
QString deviceKey(const QString& port) {
    std::string device;
    if (LoaderOptions::isDevicePath(port)) {
        device = QFile::encodeName(port).toStdString();
    } else if (const auto number = loader::BootLink::exactPortNumber(port.toStdString())) {
        device = platform::PortMap().map(*number).device;
    }
    if (device.empty()) {
        return port;
    }
    std::error_code error;
    const auto resolved = std::filesystem::canonical(device, error);
    return QFile::decodeName(QByteArray::fromStdString(error ? device : resolved.string()));
}

}  // namespace

LoaderOptions::LoaderOptions()
    : line_(QStringLiteral("bootloader"),
            QStringLiteral(
                "Load firmware into a J1939 simulator's PIC boot loader over a serial port."),
            QStringLiteral("[FILE]")) {
    describe(line_);
}

bool LoaderOptions::isDevicePath(const QString& text) {
    return text.startsWith('/') && text.size() > 1;
}

std::optional<int> LoaderOptions::parse(const QStringList& arguments) {
    if (!line_.parse(arguments)) {
        return exitStatus::usage;
    }
    const QStringList files = line_.positionalArguments();
    if (files.size() > 1) {
        return usageError(QStringLiteral("one FILE at most, not %1").arg(files.size()));
    }
    program_ = line_.isSet(programOption);
    // Given twice, which one was meant is a guess; --port names one board each time.
    for (const QString& name : {programOption, resetOption, speedOption, timeoutOption, stallOption,
                                quietOption, reportOption, noHexCheckOption}) {
        if (occurrences(arguments, name) > 1) {
            return usageError(QStringLiteral("--%1 is given more than once").arg(name));
        }
    }
    if (!program_ &&
        (line_.isSet(resetOption) || line_.isSet(timeoutOption) || line_.isSet(stallOption) ||
         line_.isSet(quietOption) || line_.isSet(reportOption) || line_.isSet(noHexCheckOption))) {
        return usageError(QStringLiteral(
            "--reset, --timeout, --stall, --quiet, --report and --no-hex-check go with --program"));
    }
    if (program_ && files.isEmpty()) {
        return usageError(QStringLiteral("--program needs a FILE"));
    }
    settings_.resetFirst = line_.isSet(resetOption);
    settings_.quiet = line_.isSet(quietOption);
    settings_.hexCheck = !line_.isSet(noHexCheckOption);
    for (const auto& [name, target] : {std::pair{timeoutOption, &settings_.timeoutSeconds},
                                       std::pair{stallOption, &settings_.stallSeconds}}) {
        if (!line_.isSet(name)) {
            continue;
        }
        const auto seconds = secondsValue(line_.value(name));
        if (!seconds) {
            return usageError(QStringLiteral("--%1 wants a number of seconds above 0 and up to "
                                             "86400, not '%2'")
                                  .arg(name, line_.value(name)));
        }
        *target = *seconds;
    }
    if (auto status = checkPorts(arguments)) {
        return status;
    }
    speedGiven_ = line_.isSet(speedOption);
    speed_ = line_.value(speedOption);
    if (speedGiven_) {
        // The serial layer's own rule, so nothing passes here that the port would refuse.
        try {
            platform::parseLineSettings(speed_.toStdString() + loader::BootLink::lineSettings);
        } catch (const platform::SerialError&) {
            return usageError(QStringLiteral("--speed wants a whole number of bit/s from 1 to "
                                             "20000000, not '%1'")
                                  .arg(speed_));
        }
    }
    if (line_.isSet(reportOption)) {
        reportPath_ = QFileInfo(line_.value(reportOption)).absoluteFilePath();
        const QFileInfo report(reportPath_);
        const QFileInfo folder(report.absolutePath());
        if (line_.value(reportOption).isEmpty() || report.isDir() || !folder.isDir() ||
            !folder.isWritable()) {
            return usageError(QStringLiteral("--report wants a file in a folder that can be "
                                             "written, not '%1'")
                                  .arg(line_.value(reportOption)));
        }
    }
    return checkImage(files);
}

std::optional<int> LoaderOptions::checkPorts(const QStringList& arguments) {
    ports_ = valuesOf(arguments, portOption);
    if (ports_.size() > 1 && !program_) {
        return usageError(QStringLiteral("several --port options go with --program"));
    }
    if (ports_.size() > maxPorts) {
        return usageError(
            QStringLiteral("at most %1 --port options, not %2").arg(maxPorts).arg(ports_.size()));
    }
    for (const QString& port : ports_) {
        if (!isDevicePath(port) && !loader::BootLink::exactPortNumber(port.toStdString())) {
            return usageError(QStringLiteral("--port wants COM1 to COM30 (upper case, no "
                                             "leading zero) or a device path such as "
                                             "/dev/ttyUSB0, not '%1'")
                                  .arg(port));
        }
    }
    if (ports_.size() > 1) {
        QHash<QString, QString> seen;
        for (const QString& port : ports_) {
            const QString key = deviceKey(port);
            if (seen.contains(key)) {
                const QString first = seen.value(key);
                return usageError(
                    first == port
                        ? QStringLiteral("--port %1 is given twice").arg(port)
                        : QStringLiteral("--port %1 and --port %2 are the same device, %3")
                              .arg(first, port, key));
            }
            seen.insert(key, port);
        }
    }
    return std::nullopt;
}

std::optional<int> LoaderOptions::checkImage(const QStringList& files) {
    if (files.isEmpty()) {
        return std::nullopt;
    }
    const QFileInfo file(files.first());
    imagePath_ = file.absoluteFilePath();
    const std::string path = QFile::encodeName(imagePath_).toStdString();
    const std::string name = QFile::encodeName(file.fileName()).toStdString();
    try {
        loader::checkImage(path, loader::FirmwareImage::isScrambledName(name));
        // The window asks about a damaged HEX file when Program is pressed; a run without a
        // user refuses it here, before a port is opened.
        if (program_ && settings_.hexCheck && loader::isHexName(name)) {
            if (const auto fault = loader::hexFaultOf(path, name)) {
                std::fprintf(stderr,
                             "bootloader: %s\nbootloader: nothing was sent; --no-hex-check sends "
                             "the file as stored\n",
                             fault->c_str());
                return exitStatus::usage;
            }
        }
    } catch (const loader::ImageError& refusal) {
        // The window takes any readable file, as its dialog would; Program refuses it.
        if (program_ || !file.isFile() || !file.isReadable()) {
            std::fprintf(stderr, "bootloader: %s\n", refusal.what());
            return exitStatus::failed;
        }
    }
    return std::nullopt;
}

}  // namespace loader::cli
