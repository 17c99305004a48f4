#pragma once
// `Tessaly --plot FILE.csv --output FILE.png [--values NAMES] [--size WxH] [--from TIME]
// [--to TIME]`: the Trends window's plots of a recording, drawn into a PNG without a window
// or a display (the offscreen platform is chosen here), for reports and scripts. Exit status
// 0 once written (after a warning on standard error when rows were out of time order: they
// are drawn in order); 2, after one line on standard error, for a file that is not a
// recording by Tessaly, no value named, a value that is not one of its numeric columns, a
// size out of range, a range outside the recording or reversed, or an output that cannot be
// written.

namespace platform {
class CommandLine;
}

namespace terminal::plot {

// Adds --plot, --output, --values, --size, --from and --to to the window's command line, so --help
// lists them with the window's own options.
void addPlotOptions(platform::CommandLine& options);

// True when the raw arguments ask for a plot (before any application object).
bool plotRequested(int argc, char** argv);

// Draws the plot and returns the exit status. `options` has been given addPlotOptions().
int runPlot(int argc, char** argv, platform::CommandLine& options);

// For the window and the headless session: false, after a usage error on standard error,
// when --output, --values, --size, --from or --to is given without --plot.
bool checkWindowOptions(const platform::CommandLine& options);

}  // namespace terminal::plot
