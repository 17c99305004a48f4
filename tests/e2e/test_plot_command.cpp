// `Tessaly --plot` as a script runs it, with no display: a recording Tessaly made against
// j1939-sim drawn into a PNG of the asked size, and each refusal as status 2 with one line on
// standard error.
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "J1939SimProcess.h"

namespace {

using testing_support::J1939SimProcess;
using testing_support::waitUntil;

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

// Tessaly with no display at all: neither DISPLAY nor a platform chosen for it.
Outcome tessaly(const QStringList& arguments, const QString& display = {}) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    if (!display.isEmpty()) {
        environment.insert("DISPLAY", display);
    }
    process.setProcessEnvironment(environment);
    dieWithTest(process);
    process.start(TESSALY_PATH, arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished(3000);
    }
    Outcome run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

void writeFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// Lines of standard error, without Qt's own notes about the runtime folder.
QStringList errorLines(const QString& err) {
    QStringList lines;
    for (const QString& line : err.split('\n', Qt::SkipEmptyParts)) {
        if (!line.startsWith("QStandardPaths:")) {
            lines << line;
        }
    }
    return lines;
}

TEST(PlotCommand, DrawsARecordingOfASessionWithALossIntoAPngOfTheAskedSize) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString ports = folder.path() + "/comports";
    const QString csv = folder.path() + "/run.csv";
    J1939SimProcess sim(ports, 30);
    ASSERT_TRUE(sim.start({"--rate", "20"}));

    QProcess recorder;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("COMPORTS_DIR", ports);
    recorder.setProcessEnvironment(environment);
    recorder.setStandardOutputFile(QProcess::nullDevice());
    dieWithTest(recorder);
    recorder.start(TESSALY_PATH, {"--headless", "--port", "COM30", "--settings",
                                  folder.path() + "/vive1939.ini", "--record", csv});
    ASSERT_TRUE(recorder.waitForStarted(5000));
    auto rowsWith = [&csv](const char* link) {
        QFile file(csv);
        return file.open(QIODevice::ReadOnly) ? file.readAll().count(link) : 0;
    };
    ASSERT_TRUE(waitUntil([&] { return rowsWith(",identified,") >= 20; }, 10000));
    sim.kill();  // the cable pulled: lost, then retries
    ASSERT_TRUE(waitUntil([&] { return rowsWith(",lost,") >= 1; }, 10000));
    ASSERT_TRUE(sim.start({"--rate", "20", "--level", "70"}));
    ASSERT_TRUE(waitUntil([&] { return rowsWith(",identified,") >= 40; }, 15000));
    recorder.write("quit\n");
    ASSERT_TRUE(recorder.waitForFinished(5000));

    const struct {
        QStringList extra;
        QSize size;
    } cases[] = {
        {{}, {1600, 900}},
        {{"--size", "640x480", "--values", "Engine RPM [RPM], level,Parking"}, {640, 480}},
        {{"--size", "1200x2000", "--values", "Speed (MPH)"}, {1200, 2000}},
        {{"--size", "640x480", "--values", "engine_rpm,battery_v"}, {640, 480}},
    };
    for (const auto& c : cases) {
        const QString png = folder.path() + "/plot.png";
        QFile::remove(png);
        const Outcome run = tessaly(QStringList{"--plot", csv, "--output", png} + c.extra);
        EXPECT_EQ(run.status, 0) << c.extra.join(' ').toStdString() << run.err.toStdString();
        EXPECT_EQ(errorLines(run.err), QStringList());
        EXPECT_EQ(QImage(png).size(), c.size) << c.extra.join(' ').toStdString();
    }
    // A display named but not there changes nothing: the plot never asks for one.
    const QString png = folder.path() + "/no-display.png";
    EXPECT_EQ(tessaly({"--plot", csv, "--output", png}, ":98").status, 0);
    EXPECT_EQ(QImage(png).size(), QSize(1600, 900));
}

