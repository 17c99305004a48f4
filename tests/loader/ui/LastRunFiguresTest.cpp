// What the window shows of a run once it is over, and at the next one: the figures stay, the
// programming bar and counters are sensitive while they show them, the identification box
// shows the line without its line end and is emptied by the next Connect, and a refusal's
// reason stays whole in the status bar.

#include <QColor>
#include <QImage>
#include <QLabel>

#include "WindowFixture.h"

using testing_support::LoaderWindowTest;
namespace ids = loader::ids;

namespace {

class LastRunFiguresTest : public LoaderWindowTest {
protected:
    LastRunFiguresTest() { qputenv("COMPORTS_DIR", dir.path().toLocal8Bit()); }

    // The bars and counters: "erase value/max program value, total sent, sensitive".
    std::string figures() {
        auto* erase = control<QProgressBar>(ids::eraseBar);
        auto* program = control<QProgressBar>(ids::programBar);
        std::string s = std::to_string(erase->value()) + "/" + std::to_string(erase->maximum()) +
                        " " + std::to_string(program->value()) + ", " +
                        text(ids::totalBytesEdit).toStdString() + " " +
                        text(ids::bytesSentEdit).toStdString();
        for (int id : {ids::programBar, ids::totalBytesEdit, ids::bytesSentEdit}) {
            s += enabled(id) ? " on" : " off";
        }
        return s;
    }

    void identify() {
        click(ids::connectButton);
        serial.receive(std::string("wVell-3.2 boot-target\r\n"));
    }
    // Program, an erase of 2 steps, then `echoes` bytes echoed of the 10-byte image.
    void programAndEcho(int echoes) {
        click(ids::programButton);
        serial.receive(std::vector<std::uint8_t>{0xA5, 0x00, 0x02, 0x00, 0x00});
        for (int i = 0; i < echoes; ++i) {
            echoLastByte();
        }
    }
};

TEST_F(LastRunFiguresTest, TheFiguresStayAfterARunAndGoWithTheNextConnect) {
    enum class Act { nothing, identify, halfWritten, finish, tick, connect, loseMidWrite };
    const struct {
        const char* what;
        Act act;
        const char* figures;
    } steps[] = {
        {"start", Act::nothing, "-1/100 -1, 0 0 off off off"},
        {"identified", Act::identify, "-1/100 -1, 0 0 off off off"},
        {"half written", Act::halfWritten, "2/2 50, 10 5 on on on"},
        {"programmed", Act::finish, "2/2 100, 10 10 on on on"},
        {"a tick later", Act::tick, "2/2 100, 10 10 on on on"},
        {"next Connect", Act::connect, "-1/2 -1, 0 0 off off off"},
        {"stopped by a lost port", Act::loseMidWrite, "2/2 30, 10 3 on on on"},
    };
    chooseFile("fw.bin", QByteArray(10, 'q'));
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        switch (step.act) {
            case Act::nothing:
                break;
            case Act::identify:
                identify();
                break;
            case Act::halfWritten:
                programAndEcho(4);
                break;
            case Act::finish:
                // The rest of the bytes, and the last one's echo.
                while (window.link().writing()) {
                    echoLastByte();
                }
                break;
            case Act::tick:
                window.onTimer();
                break;
            case Act::connect:
                click(ids::connectButton);
                break;
            case Act::loseMidWrite:
                serial.receive(std::string("wVell-3.2 boot-target\r\n"));
                programAndEcho(2);
                serial.open = false;
                serial.event = platform::comEvPortLost;
                serial.receive(std::vector<std::uint8_t>{});
                serial.event = platform::comEvReceive;
                break;
        }
        EXPECT_EQ(figures(), step.figures);
    }
}

// Enabled, the programming bar fills in the erase bar's colour, not the disabled grey.
TEST_F(LastRunFiguresTest, BothBarsFillInOneColour) {
    chooseFile("fw.bin", QByteArray(10, 'q'));
    identify();
    programAndEcho(4);
    auto fill = [this](int id) {
        QWidget* bar = window.controls().widget(id);
        return bar->grab().toImage().pixelColor(6, bar->height() / 2);
    };
    ASSERT_EQ(control<QProgressBar>(ids::eraseBar)->value(), 2);
    const QColor program = fill(ids::programBar);
    const QColor erase = fill(ids::eraseBar);
    // The bars differ by a pixel in height, and so their gradients by a shade.
    for (auto channel : {&QColor::red, &QColor::green, &QColor::blue}) {
        EXPECT_NEAR((program.*channel)(), (erase.*channel)(), 4)
            << program.name().toStdString() << " " << erase.name().toStdString();
    }
}

TEST_F(LastRunFiguresTest, TheIdentificationIsShownWithoutItsLineEndAndGoesWithTheNextConnect) {
    chooseFile("fw.bin", QByteArray(10, 'q'));
    identify();
    EXPECT_EQ(text(ids::identLineEdit), "Vell-3.2 boot-target");
    programAndEcho(0);
    while (window.link().writing()) {
        echoLastByte();
    }
    EXPECT_EQ(text(ids::identLineEdit), "Vell-3.2 boot-target") << "the board programmed";
    // The board is gone: the next Connect fails, and the old board is not shown as found.
    serial.openError = "COM1: no device";
    click(ids::connectButton);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "COM1: no device");
    EXPECT_EQ(text(ids::identLineEdit), "");
}

// A refusal names the file: the name (or path) gives way first, then the port field until
// the next action, and the reason is read whole.
TEST_F(LastRunFiguresTest, ARefusalsReasonStaysWhole) {
    const struct {
        const char* name;
        const char* content;
        const char* shownStart;
        const char* shownEnd;
        bool portHidden;
    } cases[] = {
        {"fw.hex", ":0401200001020304D2\n",
         "Not programmed: fw.hex line 1: ", "line 1: record checksum is wrong", false},
        {"badsum-of-the-engine-controller-release-candidate-build.hex", ":0401200001020304D2\n",
         "Not programmed: ba…ex line 1: ", "line 1: record checksum is wrong", false},
        {"empty-image-for-the-transmission-controller.bin", "",
         "Cannot program the firmware file …", ": it is empty, there is nothing to program.", true},
    };
    window.show();
    const auto* state = window.statusBar().findChild<QLabel*>("runState");
    const auto* port = window.statusBar().findChild<QLabel*>("loaderPort");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        chooseFile(c.name, c.content);
        identify();
        click(ids::programButton);
        EXPECT_TRUE(state->text().startsWith(c.shownStart)) << state->text().toStdString();
        EXPECT_TRUE(state->text().endsWith(c.shownEnd)) << state->text().toStdString();
        EXPECT_EQ(port->isHidden(), c.portHidden);
        // The next action brings the port back.
        chooseFile("fw.bin", QByteArray(10, 'q'));
        click(ids::programButton);
        EXPECT_FALSE(port->isHidden());
        serial.receive(std::vector<std::uint8_t>{0xA5, 0x00, 0x01, 0x00});
        while (window.link().writing()) {
            echoLastByte();
        }
    }
}

}  // namespace
