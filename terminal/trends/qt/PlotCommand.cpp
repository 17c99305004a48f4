#include "terminal/trends/qt/PlotCommand.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimeZone>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/app/qt/CommandLine.h"
#include "platform/chart/qt/TrendChart.h"
#include "terminal/trends/Recording.h"
#include "terminal/trends/TrendItems.h"
#include "terminal/trends/TrendView.h"
#include "terminal/trends/qt/TrendsSource.h"

namespace terminal::plot {

namespace {

const QString plotName = QStringLiteral("plot");
const QString outputName = QStringLiteral("output");
const QString valuesName = QStringLiteral("values");
const QString sizeName = QStringLiteral("size");
const QString fromName = QStringLiteral("from");
const QString toName = QStringLiteral("to");
constexpr int smallestSide = 200;
constexpr int largestSide = 10000;
constexpr int failedStatus = 2;

int fail(const QString& text) {
    std::fputs(("Tessaly: " + text + "\n").toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    return failedStatus;
}

void warn(const QString& text) {
    std::fputs(("Tessaly: warning: " + text + "\n").toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

QString clockOf(std::int64_t utcMs, int utcOffsetMinutes) {
    return QDateTime::fromMSecsSinceEpoch(utcMs, QTimeZone(utcOffsetMinutes * 60))
        .toString(QStringLiteral("HH:mm:ss.zzz"));
}

std::optional<QSize> sizeOf(const QString& text) {
    static const QRegularExpression shape(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
    const QRegularExpressionMatch match = shape.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const QSize size(match.captured(1).toInt(), match.captured(2).toInt());
    if (size.width() < smallestSide || size.height() < smallestSide || size.width() > largestSide ||
        size.height() > largestSide) {
        return std::nullopt;
    }
    return size;
}

// A --values name: a column as the header spells it, an engine value's caption alone
// ("Engine RPM" for "Engine RPM [RPM]") or its short key ("engine_rpm").
std::optional<std::size_t> columnNamed(const Recording& recording, const QString& name) {
    for (const std::size_t item : recording.items()) {
        const TrendItem& entry = trendItems()[item];
        if (name == QString::fromStdString(entry.name) ||
            (!entry.unit.empty() && name == QString::fromStdString(entry.caption)) ||
            (!entry.key.empty() && name == QString::fromStdString(entry.key))) {
            return item;
        }
    }
    return std::nullopt;
}

// A column the header has that holds no numbers (the time, the link, the trouble codes).
bool isOtherColumn(const Recording& recording, const QString& name) {
    for (const std::string& column : recording.columnNames()) {
        if (name == QString::fromStdString(column)) {
            return true;
        }
    }
    return false;
}

QString columnList(const Recording& recording) {
    QStringList names;
    for (const std::size_t item : recording.items()) {
        names << QString::fromStdString(trendItems()[item].name);
    }
    return names.join(QStringLiteral(", "));
}

}  // namespace

void addPlotOptions(platform::CommandLine& options) {
    options.addOption(QCommandLineOption(
        plotName,
        QStringLiteral("draw the Trends plots of a recording made with --record into the PNG "
                       "named by --output, then exit; no window or display needed"),
        QStringLiteral("FILE.csv")));
    options.addOption(QCommandLineOption(outputName,
                                         QStringLiteral("with --plot: the PNG file to write"),
                                         QStringLiteral("FILE.png")));
    options.addOption(QCommandLineOption(
        valuesName,
        QStringLiteral("with --plot: the columns to plot, separated by commas, top first "
                       "(default: Engine RPM, coolant temperature, speed and the level)"),
        QStringLiteral("NAMES")));
    options.addOption(QCommandLineOption(
        sizeName, QStringLiteral("with --plot: the picture's size in pixels (default 1600x900)"),
        QStringLiteral("WxH")));
    options.addOption(QCommandLineOption(
        fromName,
        QStringLiteral("with --plot: draw from this time on, in seconds from the recording's "
                       "start or as a clock time HH:MM:SS (default: its start)"),
        QStringLiteral("TIME")));
    options.addOption(QCommandLineOption(
        toName,
        QStringLiteral("with --plot: draw up to this time, as --from takes it (default: the "
                       "recording's end)"),
        QStringLiteral("TIME")));
}

bool plotRequested(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--plot") == 0 || std::strncmp(argv[i], "--plot=", 7) == 0) {
            return true;
        }
    }
    return false;
}

bool checkWindowOptions(const platform::CommandLine& options) {
    for (const QString& name : {outputName, valuesName, sizeName, fromName, toName}) {
        if (options.isSet(name)) {
            std::fputs(("Tessaly: --" + name +
                        " needs --plot\nTry 'Tessaly --help' for more information.\n")
                           .toLocal8Bit()
                           .constData(),
                       stderr);
            return false;
        }
    }
    return true;
}

int runPlot(int argc, char** argv, platform::CommandLine& options) {
    // Drawn in memory: no display is asked for, whatever the environment names.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessaly"));
    if (!options.parse(QApplication::arguments())) {
        return platform::CommandLine::usageErrorStatus;
    }
    if (options.isSet(QStringLiteral("headless"))) {
        return fail(QStringLiteral("--plot and --headless do not go together"));
    }
    if (!options.isSet(outputName)) {
        return fail(QStringLiteral("--plot needs --output FILE.png"));
    }
    QSize size(1600, 900);
    if (options.isSet(sizeName)) {
        const std::optional<QSize> asked = sizeOf(options.value(sizeName));
        if (!asked) {
            return fail(QStringLiteral("--size takes WIDTHxHEIGHT, each %1 to %2 pixels "
                                       "(1600x900), not '%3'")
                            .arg(smallestSide)
                            .arg(largestSide)
                            .arg(options.value(sizeName)));
        }
        size = *asked;
    }

    const QString input = options.value(plotName);
    std::string error;
    const std::optional<Recording> recording = readRecording(input.toStdString(), error);
    if (!recording) {
        return fail(input + QLatin1Char(' ') + QString::fromStdString(error));
    }

    const Recording::Disorder& disorder = recording->disorder();
    if (disorder.rows > 0) {
        const int offset = recording->utcOffsetMinutes();
        warn(QStringLiteral("%1 row %2 (%3) is earlier than a row before it (%4): %5, drawn "
                            "in time order")
                 .arg(input)
                 .arg(disorder.firstRow)
                 .arg(clockOf(disorder.firstTime, offset), clockOf(disorder.latestBefore, offset),
                      disorder.rows == 1
                          ? QStringLiteral("1 row out of time order")
                          : QStringLiteral("%1 rows out of time order").arg(disorder.rows)));
    }

    std::vector<std::size_t> items;
    if (options.isSet(valuesName)) {
        for (const QString& part : options.value(valuesName).split(QLatin1Char(','))) {
            const QString name = part.trimmed();
            if (name.isEmpty()) {
                continue;
            }
            const std::optional<std::size_t> item = columnNamed(*recording, name);
            if (!item && isOtherColumn(*recording, name)) {
                return fail(QStringLiteral("--values: '%1' is not a numeric column of %2; its "
                                           "numeric columns are: %3")
                                .arg(name, input, columnList(*recording)));
            }
            if (!item) {
                return fail(QStringLiteral("--values: '%1' is not a column of %2; its columns "
                                           "are: %3")
                                .arg(name, input, columnList(*recording)));
            }
            items.push_back(*item);
        }
        if (items.empty()) {
            return fail(QStringLiteral("--values names no column; name one or more of %1, "
                                       "separated by commas: %2")
                            .arg(input, columnList(*recording)));
        }
    } else {
        items = recording->defaultItems();
    }

    ui::TrendsSource source;
    source.show(&*recording, recording->utcOffsetMinutes() * 60);
    source.setItems(items);
    std::int64_t from = 0;
    std::int64_t to = 1;
    const bool ranged = options.isSet(fromName) || options.isSet(toName);
    if (recording->size() > 0) {
        const std::string fromText = options.value(fromName).toStdString();
        const std::string toText = options.value(toName).toStdString();
        std::string why;
        const std::optional<TimeRange> range = plotRange(
            options.isSet(fromName) ? std::optional<std::string_view>(fromText) : std::nullopt,
            options.isSet(toName) ? std::optional<std::string_view>(toText) : std::nullopt,
            recording->time(0), recording->time(recording->size() - 1),
            recording->utcOffsetMinutes(), why);
        if (!range) {
            return fail(QString::fromStdString(why));
        }
        from = range->from;
        to = range->to;
        // Every row at one instant: a minute around it, so its readings stand as points.
        if (!ranged && to - from <= 1) {
            from -= 30 * 1000;
            to = from + 60 * 1000;
        }
    } else if (ranged) {
        return fail(input + QStringLiteral(" has no rows to choose a range of"));
    }
    platform::TrendChart chart;
    chart.setEmptyText(QStringLiteral("No values chosen."));
    chart.setSource(&source);
    chart.setRange(from, to);
    const QString name = QFileInfo(input).fileName();
    const QImage picture = chart.renderImage(
        size, recording->size() > 0 ? ui::rangeTitle(name, from, to, source.utcOffsetSeconds())
                                    : name + QStringLiteral(", no rows yet"));

    const QString output = options.value(outputName);
    QFile file(output);
    if (!file.open(QIODevice::WriteOnly)) {
        return fail(QStringLiteral("cannot write %1: %2").arg(output, file.errorString()));
    }
    if (!picture.save(&file, "PNG")) {
        const QString reason = file.errorString();
        file.remove();
        return fail(QStringLiteral("cannot write %1: %2").arg(output, reason));
    }
    return 0;
}

}  // namespace terminal::plot
