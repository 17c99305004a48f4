#include "loader/cli/UnattendedRuns.h"

#include <QApplication>
#include <cstdio>
#include <cstring>
#include <memory>

#include "loader/cli/GangProgram.h"
#include "loader/cli/LoaderOptions.h"
#include "loader/cli/SingleBoardProgram.h"
#include "loader/ui/CLoaderDlg.h"
#include "platform/app/qt/ExitSignals.h"

namespace loader::cli {

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

bool wantsGangRun(const LoaderOptions& options) {
    return options.program() && (options.ports().size() > 1 || !options.reportPath().isEmpty());
}

int programBoards(QApplication& app, const LoaderOptions& options) {
    GangProgram::Settings settings;
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
    settings.hexCheck = options.settings().hexCheck;
    settings.reportPath = options.reportPath();

    GangProgram run(settings);
    // Ended from outside: every port is closed the normal way and the report still written.
    platform::ExitSignals::install([&run](int signal) {
        run.stopAll(signalCause(signal), platform::ExitSignals::exitStatus(signal));
        platform::ExitSignals::exitNow(signal);
    });
    QObject::connect(&run, &GangProgram::finished, &app,
                     [](int status) { QCoreApplication::exit(status); });
    run.start();
    QApplication::exec();
    return run.status();
}

int programThroughWindow(ui::CLoaderDlg& window, const LoaderOptions& options) {
    std::unique_ptr<SingleBoardProgram> run;
    // Ended from outside: the port is closed the normal way (its settings restored, its lock
    // released) before the program goes.
    platform::ExitSignals::install([&window, &run](int signal) {
        if (run) {
            run->reportStop(signalCause(signal));
        }
        window.closePort();
        platform::ExitSignals::exitNow(signal);
    });
    run = std::make_unique<SingleBoardProgram>(window, options.settings());
    QObject::connect(run.get(), &SingleBoardProgram::finished, &window,
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

}  // namespace loader::cli
