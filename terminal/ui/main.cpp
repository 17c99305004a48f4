// Tessaly, the remote terminal of the J1939 simulator: one window, the dashboard, shown
// modally; the program ends when it closes.
#include <QApplication>
#include <QTimer>
#include <filesystem>

#include "platform/qt/CommandLine.h"
#include "platform/qt/FramePacer.h"
#include "platform/qt/MeasurementProbe.h"
#include "terminal/core/SettingsFile.h"
#include "terminal/headless/qt/HeadlessProgram.h"
#include "terminal/ui/DashboardWindow.h"
#include "terminal/ui/ProgramVersion.h"

int main(int argc, char** argv) {
    platform::CommandLine options(
        QStringLiteral("Tessaly"),
        QStringLiteral("Remote terminal and dashboard of the J1939 simulator."));
    const QCommandLineOption settingsOption(
        QStringLiteral("settings"),
        QStringLiteral("remember the COM port in FILE (default: vive1939.ini beside the program)"),
        QStringLiteral("FILE"));
    options.addOption(settingsOption);
    terminal::headless::addHeadlessOptions(options);
    options.setEpilogue(
        QStringLiteral("Environment:\n"
                       "  COMPORTS_DIR  folder of links com1..com40 to serial devices\n"
                       "                (default $XDG_CONFIG_HOME/comports)\n"));
    if (auto status = options.answerInfoRequest(argc, argv)) {
        return *status;
    }
    if (terminal::headless::headlessRequested(argc, argv)) {
        return terminal::headless::runHeadless(argc, argv, options, [&options] {
            return options.isSet(QStringLiteral("settings"))
                       ? std::filesystem::path(
                             options.value(QStringLiteral("settings")).toStdString())
                       : terminal::settingsFileFor(
                             QCoreApplication::applicationFilePath().toStdString());
        });
    }

    QApplication app(argc, argv);
    // Ties the windows to the installed desktop entry (menu icon, task bar grouping).
    QGuiApplication::setDesktopFileName(QStringLiteral("tessaly"));
    // Off unless TESSALY_PROBE names a file: paint times for scripts/bench.
    MeasurementProbe::installFromEnvironment(app);
    QApplication::setApplicationName(QStringLiteral("Tessaly"));
    QApplication::setApplicationVersion(terminal::ui::programVersion());
    QApplication::setWindowIcon(terminal::ui::programIcon());
    if (!options.parse(QApplication::arguments()) ||
        !terminal::headless::checkWindowOptions(options)) {
        return platform::CommandLine::usageErrorStatus;
    }

    const std::filesystem::path settingsFile =
        options.isSet(QStringLiteral("settings"))
            ? std::filesystem::path(options.value(QStringLiteral("settings")).toStdString())
            : terminal::settingsFileFor(QCoreApplication::applicationFilePath().toStdString());

    terminal::ui::DashboardWindow window(settingsFile);
    // Values arrive far faster than a screen shows them: paint at most once a frame.
    FramePacer::install(&window);
    QTimer::singleShot(0, &window, [&window] { window.startSession(); });
    window.exec();
    return 0;
}