TEST(PlotCommand, RefusesWithStatusTwoAndOneLine) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString good = folder.path() + "/good.csv";
    const QString foreign = folder.path() + "/foreign.csv";
    const QString png = folder.path() + "/out.png";
    writeFile(good,
              "time,link,level,Engine RPM [RPM],Speed (MPH) [MPH]\r\n"
              "2025-03-14T09:26:53.589+01:00,identified,50,4015.875,77.98\r\n");
    writeFile(foreign, "Date,Temperature\r\n2025-03-14,12.5\r\n");
    const struct {
        QStringList arguments;
        QString line;
    } cases[] = {
        {{"--plot", foreign, "--output", png},
         "Tessaly: " + foreign +
             " is not a recording by Tessaly (its first line is not the header "
             "time,link,level,...)"},
        {{"--plot", folder.path() + "/missing.csv", "--output", png},
         "Tessaly: " + folder.path() + "/missing.csv cannot be read: No such file or directory"},
        {{"--plot", good, "--output", png, "--values", "Engine RPM [RPM],Coolant"},
         "Tessaly: --values: 'Coolant' is not a column of " + good +
             "; its columns are: level, Engine RPM [RPM], Speed (MPH) [MPH]"},
        {{"--plot", good, "--output", folder.path() + "/no-such-folder/out.png"},
         "Tessaly: cannot write " + folder.path() +
             "/no-such-folder/out.png: No such file or directory"},
        {{"--plot", good, "--output", png, "--size", "1600x"},
         "Tessaly: --size takes WIDTHxHEIGHT, each 200 to 10000 pixels (1600x900), not "
         "'1600x'"},
        {{"--plot", good, "--output", png, "--size", "100x100"},
         "Tessaly: --size takes WIDTHxHEIGHT, each 200 to 10000 pixels (1600x900), not "
         "'100x100'"},
        {{"--plot", good, "--output", png, "--size", "10001x900"},
         "Tessaly: --size takes WIDTHxHEIGHT, each 200 to 10000 pixels (1600x900), not "
         "'10001x900'"},
        {{"--plot", good}, "Tessaly: --plot needs --output FILE.png"},
    };
    for (const auto& c : cases) {
        const Outcome run = tessaly(c.arguments);
        EXPECT_EQ(run.status, 2) << c.line.toStdString();
        EXPECT_EQ(errorLines(run.err), QStringList{c.line});
        EXPECT_EQ(run.out, QString());
        EXPECT_FALSE(QFile::exists(png)) << c.line.toStdString();
    }
}

// Pixels of one colour in rows [top, bottom) of a picture (all of it by default).
int pixelsOf(const QImage& picture, QRgb colour, int top = 0, int bottom = -1) {
    int count = 0;
    for (int y = top; y < (bottom < 0 ? picture.height() : bottom); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            count += (picture.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF) ? 1 : 0;
        }
    }
    return count;
}

