#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <optional>

namespace platform {

// The command line of a windowed program, in the GNU manner: --help and --version are answered
// before any window system is touched, so both work on a machine without a display; a usage error
// names the program and points at --help.
//
// Use: describe the options, call answerInfoRequest() on the raw arguments before creating the
// QApplication, then parse() the arguments the QApplication left after taking its own.
class CommandLine {
public:
    // `usageTail` follows "[OPTION]..." in the usage line, e.g. "[FILE]".
    CommandLine(QString program, QString summary, QString usageTail = {});

    void addOption(const QCommandLineOption& option);
    // A positional argument, listed under "Arguments:" in the help.
    void addArgument(const QString& name, const QString& description);
    // Free text after the options, e.g. an "Environment:" section.
    void setEpilogue(const QString& text);

    // Exit status 0 when --help or --version was asked for (the text is printed to `out`),
    // nothing otherwise. Other mistakes are left to parse(), which sees the arguments after Qt
    // has taken out its own (-platform and the like).
    std::optional<int> answerInfoRequest(const QStringList& arguments, std::FILE* out = stdout);
    std::optional<int> answerInfoRequest(int argc, char** argv, std::FILE* out = stdout);

    // False on a usage error, after printing it to `err`; usageErrorStatus is the exit status.
    bool parse(const QStringList& arguments, std::FILE* err = stderr);
    static constexpr int usageErrorStatus = 2;

    bool isSet(const QString& name) const { return parser_.isSet(name); }
    QString value(const QString& name) const { return parser_.value(name); }
    QStringList positionalArguments() const { return parser_.positionalArguments(); }

    QString helpText() const;
    QString versionText() const;
    QString usageErrorText() const;

private:
    QString program_;
    QString summary_;
    QString usageTail_;
    QString epilogue_;
    QList<QCommandLineOption> options_;
    QList<QPair<QString, QString>> arguments_;
    QCommandLineOption help_{{"h", "help"}, "display this help and exit"};
    QCommandLineOption version_{"version", "output version information and exit"};
    QCommandLineParser parser_;
};

}  // namespace platform
