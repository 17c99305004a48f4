// The window's status bar: what a run is doing while it runs, and afterwards how the last one
// ended, kept until the next action toward the target.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QTime>

#include "WindowFixture.h"
#include "loader/ui/LoaderLayout.h"

using testing_support::LoaderWindowTest;
namespace ids = loader::ids;

namespace {

enum class Ending { programmed, lostWriting, lostErasing, fileGone, damagedHex, emptyFile };

struct EndingCase {
    const char* name;
    Ending ending;
    // "%1" stands for the test's folder.
    const char* result;
    // What the tool tip adds: the message box's text.
    const char* tip;
};

void PrintTo(const EndingCase& row, std::ostream* out) {
    *out << row.name;
}

class StatusBarTest : public LoaderWindowTest, public ::testing::WithParamInterface<EndingCase> {
protected:
    StatusBarTest() {
        // An empty port map: COM1 names no device here.
        qputenv("COMPORTS_DIR", dir.path().toLocal8Bit());
        window.statusBar().setTimeOfDay([] { return QTime(18, 2, 11); });
    }

    QString state() { return window.statusBar().stateText(); }

    // Chooses the file, connects and presses Program.
    void identifyAndProgram(const QString& name, const QByteArray& content) {
        chooseFile(name, content);
        click(ids::connectButton);
        serial.receive(std::string("wVell-3.2 boot-target\r\n"));
        click(ids::programButton);
    }
    // Lets the target erase; the first image byte is out then, at clock time `writeStartMs`.
    void startWriting(std::uint32_t writeStartMs) {
        serial.receive(std::vector<std::uint8_t>{0xA5, 0x00, 0x02, 0x00});
        clock.now = writeStartMs;
        serial.receive(std::vector<std::uint8_t>{0x00});
    }
    void echoUntilSent(int count) {
        while (window.link().writing() && int(window.link().sentCount()) < count) {
            echoLastByte();
        }
    }
    void losePort() {
        serial.open = false;
        serial.event = platform::comEvPortLost;
        serial.receive(std::vector<std::uint8_t>{});
        serial.event = platform::comEvReceive;
    }
    void play(Ending ending) {
        switch (ending) {
            case Ending::programmed:
                identifyAndProgram("fw.bin", QByteArray(23053, 'q'));
                startWriting(1000);
                echoUntilSent(23053);
                clock.now = 6300;
                echoLastByte();
                break;
            case Ending::lostWriting:
                identifyAndProgram("fw.bin", QByteArray(23053, 'q'));
                startWriting(1000);
                echoUntilSent(9866);
                losePort();
                break;
            case Ending::lostErasing:
                identifyAndProgram("fw.bin", QByteArray(100, 'q'));
                serial.receive(std::vector<std::uint8_t>{0xA5, 0x00, 0x09});
                losePort();
                break;
            case Ending::fileGone:
                identifyAndProgram("fw.bin", QByteArray(100, 'q'));
                QFile::remove(dir.filePath("fw.bin"));
                serial.receive(std::vector<std::uint8_t>{0xA5, 0x00, 0x00, 0x00});
                break;
            case Ending::damagedHex:
                identifyAndProgram("fw.hex", ":0401200001020304D2\n:00000001FF\n");
                break;
            case Ending::emptyFile:
                identifyAndProgram("fw.bin", "");
                break;
        }
    }
};

}  // namespace

TEST_F(StatusBarTest, SitsBelowTheDialogAreaWhichKeepsItsSize) {
    const platform::DialogLayout layout;
    const QSize dialog = layout.toPixels(loader::ui::loaderWidth, loader::ui::loaderHeight);
    auto& bar = window.statusBar();
    EXPECT_GT(bar.height(), 0);
    EXPECT_EQ(bar.geometry(), QRect(0, dialog.height(), dialog.width(), bar.height()));
    EXPECT_EQ(window.size(), QSize(dialog.width(), dialog.height() + bar.height()));
    EXPECT_EQ(state(), "Idle");
}

