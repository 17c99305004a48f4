// Recording a session end to end: Tessaly (headless, as a script runs it) against j1939-sim
// writes the CSV and the raw line log; j1939-sim --replay plays the log back to a second
// Tessaly, whose CSV shows the same dashboard.
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <signal.h>

#include "J1939SimProcess.h"

namespace {

using testing_support::J1939SimProcess;
using testing_support::waitUntil;

// `Tessaly --headless` recording through the port map in `portMap`; ended with quit.
class RecordingTessaly {
public:
    RecordingTessaly(const QString& portMap, const QString& folder) : folder_(folder) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("COMPORTS_DIR", portMap);
        process_.setProcessEnvironment(environment);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.setStandardOutputFile(QProcess::nullDevice());
    }
    ~RecordingTessaly() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(3000);
        }
    }

    bool start(int comNumber, const QStringList& recordOptions) {
        process_.start(TESSALY_PATH,
                       QStringList{"--headless", "--port", "COM" + QString::number(comNumber),
                                   "--settings", folder_ + "/vive1939.ini", "--status-rate", "0"} +
                           recordOptions);
        return process_.waitForStarted(5000);
    }

    bool quit() {
        process_.write("quit\n");
        return waitUntil([this] { return process_.state() == QProcess::NotRunning; }, 5000);
    }

    // Held still (SIGSTOP) while the line goes on bringing lines.
    void pause() { ::kill(static_cast<pid_t>(process_.processId()), SIGSTOP); }
    // The quit put before it, then let go: both inputs are waiting at once.
    bool quitAfterPause() {
        process_.write("quit\n");
        process_.waitForBytesWritten(3000);
        ::kill(static_cast<pid_t>(process_.processId()), SIGCONT);
        return waitUntil([this] { return process_.state() == QProcess::NotRunning; }, 5000);
    }

private:
    QString folder_;
    QProcess process_;
};

// The CSV's rows, each split into its fields (no field here holds a comma or quote).
QList<QStringList> csvRows(const QString& path) {
    QFile file(path);
    QList<QStringList> rows;
    if (!file.open(QIODevice::ReadOnly)) {
        return rows;
    }
    const QString text = QString::fromUtf8(file.readAll());
    for (const QString& row : text.split("\r\n", Qt::SkipEmptyParts)) {
        rows.append(row.split(','));
    }
    return rows;
}

int csvRowsWhere(const QString& path, const QString& link) {
    int count = 0;
    for (const QStringList& row : csvRows(path)) {
        count += row.value(1) == link ? 1 : 0;
    }
    return count;
}

// A folder of the test's own for the port map and the files; j1939-sim held at level 42.
class RecordingAtLevel42 : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    const QStringList level42{"--no-dynamic", "--level", "42", "--rate", "10"};
    QTemporaryDir folder;
    const QString ports = folder.path() + "/comports";
    const QString csv = folder.path() + "/run.csv";
};

TEST_F(RecordingAtLevel42, CsvOfARunAndItsLineLog) {
    J1939SimProcess sim(ports, 40);
    ASSERT_TRUE(sim.start(level42));
    RecordingTessaly tessaly(ports, folder.path());
    const QString lines = folder.path() + "/run.lines";
    ASSERT_TRUE(tessaly.start(40, {"--record", csv, "--record-lines", lines}));
    ASSERT_TRUE(waitUntil([&] { return csvRowsWhere(csv, "identified") >= 5; }, 10000))
        << sim.log().toStdString();
    ASSERT_TRUE(tessaly.quit());

    const QList<QStringList> rows = csvRows(csv);
    ASSERT_GE(rows.size(), 8);
    const QStringList& header = rows[0];
    ASSERT_EQ(header.size(), 61);
    EXPECT_EQ(header.mid(0, 5).join('|').toStdString(),
              "time|link|level|Engine RPM [RPM]|Engine Load% [%]");
    EXPECT_EQ(header[27].toStdString(), "EGR Mass Flow Rate [kg/Hr]");
    EXPECT_EQ(header[30].toStdString(), "Parking");
    EXPECT_EQ(header.mid(50, 11).join('|').toStdString(),
              "WIF|Engine Amber|Engine Red Stop|Transmission Amber|Transmission Red Stop|"
              "ABS Amber|ABS Red Stop|Engine DM1|ABS DM1|Transmission DM1|Engine DM2");

    // Link-state rows in their order: start-up, the port opened, the simulator identified,
    // and the quit.
    QStringList links;
    for (const QStringList& row : rows.mid(1)) {
        if (links.isEmpty() || links.last() != row[1]) {
            links.append(row[1]);
        }
    }
    EXPECT_EQ(links.join(' ').toStdString(), "disconnected connecting identified disconnected");

    // A row of a status line at level 42, Warnings on.
    const QRegularExpression time(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d$)");
    const QStringList& row = rows[rows.size() - 2];
    EXPECT_TRUE(time.match(row[0]).hasMatch()) << row[0].toStdString();
    EXPECT_EQ(row.mid(1, 3).join('|').toStdString(), "identified|42|3373.375");
    EXPECT_EQ(row[51].toStdString(), "1");  // Engine Amber
    EXPECT_EQ(row[57].toStdString(), "110:0:1:0");
    EXPECT_EQ(row[58].toStdString(), "");  // ABS DM1: the zero row, no code
    EXPECT_EQ(row[60].toStdString(), "110:0:1:0");

    QFile log(lines);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString logText = QString::fromLatin1(log.readAll());
    EXPECT_TRUE(
        QRegularExpression(R"(^\d+\.\d{3} tx AT ID\?$)", QRegularExpression::MultilineOption)
            .match(logText)
            .hasMatch())
        << logText.toStdString();
    EXPECT_TRUE(logText.contains(" rx BRC %SA2509B\n")) << logText.toStdString();
}

