// bootloader: carries a firmware image into the simulator's PIC boot loader.

#include <QApplication>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>

#include "loader/ui/AutoProgram.h"
#include "loader/ui/CLoaderDlg.h"
#include "loader/ui/GangProgram.h"
#include "loader/ui/LoaderOptions.h"
#include "loader/ui/ProgramInfo.h"
#include "platform/qt/ExitSignals.h"
#include "platform/qt/FramePacer.h"
#include "platform/qt/InstrumentAccessibility.h"
#include "platform/qt/MeasurementProbe.h"
#include "platform/qt/RuntimeFolder.h"

namespace {

// --program without any display runs offscreen by itself; a chosen platform is kept.
void chooseOffscreenWithoutDisplay(bool program) {
    if (program && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

QString signalCause(int signal) {
    return QStringLiteral("stopped by signal %1 (%2)")
        .arg(signal)
        .arg(QString::fromLocal8Bit(strsignal(signal)));
}

// Several boards at once (or a run that keeps a report): no window, one link per port.
int programBoards(QApplication& app, const loader::ui::LoaderOptions& options) {
    loader::ui::GangProgram::Settings settings;
    settings.ports =
        options.ports().isEmpty() ? QStringList{QStringLiteral("COM1")} : options.ports();
    settings.imagePath = options.imagePath();
    if (options.speedGiven()) {
        settings.speed = options.speed();
    }
    settings.resetFirst = options.settings().resetFirst;
    settings.timeoutSeconds = options.settings().timeoutSeconds;
    settings.stallSeconds = options.settings().stallSeconds;
    settings.quiet = options.settings().quiet;
    settings.reportPath = options.reportPath();

    loader::ui::GangProgram run(settings);
    // Ended from outside: every port is closed the normal way and the report still written.
    platform::ExitSignals::install([&run](int signal) {
        run.stopAll(signalCause(signal), platform::ExitSignals::exitStatus(signal));
        platform::ExitSignals::exitNow(signal);
    });
    QObject::connect(&run, &loader::ui::GangProgram::finished, &app,
                     [](int status) { QCoreApplication::exit(status); });
    run.start();
    QApplication::exec();
    return run.status();
}

}  // namespace

int main(int argc, char** argv) {
    platform::providePrivateRuntimeFolder();
    loader::ui::LoaderOptions options;
    if (auto status = options.answerInfoRequest(argc, argv)) {
        return *status;
    }
    chooseOffscreenWithoutDisplay(options.programRequested());

    QApplication app(argc, argv);
    platform::installInstrumentAccessibility();
    // Ties the windows to the installed desktop entry (menu icon, task bar grouping).
    QGuiApplication::setDesktopFileName(QStringLiteral("bootloader"));
    // Off unless TESSALY_PROBE names a file: paint times for scripts/bench.
    MeasurementProbe::installFromEnvironment(app);
    QApplication::setApplicationName(loader::ui::programName());
    QApplication::setWindowIcon(loader::ui::programIcon());
    if (auto status = options.parse(QApplication::arguments())) {
        return *status;
    }
    const bool program = options.program();
    if (program && (options.ports().size() > 1 || !options.reportPath().isEmpty())) {
        return programBoards(app, options);
    }

    loader::ui::CLoaderDlg window;
    // Values arrive far faster than a screen shows them: paint at most once a frame.
    FramePacer::install(&window);
    if (!options.imagePath().isEmpty()) {
        window.chooseFile(options.imagePath());
    }
    if (!options.ports().isEmpty()) {
        const QString& port = options.ports().last();
        if (loader::ui::LoaderOptions::isDevicePath(port)) {
            window.useDevicePath(port);
        } else {
            window.setPortText(port);
        }
    }
    if (options.speedGiven()) {
        window.setSpeedText(options.speed());
    }

    std::unique_ptr<loader::ui::AutoProgram> run;
    // Ended from outside: the port is closed the normal way (its settings restored, its lock
    // released) before the program goes.
    platform::ExitSignals::install([&window, &run](int signal) {
        if (run) {
            run->reportStop(signalCause(signal));
        }
        window.closePort();
        platform::ExitSignals::exitNow(signal);
    });

    if (!program) {
        window.exec();
        return 0;
    }
    run = std::make_unique<loader::ui::AutoProgram>(window, options.settings());
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
