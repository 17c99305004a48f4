// The operator steering the j1939-sim stand-in over a pseudo-terminal from the real window:
// a mode click, the level slider and the CAN baud-rate change, each checked on the wire (the
// stand-in's log) and back on the dashboard.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include <gtest/gtest.h>

#include "J1939SimProcess.h"
#include "MessageBoxCatcher.h"
#include "ModalDriver.h"
#include "platform/instruments/qt/CiAnalogDisplayX.h"
#include "platform/instruments/qt/CiSliderX.h"
#include "terminal/dashboard/ControlIds.h"
#include "terminal/dashboard/qt/AboutBox.h"
#include "terminal/dashboard/qt/DashboardWindow.h"
#include "terminal/vehicle/EngineParameters.h"

namespace ids = terminal::ids;
using testing_support::J1939SimProcess;
using testing_support::waitUntil;

namespace {

constexpr int simCom = 33;  // no other test uses it

// The test's own reading of a checked line: text, then the reversed-pair checksum.
QString withChecksum(const QString& text) {
    unsigned sum = 0;
    for (QChar c : text) {
        sum += c.toLatin1();
    }
    const unsigned check = (256 - sum % 256) % 256;
    const char* digits = "0123456789ABCDEF";
    return text + QChar(digits[check & 0xF]) + QChar(digits[check >> 4]);
}

class AgainstSim : public ::testing::Test {
protected:
    ~AgainstSim() override { uitest::cancelModalDrivers(); }

    // Starts the stand-in and the window and waits until the window accepted the simulator.
    bool connectTo(const QStringList& simArguments) {
        qputenv("COMPORTS_DIR", folder.path().toUtf8());
        sim = std::make_unique<J1939SimProcess>(folder.path(), simCom);
        if (!sim->start(simArguments + QStringList{"--verbose"})) {
            return false;
        }
        const QString settings = folder.filePath("vive1939.ini");
        QFile file(settings);
        if (!file.open(QIODevice::WriteOnly)) {
            return false;
        }
        file.write("COM=" + QByteArray::number(simCom) + ";\r\n");
        file.close();
        window = std::make_unique<terminal::ui::DashboardWindow>(settings.toStdString());
        // A message box while connecting (a port in use) fails the test instead of blocking it.
        boxes = std::make_unique<uitest::MessageBoxCatcher>(window.get(), true);
        window->show();
        window->startSession();
        const bool connected = waitUntil(
            [this] { return window->isControlEnabled(ids::dynamicCheck) || !boxes->texts.empty(); },
            8000);
        EXPECT_TRUE(boxes->texts.empty()) << boxes->texts.join(" | ").toStdString();
        return connected && boxes->texts.empty();
    }

    template <class T>
    T* control(int id) const {
        return window->controls().get<T>(id);
    }
    QString canBaudText() const { return control<QLineEdit>(ids::canBaudEdit)->text(); }
    QAction* aboutAction() const {
        for (QAction* action : window->actions()) {
            if (action->text() == "&About Tessaly...") {
                return action;
            }
        }
        return nullptr;
    }

    // Index of the first received line at or after `from` that starts with `prefix`, or -1.
    static int findReceived(const QList<J1939SimProcess::Received>& lines, const QString& prefix,
                            int from = 0) {
        for (int i = from; i < lines.size(); ++i) {
            if (lines[i].line.startsWith(prefix)) {
                return i;
            }
        }
        return -1;
    }

    // The mode flags of the first simulation status line the stand-in logged after the first
    // line containing `after`, or -1 when there is none yet.
    int firstModeFlagsAfter(const QString& after) const {
        const QString log = sim->log();
        const qsizetype from = log.indexOf(after);
        if (from < 0) {
            return -1;
        }
        static const QRegularExpression status(
            R"re(^(\d+\.\d+) TX "BRC %S([0-9A-F]{2})([0-9A-F]{2}))re",
            QRegularExpression::MultilineOption);
        const auto match = status.match(log, from);
        if (!match.hasMatch()) {
            return -1;
        }
        const QString pair = match.captured(3);  // low nibble first
        return QString(pair[1]).toInt(nullptr, 16) * 16 + QString(pair[0]).toInt(nullptr, 16);
    }

    QTemporaryDir folder;
    std::unique_ptr<J1939SimProcess> sim;
    std::unique_ptr<terminal::ui::DashboardWindow> window;
    std::unique_ptr<uitest::MessageBoxCatcher> boxes;
};

