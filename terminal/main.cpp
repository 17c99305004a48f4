// Tessaly, the remote terminal of the J1939 simulator: one window, the dashboard, shown
// modally; the program ends when it closes.
#include <QApplication>
#include <QTimer>
#include <exception>
#include <filesystem>
#include <optional>

#include "platform/app/qt/CommandLine.h"
#include "platform/app/qt/DisplayCheck.h"
#include "platform/app/qt/ExitSignals.h"
#include "platform/app/qt/MeasurementProbe.h"
#include "platform/app/qt/RuntimeFolder.h"
#include "platform/instruments/qt/InstrumentAccessibility.h"
#include "platform/layout/qt/FramePacer.h"
#include "terminal/dashboard/qt/DashboardWindow.h"
#include "terminal/dashboard/qt/ProgramVersion.h"
#include "terminal/dashboard/qt/WindowPlacement.h"
#include "terminal/link/SettingsFile.h"
#include "terminal/recording/qt/SessionRecording.h"
#include "terminal/scripting/qt/HeadlessProgram.h"
#include "terminal/scripting/qt/ScriptedDashboard.h"
#include "terminal/sequences/qt/SequenceProgram.h"
#include "terminal/trends/qt/PlotCommand.h"
#include "terminal/trends/qt/TrendsItem.h"

int main(int argc, char** argv) {
    platform::providePrivateRuntimeFolder();
    platform::CommandLine options(
        QStringLiteral("Tessaly"),
        QStringLiteral("Remote terminal and dashboard of the J1939 simulator."));
    const QCommandLineOption settingsOption(
        QStringLiteral("settings"),
        QStringLiteral("remember the COM port in FILE (default: see Settings file below)"),
        QStringLiteral("FILE"));
    options.addOption(settingsOption);
    options.addOption(QCommandLineOption(
        QStringLiteral("record"),
        QStringLiteral("record the dashboard to FILE.csv: a row per status line and per link "
                       "change (also from the window's context menu, Ctrl+R)"),
        QStringLiteral("FILE.csv")));
    options.addOption(QCommandLineOption(
        QStringLiteral("record-lines"),
        QStringLiteral("log every line received and sent to FILE, with its time, for support "
                       "and for j1939-sim --replay"),
        QStringLiteral("FILE")));
    terminal::headless::addHeadlessOptions(options);
    terminal::sequences::addSequenceOptions(options);
    terminal::plot::addPlotOptions(options);
    options.setEpilogue(QStringLiteral(
        "Settings file:\n"
        "  vive1939.ini beside the program when it runs from a folder of its own (a build\n"
        "  folder, an unpacked copy). Installed under /usr, /usr/local or /opt, or when its\n"
        "  folder is not writable: $XDG_CONFIG_HOME/Tessaly/vive1939.ini (default\n"
        "  ~/.config/Tessaly/vive1939.ini); a file left at $XDG_CONFIG_HOME/vive1939.ini by an\n"
        "  older version is read until the new one exists.\n"
        "\n"
        "Environment:\n"
        "  COMPORTS_DIR  folder of links com1..com40 to serial devices\n"
        "                (default $XDG_CONFIG_HOME/comports)\n"));
    if (auto status = options.answerInfoRequest(argc, argv)) {
        return *status;
    }
    // Where the port is remembered: --settings, else the place for this installation.
    auto settingsPlace = [&options] {
        return options.isSet(QStringLiteral("settings"))
                   ? terminal::SettingsPlace{options.value(QStringLiteral("settings"))
                                                 .toStdString(),
                                             {}}
                   : terminal::settingsPlaceFor(
                         QCoreApplication::applicationFilePath().toStdString());
    };
    if (terminal::plot::plotRequested(argc, argv)) {
        return terminal::plot::runPlot(argc, argv, options);
    }
    if (terminal::sequences::runRequested(argc, argv)) {
        return terminal::sequences::runSequence(argc, argv, options, settingsPlace);
    }
    if (terminal::headless::headlessRequested(argc, argv)) {
        return terminal::headless::runHeadless(argc, argv, options, settingsPlace);
    }

    const auto app =
        platform::windowApplication(argc, argv,
                                    "Tessaly: no display: set DISPLAY or WAYLAND_DISPLAY, or use "
                                    "--headless for a session without a window\n");
    if (!app) {
        return 1;
    }
    platform::installInstrumentAccessibility();
    // Ties the windows to the installed desktop entry (menu icon, task bar grouping).
    QGuiApplication::setDesktopFileName(QStringLiteral("tessaly"));
    // Off unless TESSALY_PROBE names a file: paint times for scripts/bench.
    platform::MeasurementProbe::installFromEnvironment(*app);
    QApplication::setApplicationName(QStringLiteral("Tessaly"));
    QApplication::setApplicationVersion(terminal::ui::programVersion());
    QApplication::setWindowIcon(terminal::ui::programIcon());
    if (!options.parse(terminal::headless::withListenDefault(QApplication::arguments())) ||
        !terminal::headless::checkWindowOptions(options) ||
        !terminal::plot::checkWindowOptions(options) ||
        !terminal::sequences::checkWindowOptions(options)) {
        return platform::CommandLine::usageErrorStatus;
    }
    const std::optional<double> statusRate = terminal::headless::statusRateOption(options);
    if (!statusRate) {
        return platform::CommandLine::usageErrorStatus;
    }

    const terminal::SettingsPlace settings = settingsPlace();

    terminal::ui::DashboardWindow window(settings.file, settings.formerFile);
    // Started before the session, so the first link state is in the files too. A file that
    // cannot be created is shown in a message box; the dashboard runs without it.
    if (options.isSet(QStringLiteral("record"))) {
        window.recording().startCsv(options.value(QStringLiteral("record")));
    }
    if (options.isSet(QStringLiteral("record-lines"))) {
        window.recording().startLines(options.value(QStringLiteral("record-lines")));
    }
    // --listen: scripts drive the dashboard through a socket, named by default for the
    // remembered port.
    std::optional<terminal::ui::ScriptedDashboard> scripts;
    if (const auto path = terminal::headless::listenPath(
            options, terminal::SettingsFile(settings.file, settings.formerFile).read().portName)) {
        scripts.emplace(window, *statusRate);
        if (const std::string failure = scripts->listen(*path); !failure.empty()) {
            return terminal::headless::listenFailed(failure);
        }
    }
    // Size and place of the last run, when they still fit the screen.
    new terminal::ui::WindowPlacement(&window);
    // The Trends window, when it was open as the last run ended: once the dashboard is up.
    QTimer::singleShot(0, &window, [&window] { window.trends().reopenIfLeftOpen(); });
    // Ended from a shell or by the desktop's logout: the normal exit first, so the port is
    // closed (device settings restored, lock released), then the shell's status for a signal.
    platform::ExitSignals::install([&window, &scripts](int signal) {
        try {
            window.core().exitProgram();
        } catch (const std::exception&) {
            // Ending anyway: there is no one left to tell.
        }
        if (scripts) {
            scripts->remove();
        }
        platform::ExitSignals::exitNow(signal);
    });
    // Values arrive far faster than a screen shows them: paint at most once a frame.
    platform::FramePacer::install(&window, 33);
    QTimer::singleShot(0, &window, [&window] { window.startSession(); });
    window.exec();
    return 0;
}
