// The loader window: its controls, the enabled-state table through a run, and its values.

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QTimer>

#include "WindowFixture.h"
#include "loader/ui/AboutBox.h"
#include "loader/ui/LoaderLayout.h"
#include "loader/ui/ProgramInfo.h"

using testing_support::LoaderWindowTest;
namespace ids = loader::ids;

TEST_F(LoaderWindowTest, EveryControlIsAtItsRectangleAndNamedByItsId) {
    platform::DialogLayout layout;
    // The dialog area; the status bar adds its own height below it.
    EXPECT_EQ(window.size() - QSize(0, window.statusBar().height()),
              layout.toPixels(loader::ui::loaderWidth, loader::ui::loaderHeight));
    int checked = 0;
    for (const auto& row : loader::ui::loaderControls()) {
        if (row.id == 0) {
            continue;
        }
        QWidget* widget = window.controls().widget(row.id);
        ASSERT_NE(widget, nullptr) << row.id;
        EXPECT_EQ(widget->objectName(), QString::number(row.id));
        QRect expected = layout.toPixels(row.x, row.y, row.w, row.h);
        EXPECT_EQ(widget->pos(), expected.topLeft()) << row.id;
        EXPECT_EQ(widget->width(), expected.width()) << row.id;
        ++checked;
    }
    EXPECT_EQ(checked, 21);
}

TEST_F(LoaderWindowTest, OpensEmptyOnCom1At115200WithConnectAndProgramDisabled) {
    EXPECT_EQ(text(ids::fileNameEdit), "");
    EXPECT_EQ(text(ids::identLineEdit), "");
    EXPECT_EQ(text(ids::totalBytesEdit), "0");
    EXPECT_EQ(text(ids::bytesSentEdit), "0");
    EXPECT_EQ(text(ids::portCombo), "COM1");
    EXPECT_EQ(text(ids::speedCombo), "115200");
    EXPECT_EQ(buttons(), "on on off off");
    EXPECT_FALSE(lamp(ids::linkLamp));
    EXPECT_FALSE(lamp(ids::waitingLamp));
    auto* waiting = control<platform::CiLedRoundX>(ids::waitingLamp);
    EXPECT_EQ(waiting->activeColor(), QColor(Qt::red));
    EXPECT_EQ(waiting->inactiveColor(), QColor(Qt::white));

    auto* ports = control<QComboBox>(ids::portCombo);
    ASSERT_EQ(ports->count(), 30);
    EXPECT_EQ(ports->itemText(0), "COM1");
    EXPECT_EQ(ports->itemText(29), "COM30");
    EXPECT_TRUE(ports->isEditable());
    auto* speeds = control<QComboBox>(ids::speedCombo);
    QStringList items;
    for (int i = 0; i < speeds->count(); ++i) {
        items << speeds->itemText(i);
    }
    EXPECT_EQ(items, QStringList({"115200", "57600", "38400", "19200", "14400", "9600"}));
}