TEST_F(AgainstSim, aClickOnDynamicSendsItsKeyAndTheNextStatusShowsDynamicOn) {
    ASSERT_TRUE(connectTo({"--no-dynamic"}));
    auto* dynamic = control<QCheckBox>(ids::dynamicCheck);
    ASSERT_FALSE(dynamic->isChecked());

    QTest::mouseClick(dynamic, Qt::LeftButton);
    ASSERT_TRUE(sim->waitForLog("RX \"AT KI", 3000));
    const auto received = sim->received();
    const int key = findReceived(received, "AT KI");
    ASSERT_GE(key, 0);
    EXPECT_EQ(withChecksum("AT KI25"), received[key].line);  // 0x52, low nibble first

    // The simulator's first status line after the key has the Dynamic bit (bit 1) set.
    ASSERT_TRUE(waitUntil([&] { return firstModeFlagsAfter("RX \"AT KI") >= 0; }, 3000));
    EXPECT_TRUE(firstModeFlagsAfter("RX \"AT KI") & 0x02);

    // The acknowledgement lets go of the box; from then on status lines drive it, and they
    // keep it checked.
    ASSERT_TRUE(waitUntil([this] { return !window->core().session().dynamicPending; }, 3000));
    const qint64 statusBefore = sim->log().count("TX \"BRC %S");
    ASSERT_TRUE(
        waitUntil([&] { return sim->log().count("TX \"BRC %S") >= statusBefore + 2; }, 3000));
    QTest::qWait(50);  // the line on its way through the pseudo-terminal
    EXPECT_TRUE(dynamic->isChecked());
    EXPECT_TRUE(window->core().dashboard().dynamicOn);
}

TEST_F(AgainstSim, theSliderAtSixtySendsSixtyAndAfterTheAckTheRpmOfLevelSixtyShows) {
    ASSERT_TRUE(connectTo({"--no-dynamic"}));
    auto* slider = control<platform::CiSliderX>(ids::levelSlider);
    ASSERT_EQ(0, slider->getPosition());
    slider->setFocus();
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(slider, Qt::Key_PageUp);  // ten at a time, each sent on release
    }
    EXPECT_EQ(60, slider->getPosition());
    EXPECT_TRUE(window->core().session().levelPending);

    ASSERT_TRUE(sim->waitForLog(withChecksum("AT %C3"), 3000));  // 60 = 0x3C
    const float rpmAtSixty = terminal::computeEngineParameters(60, true).engineSpeedRpm;
    auto* rpm = control<platform::CiAnalogDisplayX>(1013);
    EXPECT_TRUE(waitUntil(
        [&] {
            return !window->core().session().levelPending &&
                   rpm->value() == static_cast<double>(rpmAtSixty);
        },
        5000))
        << rpm->value() << " against " << rpmAtSixty;
    EXPECT_EQ(60, slider->getPosition());
}

TEST_F(AgainstSim, aRateChangeThroughTheAboutBoxSendsItAndReadsTheNewRateBack) {
    ASSERT_TRUE(connectTo({"--can-rate", "250K"}));
    ASSERT_TRUE(waitUntil([this] { return canBaudText() == "250K bps"; }, 3000));

    QString openedOn;
    uitest::whenModalOpens<terminal::ui::AboutBox>([&](terminal::ui::AboutBox* box) {
        openedOn = box->rateBox()->currentText();
        QTest::mouseClick(box->controls().get<QPushButton>(terminal::ui::aboutIds::proceedButton),
                          Qt::LeftButton);
        box->rateBox()->setCurrentIndex(box->rateBox()->findText("1M bps"));
        QTest::mouseClick(box->controls().get<QPushButton>(terminal::ui::aboutIds::confirmButton),
                          Qt::LeftButton);
    });
    ASSERT_NE(nullptr, aboutAction());
    aboutAction()->trigger();  // returns after the send and both reconnects
    EXPECT_EQ("250K bps", openedOn);

    ASSERT_TRUE(waitUntil(
        [&] {
            const auto lines = sim->received();
            const int rate = findReceived(lines, "AT CBRS=");
            return rate >= 0 && findReceived(lines, "AT ID?",
                                             findReceived(lines, "AT ID?", rate + 1) + 1) > rate;
        },
        3000));
    const auto lines = sim->received();
    const int rate = findReceived(lines, "AT CBRS=");
    EXPECT_EQ("AT CBRS=04", lines[rate].line);  // CR LF and nothing else after the digit
    const int first = findReceived(lines, "AT ID?", rate + 1);
    const int second = findReceived(lines, "AT ID?", first + 1);
    ASSERT_GT(first, rate);
    ASSERT_GT(second, first);
    // Each reconnect follows a pause of about half a second; the bounds are wide on purpose.
    EXPECT_GT(lines[first].seconds - lines[rate].seconds, 0.3);
    EXPECT_GT(lines[second].seconds - lines[first].seconds, 0.3);
    EXPECT_LT(lines[second].seconds - lines[rate].seconds, 5.0);

    EXPECT_TRUE(waitUntil([this] { return canBaudText() == "1M bps"; }, 3000))
        << canBaudText().toStdString();
}

}  // namespace