TEST(PlotCommand, RefusesAnEmptyOrNonNumericValueAndWarnsOfRowsOutOfOrder) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString png = folder.path() + "/out.png";
    const QString good = folder.path() + "/good.csv";
    writeFile(good,
              "time,link,level,Engine RPM [RPM],ABS DM1\r\n"
              "2025-03-14T09:00:00.000+01:00,identified,50,4015.875,\r\n"
              "2025-03-14T09:00:20.000+01:00,identified,60,4819.125,\r\n");
    const QString unordered = folder.path() + "/unordered.csv";
    writeFile(unordered,
              "time,link,level,Engine RPM [RPM]\r\n"
              "2025-03-14T09:00:00.000+01:00,identified,50,4015.875\r\n"
              "2025-03-14T09:00:20.000+01:00,identified,60,4819.125\r\n"
              "2025-03-14T09:00:10.000+01:00,identified,55,4417.5\r\n"
              "2025-03-14T09:00:05.000+01:00,identified,52,4176.5\r\n");
    const QString oneBack = folder.path() + "/one-back.csv";
    writeFile(oneBack,
              "time,link,level,Engine RPM [RPM]\r\n"
              "2025-03-14T09:00:00.000+01:00,identified,50,4015.875\r\n"
              "2025-03-14T09:00:20.000+01:00,identified,60,4819.125\r\n"
              "2025-03-14T09:00:10.000+01:00,identified,55,4417.5\r\n");
    const struct {
        QStringList arguments;
        int status;
        QString line;
    } cases[] = {
        {{"--plot", good, "--values", ""},
         2,
         "Tessaly: --values names no column; name one or more of " + good +
             ", separated by commas: level, Engine RPM [RPM]"},
        {{"--plot", good, "--values", " , "},
         2,
         "Tessaly: --values names no column; name one or more of " + good +
             ", separated by commas: level, Engine RPM [RPM]"},
        {{"--plot", good, "--values", "ABS DM1"},
         2,
         "Tessaly: --values: 'ABS DM1' is not a numeric column of " + good +
             "; its numeric columns are: level, Engine RPM [RPM]"},
        {{"--plot", good, "--values", "level,time"},
         2,
         "Tessaly: --values: 'time' is not a numeric column of " + good +
             "; its numeric columns are: level, Engine RPM [RPM]"},
        {{"--plot", unordered},
         0,
         "Tessaly: warning: " + unordered +
             " row 4 (09:00:10.000) is earlier than a row before it (09:00:20.000): 2 rows out "
             "of time order, drawn in time order"},
        {{"--plot", oneBack},
         0,
         "Tessaly: warning: " + oneBack +
             " row 4 (09:00:10.000) is earlier than a row before it (09:00:20.000): 1 row out "
             "of time order, drawn in time order"},
    };
    for (const auto& c : cases) {
        QFile::remove(png);
        const Outcome run = tessaly(c.arguments + QStringList{"--output", png});
        EXPECT_EQ(run.status, c.status) << c.line.toStdString();
        EXPECT_EQ(errorLines(run.err), QStringList{c.line});
        EXPECT_EQ(QFile::exists(png), c.status == 0) << c.line.toStdString();
    }
}

TEST(PlotCommand, DrawsALoneReadingAsAPointAShortLossInSightAndMarksValuesLeftOut) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString png = folder.path() + "/out.png";
    const QRgb firstLine = qRgb(31, 119, 180);
    const QRgb shortLoss = qRgb(222, 110, 110);
    const QRgb leftOut = qRgb(128, 0, 128);
    // An hour with a loss of two seconds in its middle.
    QByteArray hour =
        "time,link,level,Engine RPM [RPM]\r\n"
        "2025-03-14T09:00:00.000+01:00,identified,50,4015.875\r\n"
        "2025-03-14T09:30:00.000+01:00,identified,50,4015.875\r\n"
        "2025-03-14T09:30:00.500+01:00,lost,,\r\n"
        "2025-03-14T09:30:02.500+01:00,identified,,\r\n"
        "2025-03-14T09:30:02.700+01:00,identified,60,4819.125\r\n"
        "2025-03-14T10:00:00.000+01:00,identified,60,4819.125\r\n";
    const struct {
        const char* what;
        QByteArray text;
        int lines;    // at least so many pixels of the first plot's line
        bool loss;    // a short loss drawn across the plot
        bool marked;  // a value left out marked
    } cases[] = {
        {"one reading",
         "time,link,level,Engine RPM [RPM]\r\n"
         "2025-03-14T09:00:00.000+01:00,identified,50,4015.875\r\n",
         12, false, false},
        {"readings between losses",
         "time,link,level,Engine RPM [RPM]\r\n"
         "2025-03-14T09:00:00.000+01:00,lost,,\r\n"
         "2025-03-14T09:00:10.000+01:00,identified,,\r\n"
         "2025-03-14T09:00:10.200+01:00,identified,50,4015.875\r\n"
         "2025-03-14T09:00:10.300+01:00,lost,,\r\n"
         "2025-03-14T09:00:20.000+01:00,identified,,\r\n",
         8, false, false},  // held for its 0.1 s: a short level stroke
        {"a 2 s loss in an hour", hour, 800, true, false},
        {"values that are no reading",
         "time,link,level,Engine RPM [RPM]\r\n"
         "2025-03-14T09:00:00.000+01:00,identified,50,4015.875\r\n"
         "2025-03-14T09:00:10.000+01:00,identified,50,99999\r\n"
         "2025-03-14T09:00:20.000+01:00,identified,50,inf\r\n"
         "2025-03-14T09:00:30.000+01:00,identified,60,4819.125\r\n",
         12, false, true},
    };
    for (const auto& c : cases) {
        const QString csv = folder.path() + "/run.csv";
        writeFile(csv, c.text);
        QFile::remove(png);
        const Outcome run = tessaly({"--plot", csv, "--output", png, "--values", "Engine RPM"});
        ASSERT_EQ(run.status, 0) << c.what << run.err.toStdString();
        const QImage picture(png);
        EXPECT_GE(pixelsOf(picture, firstLine), c.lines) << c.what;
        // Across the plot's middle row: not the legend's key, nor the marks on the time axis.
        const int middle = picture.height() / 2;
        EXPECT_EQ(pixelsOf(picture, shortLoss, middle, middle + 1), c.loss ? 3 : 0) << c.what;
        EXPECT_EQ(pixelsOf(picture, leftOut) > 0, c.marked) << c.what;
    }
}

