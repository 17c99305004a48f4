// At the bench: the status bar through connect, identify, silence and loss against
// j1939-sim; the port list naming the device a COM name reaches; the dashboard fitted to a
// small screen and scaled with its window.

#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <csignal>
#include <memory>

#include <gtest/gtest.h>

#include "DashboardFixture.h"
#include "J1939SimProcess.h"
#include "MessageBoxCatcher.h"
#include "platform/instruments/qt/CiSliderX.h"
#include "terminal/dashboard/qt/DashboardScaling.h"
#include "terminal/link/qt/LinkStatusBar.h"
#include "terminal/link/qt/PortListPopup.h"

using testing_support::J1939SimProcess;
using testing_support::waitUntil;

namespace {

constexpr int statusCom = 37;     // no other test uses it
constexpr int discoveryCom = 38;  // nor this

TEST(BenchStatus, TheStatusBarFollowsTheLinkThroughIdentifySilenceAndLoss) {
    QTemporaryDir folder;
    qputenv("COMPORTS_DIR", folder.path().toUtf8());
    J1939SimProcess sim(folder.path(), statusCom);
    ASSERT_TRUE(sim.start({"--rate", "10"}));
    const QString settings = folder.filePath("vive1939.ini");
    QFile file(settings);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("COM=37;\r\n");
    file.close();
    terminal::ui::DashboardWindow window(settings.toStdString());
    uitest::MessageBoxCatcher boxes(&window, true);
    window.show();
    auto& bar = window.linkStatusBar();
    EXPECT_EQ(bar.stateField()->text(), "Disconnected");
    window.startSession();

    // Identified: the port and its device, lines coming in, none dropped.
    ASSERT_TRUE(waitUntil([&] { return bar.stateField()->text() == "Identified"; }, 8000));
    const QString device = QFile::symLinkTarget(sim.linkPath());
    EXPECT_EQ(bar.portField()->text(), "COM37 \u2192 " + device);
    // The bar's own second-long samples: one taken on demand right after its timer's would
    // cover a few milliseconds and no line at all.
    EXPECT_TRUE(waitUntil(
        [&] { return bar.rateField()->text().section(' ', 0, 0).toDouble() > 5.0; }, 5000))
        << bar.rateField()->text().toStdString();
    EXPECT_EQ(bar.droppedField()->text(), "0 bad checksum");
    EXPECT_TRUE(bar.lastLineField()->text().startsWith("last line 0."))
        << bar.lastLineField()->text().toStdString();

    // Silence (SIGUSR1): "Silent for n s" while the terminal reconnects, counting up.
    ::kill(static_cast<pid_t>(sim.pid()), SIGUSR1);
    // The count is read off the text: a loaded machine may show 2 s and then 4 s.
    const auto silentSeconds = [&] {
        const QString text = bar.stateField()->text();
        const QString prefix = QStringLiteral("Silent for ");
        if (!text.startsWith(prefix) || !text.endsWith(QStringLiteral(" s"))) {
            return -1;
        }
        return text.mid(prefix.size(), text.size() - prefix.size() - 2).toInt();
    };
    ASSERT_TRUE(waitUntil([&] { return silentSeconds() >= 0; }, 5000));
    const int first = silentSeconds();
    EXPECT_LE(first, 2) << bar.stateField()->text().toStdString();
    ASSERT_TRUE(waitUntil([&] { return silentSeconds() >= 3; }, 6000))
        << bar.stateField()->text().toStdString();
    ::kill(static_cast<pid_t>(sim.pid()), SIGUSR1);
    ASSERT_TRUE(waitUntil([&] { return bar.stateField()->text() == "Identified"; }, 8000));

    // The device goes away: lost, and the device still named.
    sim.unplug();
    ASSERT_TRUE(waitUntil(
        [&] { return bar.stateField()->text() == "Lost \u2013 waiting for the device"; }, 5000));
    EXPECT_TRUE(bar.portField()->text().startsWith("COM37 \u2192 /dev/"));
    EXPECT_TRUE(boxes.texts.empty()) << boxes.texts.join(" | ").toStdString();
    window.core().exitProgram();
    EXPECT_EQ(bar.stateField()->text(), "Disconnected");
    EXPECT_EQ(bar.portField()->text(), "COM37");
}

TEST(BenchStatus, ThePortListNamesTheDeviceEachComNameReachesWhenItOpens) {
    QTemporaryDir folder;
    qputenv("COMPORTS_DIR", folder.path().toUtf8());
    terminal::ui::DashboardWindow window(folder.filePath("vive1939.ini").toStdString());
    auto* combo = window.controls().get<QComboBox>(1000);
    window.show();
    ASSERT_TRUE(QFile::link("/dev/null", folder.filePath("com38")));
    ASSERT_TRUE(QFile::link("/dev/no-such-adapter", folder.filePath("com12")));
    combo->showPopup();
    EXPECT_EQ(combo->itemData(discoveryCom - 1, terminal::ui::portReachRole).toString(),
              "\u2192 /dev/null");
    EXPECT_EQ(combo->itemData(11, terminal::ui::portReachRole).toString(),
              "\u2192 /dev/no-such-adapter (missing)");
    EXPECT_EQ(combo->itemData(2, terminal::ui::portReachRole).toString(), "no device");
    combo->hidePopup();
    // The entries keep their names.
    EXPECT_EQ(combo->count(), 40);
    EXPECT_EQ(combo->itemText(discoveryCom - 1), "COM38");
    qunsetenv("COMPORTS_DIR");
}

// Offscreen, the screen is 800 x 600 logical pixels: smaller than the dashboard at full size.
using FittedDashboard = DashboardFixture;

TEST_F(FittedDashboard, OpensInsideTheScreenAndScalesWithItsWindow) {
    window->show();
    const QRect available = window->screen()->availableGeometry();
    EXPECT_LE(window->width(), available.width());
    EXPECT_LE(window->height(), available.height());
    const qreal fitted = window->scaling().scale();
    EXPECT_LT(fitted, 1.0);
    EXPECT_GT(fitted, 0.5);
    // Every column of a trouble-code row still fits its box (1041: engine DM1).
    auto* dm1 = control<QLineEdit>(1041);
    const auto rowWidth = [dm1] {
        return QFontMetrics(dm1->font()).horizontalAdvance("   0     0      0     0");
    };
    EXPECT_LE(rowWidth(), dm1->contentsRect().width());

    // Twice the full size: the layout and its fonts follow.
    const QSize big = window->scaling().sizeAt(2.0);
    window->resize(big);
    EXPECT_DOUBLE_EQ(window->scaling().scale(), 2.0);
    EXPECT_DOUBLE_EQ(control<platform::CiSliderX>(1006)->font().pointSizeF(), 16.0);
    platform::DialogLayout units;
    units.setScale(2.0);
    EXPECT_EQ(control<platform::CiSliderX>(1006)->geometry(), units.toPixels(27, 97, 279, 34));
    EXPECT_EQ(window->linkStatusBar().geometry().bottom(), window->height() - 1);
    EXPECT_GT(rowWidth(), dm1->contentsRect().width() / 2);
}

}  // namespace