// Across a device that goes and comes back, no row but an identified one after a status line
// holds anything besides its time and link: no 0 rpm or -459.4 F while nothing is there.
TEST_F(RecordingAtLevel42, ARunAcrossALostDeviceHoldsNoInventedReading) {
    J1939SimProcess sim(ports, 22);
    ASSERT_TRUE(sim.start(level42));
    RecordingTessaly tessaly(ports, folder.path());
    ASSERT_TRUE(tessaly.start(22, {"--record", csv}));
    ASSERT_TRUE(waitUntil([&] { return csvRowsWhere(csv, "identified") >= 4; }, 10000))
        << sim.log().toStdString();
    sim.unplug();
    ASSERT_TRUE(waitUntil([&] { return csvRowsWhere(csv, "lost") >= 1; }, 5000));
    const int identifiedBefore = csvRowsWhere(csv, "identified");
    ASSERT_TRUE(sim.start(level42));
    ASSERT_TRUE(
        waitUntil([&] { return csvRowsWhere(csv, "identified") >= identifiedBefore + 4; }, 10000))
        << sim.log().toStdString();
    ASSERT_TRUE(tessaly.quit());

    QStringList links;
    int readings = 0;
    int engineDm1Codes = 0;
    for (const QStringList& row : csvRows(csv).mid(1)) {
        SCOPED_TRACE(row.join(',').toStdString());
        ASSERT_EQ(row.size(), 61);
        if (links.isEmpty() || links.last() != row[1]) {
            links.append(row[1]);
        }
        const QString cells = row.mid(2).join("");
        if (row[1] != "identified" || cells.isEmpty()) {
            EXPECT_EQ(cells.toStdString(), "");
            continue;
        }
        ++readings;
        EXPECT_EQ(row.mid(2, 2).join('|').toStdString(), "42|3373.375");
        // The first status line's Warnings reach the codes with the next line.
        engineDm1Codes += row[57] == "110:0:1:0" ? 1 : 0;
    }
    EXPECT_EQ(links.join(' ').toStdString(),
              "disconnected connecting identified lost connecting identified disconnected");
    EXPECT_GE(readings, 6);
    EXPECT_GE(engineDm1Codes, 4);
}

// Everything of a status row but its time, in the order the rows came.
QStringList statusRows(const QString& path) {
    QStringList shown;
    for (const QStringList& row : csvRows(path)) {
        if (row.value(1) == "identified" && row.size() == 61) {
            shown.append(row.mid(2).join(','));
        }
    }
    return shown;
}

TEST(Recording, TheLineLogReplayedShowsTheSameDashboard) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString ports = folder.path() + "/comports";
    const QString lines = folder.path() + "/sweep.lines";
    const QString recorded = folder.path() + "/recorded.csv";
    {
        // A sweep through the levels, so the rows differ from each other.
        J1939SimProcess sim(ports, 40);
        ASSERT_TRUE(sim.start({"--level", "30", "--sweep", "3", "--rate", "10"}));
        RecordingTessaly tessaly(ports, folder.path());
        ASSERT_TRUE(tessaly.start(40, {"--record", recorded, "--record-lines", lines}));
        ASSERT_TRUE(waitUntil([&] { return csvRowsWhere(recorded, "identified") >= 15; }, 10000))
            << sim.log().toStdString();
        ASSERT_TRUE(tessaly.quit());
    }
    const QStringList original = statusRows(recorded);
    ASSERT_GE(original.size(), 15);

    J1939SimProcess replay(ports, 39);
    ASSERT_TRUE(replay.start({"--replay", lines, "--replay-speed", "3"}));
    RecordingTessaly tessaly(ports, folder.path());
    const QString replayed = folder.path() + "/replayed.csv";
    ASSERT_TRUE(tessaly.start(39, {"--record", replayed}));
    ASSERT_TRUE(replay.waitForLog("replay finished", 15000)) << replay.log().toStdString();
    // Sent is not yet shown: quit once the rows are in (or it is clear they never come).
    waitUntil([&] { return statusRows(replayed).size() >= original.size(); }, 5000);
    ASSERT_TRUE(tessaly.quit());
    EXPECT_EQ(statusRows(replayed).join('\n').toStdString(), original.join('\n').toStdString());
}

TEST(Recording, LinesThatCameBeforeTheQuitAreInTheRecording) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString ports = folder.path() + "/comports";
    J1939SimProcess sim(ports, 9);
    ASSERT_TRUE(sim.start({"--no-dynamic", "--level", "42", "--rate", "10", "--verbose"}));
    RecordingTessaly tessaly(ports, folder.path());
    const QString csv = folder.path() + "/run.csv";
    ASSERT_TRUE(tessaly.start(9, {"--record", csv}));
    ASSERT_TRUE(waitUntil([&] { return csvRowsWhere(csv, "identified") >= 3; }, 10000))
        << sim.log().toStdString();

    tessaly.pause();
    const int shown = csvRowsWhere(csv, "identified");
    const int sent = static_cast<int>(sim.log().count("TX \"BRC %S"));
    // Three status lines go out meanwhile; the last may still be on its way when the quit is.
    ASSERT_TRUE(waitUntil([&] { return sim.log().count("TX \"BRC %S") >= sent + 3; }, 5000))
        << sim.log().toStdString();
    ASSERT_TRUE(tessaly.quitAfterPause());
    EXPECT_GE(csvRowsWhere(csv, "identified"), shown + 2);
}

}  // namespace