TEST_F(LoaderWindowTest, ButtonsLampsAndCountersFollowTheStepsOfARun) {
    chooseFile("fw.bin", QByteArray(250, 'x'));
    EXPECT_EQ(text(ids::fileNameEdit), "fw.bin");
    EXPECT_EQ(buttons(), "on on on off") << "file chosen";

    click(ids::connectButton);
    EXPECT_EQ(buttons(), "on off on off") << "Connect pressed";
    EXPECT_TRUE(window.timerRunning());
    window.onTimer();
    EXPECT_TRUE(lamp(ids::waitingLamp)) << "lamp 1010 blinks while waking";
    window.onTimer();
    EXPECT_FALSE(lamp(ids::waitingLamp));

    serial.receive(std::string("wVell-3.2\r\n"));
    EXPECT_EQ(buttons(), "on off off on") << "identification complete";
    EXPECT_TRUE(text(ids::identLineEdit).startsWith("Vell-3.2"));
    window.onTimer();
    EXPECT_TRUE(lamp(ids::linkLamp));
    EXPECT_FALSE(lamp(ids::waitingLamp));
    EXPECT_FALSE(window.timerRunning());

    click(ids::programButton);
    EXPECT_EQ(buttons(), "off off off on") << "Program pressed";
    serial.receive(std::vector<std::uint8_t>{0xA5, 0x00, 0x04, 0x2E, 0x2E});
    EXPECT_EQ(buttons(), "off off off off") << "start byte echoed";
    EXPECT_EQ(control<QProgressBar>(ids::eraseBar)->maximum(), 4);
    EXPECT_EQ(control<QProgressBar>(ids::eraseBar)->value(), 2);
    serial.receive(std::vector<std::uint8_t>{0x2E, 0x2E});
    EXPECT_EQ(text(ids::totalBytesEdit), "250");
    EXPECT_EQ(text(ids::bytesSentEdit), "1");
    for (int i = 0; i < 124; ++i) {
        echoLastByte();
    }
    EXPECT_EQ(text(ids::bytesSentEdit), "125");
    EXPECT_EQ(control<QProgressBar>(ids::programBar)->value(), 50);

    bool programmed = false;
    QObject::connect(&window, &loader::ui::CLoaderDlg::runFinished,
                     [&](bool ok) { programmed = ok; });
    for (int i = 0; i < 125; ++i) {
        echoLastByte();
    }
    EXPECT_FALSE(programmed) << "the last byte's echo is still awaited";
    echoLastByte();
    EXPECT_TRUE(programmed);
    EXPECT_EQ(buttons(), "on on on off") << "programming finished";
    // The run's figures stay on show until the next Connect.
    EXPECT_EQ(text(ids::totalBytesEdit), "250");
    EXPECT_EQ(text(ids::bytesSentEdit), "250");
    EXPECT_FALSE(lamp(ids::linkLamp));
    EXPECT_FALSE(lamp(ids::waitingLamp));
    EXPECT_EQ(control<QProgressBar>(ids::programBar)->value(), 100);
    EXPECT_TRUE(messages.empty());
}

TEST_F(LoaderWindowTest, ChoosingAFileAfterTheEchoDoesNotEnableConnect) {
    chooseFile("a.bin", "abc");
    click(ids::connectButton);
    serial.receive(std::string("wVell-1\n"));
    ASSERT_FALSE(enabled(ids::connectButton));
    chooseFile("b.bin", "def");
    EXPECT_EQ(text(ids::fileNameEdit), "b.bin");
    EXPECT_FALSE(enabled(ids::connectButton));
}

TEST_F(LoaderWindowTest, CancellingTheFileDialogChangesNothing) {
    chooseFile("a.Vlf", "abcdef");
    chooser.answer.reset();
    click(ids::loadFileButton);
    EXPECT_EQ(chooser.asked, 2);
    EXPECT_EQ(text(ids::fileNameEdit), "a.Vlf");
    EXPECT_TRUE(window.image().scrambled());
    EXPECT_TRUE(enabled(ids::connectButton));
}

TEST_F(LoaderWindowTest, ResetPicStaysDisabledAfterConnectEvenWithoutAnAnswer) {
    chooseFile("a.bin", "abc");
    click(ids::connectButton);
    for (int i = 0; i < 10; ++i) {
        window.onTimer();
    }
    EXPECT_FALSE(enabled(ids::resetButton));
    EXPECT_EQ(serial.written.size(), 11u) << "the wake byte repeats at every tick";
}

TEST_F(LoaderWindowTest, ASecondRunShowsTheFirstRunsEraseRangeUntilTheNewCountArrives) {
    chooseFile("a.bin", "ab");
    for (int run = 0; run < 2; ++run) {
        click(ids::connectButton);
        serial.receive(std::string("wVell-1\n"));
        click(ids::programButton);
        if (run == 1) {
            EXPECT_EQ(control<QProgressBar>(ids::eraseBar)->maximum(), 3);
        }
        serial.receive(
            std::vector<std::uint8_t>{0xA5, 0x00, static_cast<std::uint8_t>(3 + run), 1, 1, 1, 1});
        echoLastByte();
        echoLastByte();
        ASSERT_EQ(buttons(), "on on on off");
    }
    EXPECT_EQ(control<QProgressBar>(ids::eraseBar)->maximum(), 4);
}

TEST_F(LoaderWindowTest, PortAndSpeedAreReadFromTheFieldsWhenThePortOpens) {
    chooseFile("a.bin", "abc");
    control<QComboBox>(ids::portCombo)->setCurrentText("COM17");
    control<QComboBox>(ids::speedCombo)->setCurrentText("57600");
    click(ids::connectButton);
    EXPECT_EQ(serial.port, 17);
    EXPECT_EQ(serial.settings, "57600,n,8,1");
    EXPECT_EQ(text(ids::portCombo), "COM17");
}

