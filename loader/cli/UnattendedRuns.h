#pragma once
// The runs that --program starts instead of waiting for the operator: one board through the
// window's own buttons, or several boards (or a run that keeps a report) without any window.

#include <QString>

class QApplication;

namespace loader::ui {
class CLoaderDlg;
}

namespace loader::cli {

class LoaderOptions;

// --program without any display runs offscreen by itself; a chosen platform is kept.
void chooseOffscreenWithoutDisplay(bool program);
// "stopped by signal 15 (Terminated)"
QString signalCause(int signal);

// Several ports, or a report asked for: the boards are programmed without the window.
bool wantsGangRun(const LoaderOptions& options);
// Runs the boards to the end; the exit status.
int programBoards(QApplication& app, const LoaderOptions& options);
// Programs the board the window is set up for; the exit status.
int programThroughWindow(ui::CLoaderDlg& window, const LoaderOptions& options);

}  // namespace loader::cli
