// Progress of several boards on a terminal: every line fits its width whatever the port
// names, long device paths shortened from the left, the figures in one column that keeps its
// place; and the same on a real pseudo-terminal of 80 columns.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "BootTargetProcess.h"
#include "ImageFiles.h"
#include "loader/cli/GangProgress.h"

using loader::cli::GangProgress;

namespace {

const QString byId1 = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
const QString byId2 = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A907QX4C-if00-port0";
const QString writing = "writing   42%  9866 of 23053 bytes  18620 B/s  0:00 left";

}  // namespace

TEST(ProgressWidth, LinesFitTheTerminalWithLabelsShortenedFromTheLeft) {
    const struct {
        const char* name;
        std::vector<GangProgress::Row> rows;
        int columns;
        QStringList lines;
    } table[] = {
        {"short ports stay whole",
         {{"COM3 (/dev/ttyUSB0)", "COM3 (/dev/ttyUSB0)", writing},
          {"COM11 (/dev/ttyUSB1)", "COM11 (/dev/ttyUSB1)", "waiting for the boot loader"}},
         79,
         {"COM3 (/dev/ttyUSB0)   writing   42%  9866 of 23053 bytes  18620 B/s  0:00 left",
          "COM11 (/dev/ttyUSB1)  waiting for the boot loader"}},
        {"device paths lose their device, then their start",
         {{byId1 + " (/dev/ttyUSB0)", byId1, writing},
          {byId2 + " (/dev/ttyUSB1)", byId2, "erasing    7%  9 of 128"}},
         79,
         {"…_A50285BI-if00-port0  writing   42%  9866 of 23053 bytes  18620 B/s  0:00 left",
          "…_A907QX4C-if00-port0  erasing    7%  9 of 128"}},
        {"a wide terminal shows them whole",
         {{byId1 + " (/dev/ttyUSB0)", byId1, writing}},
         200,
         {byId1 + " (/dev/ttyUSB0)  " + writing}},
        {"a failure's reason is cut, not the other labels",
         {{"/dev/ttyUSB0", "/dev/ttyUSB0",
           "failed: no answer from the target for 10 s while writing: stopped at byte 9866 of "
           "23053: program the target again",
           true},
          {"/dev/ttyUSB1", "/dev/ttyUSB1", writing}},
         79,
         {"/dev/ttyUSB0  failed: no answer from the target for 10 s while writing: stopped",
          "/dev/ttyUSB1  writing   42%  9866 of 23053 bytes  18620 B/s  0:00 left"}},
        {"a narrow terminal keeps a short label and cuts the figures",
         {{byId1, byId1, writing}},
         40,
         {"…-if00-port0  writing   42%  9866 of 230"}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        int labelWidth = -1;
        EXPECT_EQ(GangProgress::fitBlock(row.rows, row.columns, labelWidth), row.lines);
    }
}

TEST(ProgressWidth, TheLabelColumnOnlyNarrowsSoFiguresKeepTheirPlace) {
    const QString label = byId1 + " (/dev/ttyUSB0)";
    const struct {
        QString figures;
        QString line;
    } redraws[] = {
        {"waiting for the boot loader",
         "…y-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0  waiting for the boot loader"},
        {writing, "…_A50285BI-if00-port0  " + writing},
        {"programmed  23053 bytes in 1.2 s, 19210 B/s",
         "…_A50285BI-if00-port0  programmed  23053 bytes in 1.2 s, 19210 B/s"},
    };
    int labelWidth = -1;
    for (const auto& redraw : redraws) {
        EXPECT_EQ(GangProgress::fitBlock({{label, byId1, redraw.figures}}, 79, labelWidth),
                  QStringList{redraw.line});
    }
}

namespace {

// Runs bootloader with standard error on a pseudo-terminal `columns` wide; what it drew there.
// Standard output (the table at the end) goes nowhere, to the same terminal with `tableTo`
// "-", or to the file `tableTo`.
QByteArray runOnTerminal(const QString& folder, const QStringList& args, int columns, int& status,
                         const QString& tableTo = {}) {
    winsize size{};
    size.ws_row = 24;
    size.ws_col = static_cast<unsigned short>(columns);
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, &size) != 0) {
        ADD_FAILURE() << "no pseudo-terminal";
        return {};
    }
    std::vector<QByteArray> argBytes{QByteArray(BOOTLOADER_PATH)};
    for (const QString& arg : args) {
        argBytes.push_back(QFile::encodeName(arg));
    }
    std::vector<char*> argv;
    for (auto& arg : argBytes) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const QByteArray folderBytes = QFile::encodeName(folder);
    const QByteArray tableBytes = QFile::encodeName(tableTo.isEmpty() ? "/dev/null" : tableTo);
    const pid_t child = ::fork();
    if (child == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::setenv("COMPORTS_DIR", folderBytes.constData(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::dup2(slave, STDERR_FILENO);
        if (tableTo == "-") {
            ::dup2(slave, STDOUT_FILENO);
        } else {
            const int table = ::open(tableBytes.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(table, STDOUT_FILENO);
        }
        ::close(master);
        ::close(slave);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(slave);
    QByteArray drawn;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0) {
            break;  // EIO once the program has ended and closed its side
        }
        drawn.append(buffer, n);
    }
    ::close(master);
    int wait = 0;
    ::waitpid(child, &wait, 0);
    status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
    return drawn;
}

}  // namespace

TEST(ProgressWidth, TwoBoardsByLongDevicePathsStayInPlaceOnAn80ColumnTerminal) {
    QTemporaryDir dir;
    const QByteArray content = testing_support::intelHex(6000);
    const QString image = testing_support::writeFile(dir.filePath("fw.hex"), content);
    testing_support::BootTargetProcess first(dir.path(), 11), second(dir.path(), 16);
    ASSERT_TRUE(first.start({"--quiet"}));
    ASSERT_TRUE(second.start({"--quiet"}));
    QDir(dir.path()).mkpath("serial/by-id");
    const QString long1 = dir.filePath("serial/by-id/" + byId1.section('/', -1));
    const QString long2 = dir.filePath("serial/by-id/" + byId2.section('/', -1));
    ASSERT_TRUE(QFile::link(first.device(), long1));
    ASSERT_TRUE(QFile::link(second.device(), long2));

    int status = -1;
    const QByteArray drawn = runOnTerminal(
        dir.path(), {image, "--program", "--port", long1, "--port", long2, "--timeout", "120"}, 80,
        status);
    EXPECT_EQ(status, 0) << drawn.toStdString();

    // Every redraw of the block as the terminal shows it, the cursor controls taken out: no
    // line reaches the last column, and the figures of both ports start in the same column.
    int progressLines = 0;
    for (const QString& block : QString::fromUtf8(drawn).split("\x1b[2A")) {
        QString text = block;
        text.remove(QRegularExpression("\x1b\\[[0-9]*[AK]"));
        qsizetype column = -1;
        for (QString line : text.split('\n')) {
            // The terminal ends a line with CR LF; a "\r" before the text returns to column 0.
            if (line.endsWith('\r')) {
                line.chop(1);
            }
            line = line.section('\r', -1);
            EXPECT_LE(line.size(), 79) << line.toStdString();
            const qsizetype figures =
                line.indexOf(QRegularExpression("(writing|erasing)\\s+\\d+%"));
            if (figures < 0) {
                continue;
            }
            ++progressLines;
            EXPECT_TRUE(line.startsWith(QString(QChar(0x2026)))) << line.toStdString();
            EXPECT_TRUE(column < 0 || column == figures) << text.toStdString();
            column = figures;
        }
    }
    EXPECT_GE(progressLines, 2);
    first.finish();
    second.finish();
}

namespace {

// The lines as the terminal shows them from the table's heading on, cursor controls taken out.
QStringList tableLines(const QByteArray& drawn) {
    QString text = QString::fromUtf8(drawn);
    text.remove(QRegularExpression("\x1b\\[[0-9]*[AK]"));
    QStringList lines;
    bool inTable = false;
    for (QString line : text.split('\n')) {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        line = line.section('\r', -1);
        inTable = inTable || line.startsWith("Port  ");
        if (inTable && !line.isEmpty()) {
            lines << line;
        }
    }
    return lines;
}

}  // namespace

// Two boards by their /dev/serial/by-id names, the second vanishing part-way: on an 80-column
// terminal the table's every line fits, the paths shortened from the left and the reason
// wrapped in its column; in a log and in the report the same table keeps every text whole.
TEST(ProgressWidth, TheResultsTableFitsAn80ColumnTerminalAndStaysWholeInALog) {
    QTemporaryDir dir;
    const QString image =
        testing_support::writeFile(dir.filePath("fw.hex"), testing_support::intelHex(6000));
    QDir(dir.path()).mkpath("first");
    QDir(dir.path()).mkpath("second");
    QDir(dir.path()).mkpath("serial/by-id");
    const QString long1 = dir.filePath("serial/by-id/" + byId1.section('/', -1));
    const QString long2 = dir.filePath("serial/by-id/" + byId2.section('/', -1));
    const QString reasonEnd = "Check the connection and try again.";

    struct Run {
        QString tableTo;
        bool fitted;
    };
    for (const Run& run : {Run{"-", true}, Run{dir.filePath("table.log"), false}}) {
        SCOPED_TRACE(run.tableTo.toStdString());
        testing_support::BootTargetProcess first(dir.filePath("first"), 24),
            second(dir.filePath("second"), 24);
        ASSERT_TRUE(first.start({"--quiet"}));
        ASSERT_TRUE(second.start({"--quiet", "--vanish-at", "3000"}));
        QFile::remove(long1);
        QFile::remove(long2);
        ASSERT_TRUE(QFile::link(first.device(), long1));
        ASSERT_TRUE(QFile::link(second.device(), long2));
        int status = -1;
        const QString report = dir.filePath("line.json");
        const QByteArray drawn = runOnTerminal(dir.path(),
                                               {image, "--program", "--port", long1, "--port",
                                                long2, "--timeout", "120", "--report", report},
                                               80, status, run.tableTo);
        EXPECT_EQ(status, 1) << drawn.toStdString();
        QByteArray tableText = drawn;
        if (!run.fitted) {
            QFile log(run.tableTo);
            ASSERT_TRUE(log.open(QIODevice::ReadOnly));
            tableText = log.readAll();
        }
        const QStringList lines = tableLines(tableText);
        ASSERT_GE(lines.size(), 3) << tableText.toStdString();
        EXPECT_TRUE(lines[0].startsWith("Port  ")) << lines[0].toStdString();
        const qsizetype resultColumn = lines[0].indexOf("Result");
        QString reason;
        for (qsizetype i = 2; i < lines.size(); ++i) {
            reason += lines[i].mid(i == 2 ? lines[i].indexOf("failed: ") : resultColumn) + ' ';
        }
        if (run.fitted) {
            for (const QString& line : lines) {
                EXPECT_LE(line.size(), 79) << line.toStdString();
            }
            EXPECT_TRUE(lines[1].startsWith(QString(QChar(0x2026)) + "A50285BI-if00-port0"))
                << lines[1].toStdString();
            EXPECT_TRUE(lines[2].startsWith(QString(QChar(0x2026)) + "A907QX4C-if00-port0"))
                << lines[2].toStdString();
            EXPECT_TRUE(lines[1].endsWith("  programmed")) << lines[1].toStdString();
            // The reason goes on under its column, the other cells empty there.
            EXPECT_GE(lines.size(), 4) << tableText.toStdString();
            EXPECT_TRUE(lines.last().left(resultColumn).trimmed().isEmpty())
                << lines.last().toStdString();
        } else {
            ASSERT_EQ(lines.size(), 3) << tableText.toStdString();
            EXPECT_TRUE(lines[1].startsWith(long1 + "  ")) << lines[1].toStdString();
            EXPECT_TRUE(lines[2].startsWith(long2 + "  ")) << lines[2].toStdString();
            EXPECT_TRUE(lines[2].endsWith(reasonEnd)) << lines[2].toStdString();
        }
        EXPECT_TRUE(reason.simplified().startsWith("failed: The serial port"))
            << reason.toStdString();
        EXPECT_TRUE(reason.simplified().endsWith(reasonEnd)) << reason.toStdString();

        QFile json(report);
        ASSERT_TRUE(json.open(QIODevice::ReadOnly));
        const QString whole = QString::fromUtf8(json.readAll());
        EXPECT_TRUE(whole.contains("\"port\": \"" + long2 + "\"")) << whole.toStdString();
        EXPECT_TRUE(whole.contains(QRegularExpression("\"reason\": \"The serial port [^\"]*" +
                                                      QRegularExpression::escape(reasonEnd))))
            << whole.toStdString();
        first.finish();
        second.finish();
    }
}
