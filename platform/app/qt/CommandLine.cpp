#include "platform/app/qt/CommandLine.h"

#include <algorithm>

#include "platform/text/LicenceNotice.h"

namespace platform {

namespace {

// "  -h, --help" or "      --port=COMn": short names line up in front of the long ones.
QString optionColumn(const QCommandLineOption& option) {
    QString shortPart;
    QString longPart;
    for (const QString& name : option.names()) {
        if (name.size() == 1) {
            shortPart = "-" + name + ", ";
        } else if (longPart.isEmpty()) {
            longPart = "--" + name;
        }
    }
    if (!option.valueName().isEmpty()) {
        longPart += "=" + option.valueName();
    }
    return "  " + shortPart.leftJustified(4) + longPart;
}

QString table(const QList<QPair<QString, QString>>& rows) {
    qsizetype width = 0;
    for (const auto& row : rows) {
        width = std::max(width, row.first.size());
    }
    QString text;
    for (const auto& row : rows) {
        text += row.first.leftJustified(width + 2) + row.second + "\n";
    }
    return text;
}

void print(std::FILE* out, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), out);
    std::fflush(out);
}

}  // namespace

CommandLine::CommandLine(QString program, QString summary, QString usageTail)
    : program_(std::move(program)), summary_(std::move(summary)), usageTail_(std::move(usageTail)) {
    // Qt's own options are single-dash words (-platform, -reverse); read as long options they
    // cannot be mistaken for a bundle of short ones such as -v.
    parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser_.addOption(help_);
    parser_.addOption(version_);
}

void CommandLine::addOption(const QCommandLineOption& option) {
    options_.append(option);
    parser_.addOption(option);
}

void CommandLine::addArgument(const QString& name, const QString& description) {
    arguments_.append({name, description});
    parser_.addPositionalArgument(name, description);
}

void CommandLine::setEpilogue(const QString& text) {
    epilogue_ = text;
}

std::optional<int> CommandLine::answerInfoRequest(const QStringList& arguments, std::FILE* out) {
    // A failed parse still records the options it recognised; unknown ones wait for parse().
    parser_.parse(arguments);
    if (parser_.isSet(help_)) {
        print(out, helpText());
        return 0;
    }
    if (parser_.isSet(version_)) {
        print(out, versionText());
        return 0;
    }
    return std::nullopt;
}

std::optional<int> CommandLine::answerInfoRequest(int argc, char** argv, std::FILE* out) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    return answerInfoRequest(arguments, out);
}

bool CommandLine::parse(const QStringList& arguments, std::FILE* err) {
    if (parser_.parse(arguments)) {
        return true;
    }
    print(err, usageErrorText());
    return false;
}

QString CommandLine::helpText() const {
    QString usage = "Usage: " + program_ + " [OPTION]...";
    if (!usageTail_.isEmpty()) {
        usage += " " + usageTail_;
    }
    QString text = usage + "\n" + summary_ + "\n";
    if (!arguments_.isEmpty()) {
        QList<QPair<QString, QString>> rows;
        for (const auto& argument : arguments_) {
            rows.append({"  " + argument.first, argument.second});
        }
        text += "\nArguments:\n" + table(rows);
    }
    QList<QPair<QString, QString>> rows;
    for (const QCommandLineOption& option : options_) {
        rows.append({optionColumn(option), option.description()});
    }
    rows.append({optionColumn(help_), help_.description()});
    rows.append({optionColumn(version_), version_.description()});
    text += "\nOptions:\n" + table(rows);
    if (!epilogue_.isEmpty()) {
        text += "\n" + epilogue_;
        if (!text.endsWith('\n')) {
            text += "\n";
        }
    }
    return text;
}

QString CommandLine::versionText() const {
    return program_ + " " + TESSALY_VERSION + "\nBuild " + TESSALY_BUILD + "\n" +
           QString::fromUtf8(licenceNotice);
}

QString CommandLine::usageErrorText() const {
    return program_ + ": " + parser_.errorText() + "\nTry '" + program_ +
           " --help' for more information.\n";
}

}  // namespace platform