TEST(PlotCommand, DrawsOnlyTheRangeChosenByFromAndToAndRefusesOneOutsideOrReversed) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString csv = folder.path() + "/run.csv";
    const QString png = folder.path() + "/out.png";
    // Two minutes: 09:00:00 to 09:02:00 at UTC+01:00, the level rising by ten a minute.
    writeFile(csv,
              "time,link,level,Engine RPM [RPM]\r\n"
              "2025-03-14T09:00:00.000+01:00,identified,10,803.125\r\n"
              "2025-03-14T09:01:00.000+01:00,identified,20,1606.375\r\n"
              "2025-03-14T09:02:00.000+01:00,identified,30,2409.5\r\n");
    const QString whole = folder.path() + "/whole.png";
    ASSERT_EQ(tessaly({"--plot", csv, "--output", whole, "--size", "800x400"}).status, 0);
    const QStringList good[] = {
        {"--from", "30", "--to", "90"},
        {"--from", "09:01:00"},
        {"--to", "09:01:00.500"},
    };
    for (const QStringList& range : good) {
        QFile::remove(png);
        const Outcome run =
            tessaly(QStringList{"--plot", csv, "--output", png, "--size", "800x400"} + range);
        EXPECT_EQ(run.status, 0) << range.join(' ').toStdString() << run.err.toStdString();
        const QImage picture(png);
        EXPECT_EQ(picture.size(), QSize(800, 400));
        // Another range drawn: not the picture of the whole recording.
        EXPECT_NE(picture, QImage(whole)) << range.join(' ').toStdString();
    }

    const struct {
        QStringList range;
        QString line;
    } refused[] = {
        {{"--from", "90", "--to", "30"}, "Tessaly: --from 90 is not before --to 30"},
        {{"--from", "09:01:30", "--to", "09:00:30"},
         "Tessaly: --from 09:01:30 is not before --to 09:00:30"},
        {{"--to", "121"},
         "Tessaly: --to 121 is outside the recording, which runs from 09:00:00 to 09:02:00 (0 "
         "to 120 s)"},
        {{"--from", "08:59:59"},
         "Tessaly: --from 08:59:59 is outside the recording, which runs from 09:00:00 to "
         "09:02:00 (0 to 120 s)"},
        {{"--to", "00:00:10"},  // before the start: the next day's, after the end
         "Tessaly: --to 00:00:10 is outside the recording, which runs from 09:00:00 to "
         "09:02:00 (0 to 120 s)"},
        {{"--from", "soon"},
         "Tessaly: --from takes seconds from the recording's start or a clock time HH:MM:SS, "
         "not 'soon'"},
    };
    QFile::remove(png);
    for (const auto& c : refused) {
        const Outcome run = tessaly(QStringList{"--plot", csv, "--output", png} + c.range);
        EXPECT_EQ(run.status, 2) << c.line.toStdString();
        EXPECT_EQ(errorLines(run.err), QStringList{c.line});
        EXPECT_FALSE(QFile::exists(png)) << c.line.toStdString();
    }
}

}  // namespace
