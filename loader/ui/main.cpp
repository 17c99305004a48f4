// bootloader: carries a firmware image into the simulator's PIC boot loader.

#include <QApplication>

#include "loader/cli/LoaderOptions.h"
#include "loader/cli/UnattendedRuns.h"
#include "loader/ui/CLoaderDlg.h"
#include "loader/ui/ProgramInfo.h"
#include "platform/app/qt/DisplayCheck.h"
#include "platform/app/qt/ExitSignals.h"
#include "platform/app/qt/MeasurementProbe.h"
#include "platform/app/qt/RuntimeFolder.h"
#include "platform/instruments/qt/InstrumentAccessibility.h"
#include "platform/layout/qt/FramePacer.h"

int main(int argc, char** argv) {
    platform::providePrivateRuntimeFolder();
    loader::cli::LoaderOptions options;
    if (auto status = options.answerInfoRequest(argc, argv)) {
        return *status;
    }
    loader::cli::chooseOffscreenWithoutDisplay(options.programRequested());
    const auto app =
        platform::windowApplication(argc, argv,
                                    "bootloader: no display: set DISPLAY or WAYLAND_DISPLAY, or "
                                    "use --program for a run without a window\n");
    if (!app) {
        return 1;
    }
    platform::installInstrumentAccessibility();
    // Ties the windows to the installed desktop entry (menu icon, task bar grouping).
    QGuiApplication::setDesktopFileName(QStringLiteral("bootloader"));
    // Off unless TESSALY_PROBE names a file: paint times for scripts/bench.
    platform::MeasurementProbe::installFromEnvironment(*app);
    QApplication::setApplicationName(loader::ui::programName());
    QApplication::setWindowIcon(loader::ui::programIcon());
    if (auto status = options.parse(QApplication::arguments())) {
        return *status;
    }
    if (loader::cli::wantsGangRun(options)) {
        return loader::cli::programBoards(*app, options);
    }

    loader::ui::CLoaderDlg window;
    // Values arrive far faster than a screen shows them: paint at most once a frame.
    platform::FramePacer::install(&window);
    if (!options.imagePath().isEmpty()) {
        window.chooseFile(options.imagePath());
    }
    if (!options.ports().isEmpty()) {
        const QString& port = options.ports().last();
        if (loader::cli::LoaderOptions::isDevicePath(port)) {
            window.useDevicePath(port);
        } else {
            window.setPortText(port);
        }
    }
    if (options.speedGiven()) {
        window.setSpeedText(options.speed());
    }
    if (options.program()) {
        return loader::cli::programThroughWindow(window, options);
    }

    // Ended from outside: the port is closed the normal way (its settings restored, its lock
    // released) before the program goes.
    platform::ExitSignals::install([&window](int signal) {
        window.closePort();
        platform::ExitSignals::exitNow(signal);
    });
    window.exec();
    return 0;
}
