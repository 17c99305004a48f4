// The dashboard window with its real serial control, against the j1939-sim stand-in started
// as a separate program on a pseudo-terminal reached through a port-map folder of the test's
// own, on a COM number no other test uses.
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include <gtest/gtest.h>

#include "J1939SimProcess.h"
#include "MessageBoxCatcher.h"
#include "platform/instruments/qt/CiAnalogDisplayX.h"
#include "terminal/dashboard/qt/DashboardWindow.h"

namespace {

using testing_support::J1939SimProcess;
using testing_support::waitUntil;
using uitest::MessageBoxCatcher;

// Level 50 on the engine model: 4015.875 RPM and 185 F coolant.
constexpr double level50EngineRpm = 4015.875;
constexpr double level50CoolantF = 185.0;

const QStringList remoteControls{"1006", "1007", "1008", "1009", "1010", "1011", "1012",
                                 "1048", "1041", "1044", "1042", "1043", "1046"};

class TerminalAgainstSimulator : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        portMap_ = folder_.path() + "/comports";
        qputenv("COMPORTS_DIR", portMap_.toLocal8Bit());
        settingsFile_ = folder_.path() + "/vive1939.ini";
    }

    // The test's own COM number: remembered in the settings file, the stand-in's port.
    void useCom(int comNumber) {
        QFile settings(settingsFile_);
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write(QString("COM=%1;\r\n").arg(comNumber).toLatin1());
        settings.close();
        sim_ = std::make_unique<J1939SimProcess>(portMap_, comNumber);
    }

    void TearDown() override {
        catcher_.reset();
        window_.reset();
        sim_.reset();
        qunsetenv("COMPORTS_DIR");
    }

    // A fixed level with Dynamic off, so the displays hold still.
    void startSimulator(const QStringList& extra = {}) {
        ASSERT_TRUE(
            sim_->start(QStringList{"--level", "50", "--no-dynamic", "--serial", "305419896",
                                    "--firmware", "2", "--revision", "D", "--can-rate", "250K"} +
                        extra))
            << sim_->log().toStdString();
    }

    void openWindow() {
        window_ = std::make_unique<terminal::ui::DashboardWindow>(settingsFile_.toStdString());
        catcher_ = std::make_unique<MessageBoxCatcher>(window_.get());
        window_->show();
        window_->startSession();
    }

    template <typename Widget = QWidget>
    Widget* control(const QString& id) {
        auto* widget = window_->findChild<Widget*>(id);
        EXPECT_NE(widget, nullptr) << "control " << id.toStdString();
        return widget;
    }

    QString text(const QString& id) {
        auto* edit = control<QLineEdit>(id);
        return edit != nullptr ? edit->text() : QString();
    }

    double displayValue(const QString& id) {
        auto* display = control<platform::CiAnalogDisplayX>(id);
        return display != nullptr ? display->value() : -1.0;
    }

    bool remoteControlsEnabled(bool enabled) {
        for (const QString& id : remoteControls) {
            QWidget* widget = window_->findChild<QWidget*>(id);
            if (widget == nullptr || widget->isEnabled() != enabled) {
                return false;
            }
        }
        return true;
    }

    bool showsIdentity() {
        return text("1003") == "305419896" && text("1049").trimmed() == "0.2D" &&
               text("1081") == "250K bps";
    }

    bool looksConnected() { return showsIdentity() && remoteControlsEnabled(true); }

    bool looksDisconnected() {
        return text("1049") == "Not Found Yet!" && text("1081") == "Not Found Yet!" &&
               remoteControlsEnabled(false) && displayValue("1013") == 0.0;
    }

    std::string describe() {
        return "serial '" + text("1003").toStdString() + "', firmware '" +
               text("1049").toStdString() + "', CAN '" + text("1081").toStdString() + "', RPM " +
               std::to_string(displayValue("1013")) +
               ", message boxes: " + catcher_->texts.join(" | ").toStdString() +
               "\nsimulator log:\n" + sim_->log().toStdString();
    }

    QTemporaryDir folder_;
    QString portMap_;
    QString settingsFile_;
    std::unique_ptr<J1939SimProcess> sim_;
    std::unique_ptr<terminal::ui::DashboardWindow> window_;
    std::unique_ptr<MessageBoxCatcher> catcher_;
};