TEST_F(StatusBarTest, TheRunIsFollowedPhaseByPhaseWithItsRate) {
    chooseFile("fw.bin", QByteArray(23053, 'q'));
    // A port given by a by-id link: shown with the device it names.
    writeFile("ttyUSB7", {});
    const QString link = dir.filePath("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    ASSERT_TRUE(QFile::link(dir.filePath("ttyUSB7"), link));
    window.useDevicePath(link);
    click(ids::connectButton);
    const QString folder = QFileInfo(dir.path()).canonicalFilePath();
    EXPECT_EQ(window.statusBar().portText(), link + " (" + folder + "/ttyUSB7)");
    EXPECT_EQ(state(), "Waking the boot loader");
    serial.receive(std::string("w"));
    EXPECT_EQ(state(), "Waiting for the identification line");
    serial.receive(std::string("Vell-3.2 boot-target\r\n"));
    EXPECT_EQ(state(), "Identified: Vell-3.2 boot-target");
    click(ids::programButton);
    EXPECT_EQ(state(), "Starting the erase");
    serial.receive(std::vector<std::uint8_t>{0xA5, 0x00, 0x04, 0x00});
    EXPECT_EQ(state(), "Erasing the flash: 25%");
    clock.now = 1000;
    serial.receive(std::vector<std::uint8_t>{0x00, 0x00, 0x00});
    EXPECT_EQ(state(), "Writing fw.bin: 0%");
    echoUntilSent(9683);
    clock.now = 1500;
    echoLastByte();
    EXPECT_EQ(state(), "Writing fw.bin: 42%, 19,368 B/s");
    // Echoes come faster than the bar redraws; the last one is shown all the same, even when
    // the target then falls silent.
    clock.now = 1600;
    echoLastByte();
    QElapsedTimer waited;
    waited.start();
    while (state() != "Writing fw.bin: 42%, 16,141 B/s" && waited.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_EQ(state(), "Writing fw.bin: 42%, 16,141 B/s");
}

TEST_P(StatusBarTest, TheLastRunsResultStaysUntilTheNextAction) {
    const EndingCase& row = GetParam();
    play(row.ending);
    const QString result = QString(row.result).arg(dir.path());
    EXPECT_EQ(state(), result);
    const QString tip = window.statusBar().findChild<QLabel*>("runState")->toolTip();
    EXPECT_TRUE(tip.contains(row.tip)) << tip.toStdString();

    // Ticks, a refresh and another file chosen leave it in place.
    window.onTimer();
    window.refresh();
    chooseFile("other.bin", "abc");
    EXPECT_EQ(state(), result);

    // The next action toward the target replaces it: Connect after a run, Program again when
    // the run stayed Identified.
    if (window.controls().widget(ids::connectButton)->isEnabled()) {
        click(ids::connectButton);
        EXPECT_EQ(state(), "Waking the boot loader");
    } else {
        click(ids::programButton);
        EXPECT_EQ(state(), "Starting the erase");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Endings, StatusBarTest,
    ::testing::Values(
        EndingCase{"Programmed", Ending::programmed,
                   "Programmed fw.bin: 23,053 bytes in 5.3 s at 18:02:11", ""},
        EndingCase{"PortLostWhileWriting", Ending::lostWriting,
                   "Stopped at byte 9,866 of 23,053: the port was lost", "COM1 was lost"},
        EndingCase{"PortLostWhileErasing", Ending::lostErasing,
                   "Stopped while erasing: the port was lost", "COM1 was lost"},
        EndingCase{"FileGoneWhenWritingBegins", Ending::fileGone,
                   "Stopped while erasing: the firmware file could not be read",
                   "No such file or directory"},
        EndingCase{"DamagedHexKeptBack", Ending::damagedHex,
                   "Not programmed: fw.hex line 1: record checksum is wrong", ""},
        EndingCase{"EmptyFileRefused", Ending::emptyFile,
                   "Cannot program the firmware file %1/fw.bin: it is empty, there is nothing "
                   "to program.",
                   ""}),
    [](const ::testing::TestParamInfo<EndingCase>& info) { return info.param.name; });