TEST_F(LoaderWindowTest, ResetPicSendsTheRequestAndClosesThePort) {
    window.setPortText("COM2");
    click(ids::resetButton);
    EXPECT_EQ(serial.writtenText(), "AT BTLD RST\r\n");
    EXPECT_FALSE(serial.open);
    EXPECT_EQ(buttons(), "on on off off");
}

TEST_F(LoaderWindowTest, ASerialErrorIsShownWithItsOwnTextAndEndsTheOperation) {
    chooseFile("a.bin", "abc");
    serial.openError = "COM1: no device (no link com1 in the port-map folder)";
    click(ids::connectButton);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "COM1: no device (no link com1 in the port-map folder)");
    EXPECT_FALSE(window.timerRunning());
    EXPECT_TRUE(enabled(ids::resetButton)) << "the rest of Connect did not happen";
}

TEST_F(LoaderWindowTest, APortLostMidRunIsReportedOnceAndConnectWorksAgain) {
    chooseFile("a.bin", QByteArray(100, 'q'));
    click(ids::connectButton);
    serial.receive(std::string("wVell-1\n"));
    click(ids::programButton);
    serial.receive(std::vector<std::uint8_t>{0xA5, 0x00, 0x01, 0x00});
    echoLastByte();
    serial.open = false;
    serial.event = platform::comEvPortLost;
    serial.receive(std::vector<std::uint8_t>{});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains("lost"));
    EXPECT_EQ(buttons(), "on on on off");
    EXPECT_EQ(text(ids::bytesSentEdit), "2") << "where the run stopped";
}

TEST_F(LoaderWindowTest, ExitClosesThePortBeforeTheWindowCloses) {
    window.show();
    serial.open = true;
    bool portOpenWhenClosing = true;
    QObject::connect(&window, &QDialog::finished,
                     [&] { portOpenWhenClosing = serial.getPortOpen(); });
    click(ids::exitButton);
    EXPECT_FALSE(portOpenWhenClosing);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(serial.calls.back(), "PortOpen=0");
}

namespace {

// Closes the next modal dialog that opens and tells its title.
QString titleOfNextModal(const std::function<void()>& open) {
    QString title;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            // Triggered from the menu's own loop, so this timer stays free to close the box.
            QTimer::singleShot(0, menu->actions().first(), &QAction::trigger);
        } else if (auto* about =
                       qobject_cast<loader::ui::AboutBox*>(QApplication::activeModalWidget())) {
            title = about->windowTitle();
            about->controls().get<QPushButton>(ids::exitButton)->click();
        }
    });
    poll.start(10);
    open();
    return title;
}

}  // namespace

TEST_F(LoaderWindowTest, AboutOpensFromTheContextMenuAndFromF1) {
    window.show();
    QString fromMenu = titleOfNextModal([&] {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                window.mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(&window, &event);
    });
    EXPECT_TRUE(fromMenu.contains("bootloader")) << fromMenu.toStdString();

    QShortcut* f1 = nullptr;
    for (auto* shortcut : window.findChildren<QShortcut*>()) {
        if (shortcut->key() == QKeySequence(Qt::Key_F1)) {
            f1 = shortcut;
        }
    }
    ASSERT_NE(f1, nullptr);
    QString fromF1 = titleOfNextModal([&] { emit f1->activated(); });
    EXPECT_EQ(fromF1, fromMenu);
}

TEST(AboutBox, NamesTheProgramItsMakerAndVersionAndClosesWithOk) {
    loader::ui::AboutBox about;
    platform::DialogLayout layout;
    EXPECT_EQ(about.size(), layout.toPixels(loader::ui::aboutWidth, loader::ui::aboutHeight));
    EXPECT_TRUE(about.windowTitle().contains("bootloader"));
    EXPECT_TRUE(about.windowTitle().contains("Tessaly tools"));
    bool versionShown = false;
    for (auto* label : about.findChildren<QLabel*>()) {
        versionShown = versionShown || label->text().contains(loader::ui::programVersion());
    }
    EXPECT_TRUE(versionShown);
    about.show();
    about.controls().get<QPushButton>(ids::exitButton)->click();
    EXPECT_FALSE(about.isVisible());
}
