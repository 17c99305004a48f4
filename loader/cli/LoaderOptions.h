#pragma once
// bootloader's command line: the options, their checks and what they ask for. Everything is
// checked before a port is opened or a byte is sent; a mistake is a usage error (status 2).

#include <QString>
#include <QStringList>
#include <optional>

#include "loader/cli/SingleBoardProgram.h"
#include "platform/app/qt/CommandLine.h"

namespace loader::cli {

class LoaderOptions {
public:
    // A production line programs at most this many boards from one command.
    static constexpr int maxPorts = 30;

    LoaderOptions();

    // --help and --version, answered before the window system is touched.
    std::optional<int> answerInfoRequest(int argc, char** argv) {
        return line_.answerInfoRequest(argc, argv);
    }
    // Whether --program was given, before parse() (decides the offscreen platform).
    bool programRequested() const { return line_.isSet(programOption); }

    // Parses and checks the arguments the QApplication left. Nothing when the run may go on;
    // else the exit status, after the reason has gone to standard error.
    std::optional<int> parse(const QStringList& arguments);

    bool program() const { return program_; }
    // The image's absolute path; empty without FILE.
    const QString& imagePath() const { return imagePath_; }
    // Every --port in the order given: COMn or a device path.
    const QStringList& ports() const { return ports_; }
    bool speedGiven() const { return speedGiven_; }
    const QString& speed() const { return speed_; }
    const SingleBoardProgram::Settings& settings() const { return settings_; }
    // --report FILE (several ports only).
    const QString& reportPath() const { return reportPath_; }

    static bool isDevicePath(const QString& text);

    static const QString programOption;

private:
    std::optional<int> checkPorts(const QStringList& arguments);
    std::optional<int> checkImage(const QStringList& files);

    platform::CommandLine line_;
    bool program_ = false;
    QString imagePath_;
    QStringList ports_;
    bool speedGiven_ = false;
    QString speed_;
    QString reportPath_;
    SingleBoardProgram::Settings settings_;
};

}  // namespace loader::cli