TEST_F(TerminalAgainstSimulator, ConnectsByItselfAndShowsIdentityAndLevelValues) {
    useCom(21);
    startSimulator();
    openWindow();

    // The first tick comes after a second; the identification must be in within three.
    EXPECT_TRUE(waitUntil([&] { return looksConnected(); }, 3000)) << describe();
    EXPECT_FALSE(control("1001")->isEnabled()) << "Connect";
    EXPECT_TRUE(control("1005")->isEnabled()) << "Disconnect";

    EXPECT_TRUE(waitUntil([&] { return displayValue("1013") == level50EngineRpm; }, 2000))
        << describe();
    EXPECT_EQ(displayValue("1017"), level50CoolantF);
    EXPECT_EQ(control<platform::CiAnalogDisplayX>("1013")->displayText(), "4015.88 RPM");

    // The stand-in saw a well-formed identification request, and nothing it had to refuse.
    EXPECT_TRUE(sim_->log().contains("RX \"AT ID?\" identification request\n")) << describe();
    EXPECT_FALSE(sim_->log().contains("BAD")) << describe();
    EXPECT_TRUE(catcher_->texts.isEmpty()) << describe();
}

TEST_F(TerminalAgainstSimulator, ALostSimulatorIsShownAndFoundAgainWithoutTheOperator) {
    useCom(22);
    startSimulator();
    openWindow();
    ASSERT_TRUE(waitUntil([&] { return looksConnected(); }, 3000)) << describe();
    ASSERT_TRUE(waitUntil([&] { return displayValue("1013") == level50EngineRpm; }, 2000))
        << describe();

    sim_->unplug();  // the link is left behind, its device gone
    EXPECT_TRUE(waitUntil([&] { return looksDisconnected(); }, 2000)) << describe();

    startSimulator();  // the same COM, a new pseudo-terminal behind it
    EXPECT_TRUE(waitUntil([&] { return looksConnected(); }, 4000)) << describe();
    EXPECT_TRUE(waitUntil([&] { return displayValue("1013") == level50EngineRpm; }, 2000))
        << describe();
    // Retrying a vanished port is the link's own business, not the operator's.
    EXPECT_TRUE(catcher_->texts.isEmpty()) << describe();
}

TEST_F(TerminalAgainstSimulator, ReadsLowerCaseLinesThroughNoise) {
    useCom(23);
    startSimulator({"--noise", "--lower-case"});
    openWindow();
    EXPECT_TRUE(waitUntil([&] { return looksConnected(); }, 3000)) << describe();
    EXPECT_TRUE(waitUntil([&] { return displayValue("1013") == level50EngineRpm; }, 2000))
        << describe();
}

// Each reconnect closes the port and opens it again at once, while the stand-in sends as fast
// as the line allows. Its answers must arrive readable every time: a line it had begun and cut
// off when it saw the port close would stand glued in front of "ACK REV", which the receive
// window then rightly drops, and the 0.2D simulator would be refused as too old.
TEST_F(TerminalAgainstSimulator, EveryReconnectToASaturatedLineReadsTheRevision) {
    useCom(28);
    startSimulator({"--saturate", "--noise"});
    openWindow();
    ASSERT_TRUE(waitUntil([&] { return looksConnected(); }, 3000)) << describe();
    for (int reconnect = 0; reconnect < 20; ++reconnect) {
        window_->core().disconnect();
        window_->core().connect();
        EXPECT_TRUE(waitUntil([&] { return looksConnected() || !catcher_->texts.isEmpty(); }, 3000))
            << "reconnect " << reconnect;
        ASSERT_TRUE(catcher_->texts.isEmpty()) << "reconnect " << reconnect << ": " << describe();
        waitUntil([] { return false; }, 20 + 37 * reconnect % 200);
    }
}

TEST_F(TerminalAgainstSimulator, OldFirmwareIsNamedOnceAndGetsNoRemoteControl) {
    useCom(24);
    startSimulator({"--old-firmware"});
    openWindow();
    const QString firmwareMessage =
        "This release requires Minimum J1939 Simulator (firmware) version 0.2D/0.2E/0.2F; "
        "please update your J1939 simulator accordingly.";
    ASSERT_TRUE(waitUntil([&] { return !catcher_->texts.isEmpty(); }, 3000)) << describe();
    EXPECT_EQ(catcher_->texts, QStringList{firmwareMessage});
    EXPECT_EQ(text("1049").trimmed(), "0.1C");
    EXPECT_TRUE(remoteControlsEnabled(false));
    EXPECT_TRUE(control("1005")->isEnabled()) << "Disconnect";

    // The refused simulator keeps talking; the terminal neither reconnects nor asks again.
    waitUntil([] { return false; }, 1500);
    EXPECT_EQ(catcher_->texts.size(), 1) << describe();
    EXPECT_EQ(sim_->log().count("RX \"AT ID?\""), 1) << describe();
}

}  // namespace
