// The window itself, on its real serial control, programming boot-target over a
// pseudo-terminal.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <functional>

#include "BootTargetProcess.h"
#include "loader/core/LoaderIds.h"
#include "loader/ui/CLoaderDlg.h"
#include "platform/instruments/qt/CiLedRoundX.h"

namespace ids = loader::ids;

namespace {

bool waitUntil(const std::function<bool()>& condition, int ms) {
    QElapsedTimer waited;
    waited.start();
    while (!condition()) {
        if (waited.elapsed() > ms) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

std::string buttons(const loader::ui::CLoaderDlg& window) {
    std::string s;
    for (int id : {ids::loadFileButton, ids::resetButton, ids::connectButton, ids::programButton}) {
        s += window.controls().widget(id)->isEnabled() ? "on " : "off ";
    }
    s.pop_back();
    return s;
}

}  // namespace

TEST(LoaderWindowOnPseudoTerminal, ProgramsTheStandInAndWaitsOutAWrongEcho) {
    QTemporaryDir dir;
    qputenv("COMPORTS_DIR", dir.path().toLocal8Bit());
    QByteArray content;
    for (int i = 0; i < 3000; ++i) {
        content.append(char('A' + i % 26));
    }
    const QString image = dir.filePath("fw.bin");
    {
        QFile file(image);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    testing_support::BootTargetProcess target(dir.path());
    ASSERT_TRUE(target.start({"--wrong-echo", "100", "--reply-delay", "0"}));

    loader::ui::CLoaderDlg window;
    std::vector<QString> messages;
    window.setMessageSink([&](const QString& text) { messages.push_back(text); });
    bool finished = false;
    bool programmed = false;
    QObject::connect(&window, &loader::ui::CLoaderDlg::runFinished, [&](bool ok) {
        finished = true;
        programmed = ok;
    });
    window.chooseFile(image);
    window.setPortText("COM3");
    window.show();

    window.controls().get<QPushButton>(ids::connectButton)->click();
    ASSERT_TRUE(messages.empty()) << messages.front().toStdString();
    ASSERT_TRUE(waitUntil([&] { return window.link().identified(); }, 20000));
    EXPECT_EQ(buttons(window), "on off off on");
    auto* linkLamp = window.controls().get<platform::CiLedRoundX>(ids::linkLamp);
    ASSERT_TRUE(waitUntil([&] { return linkLamp->isActive(); }, 5000));

    window.controls().get<QPushButton>(ids::programButton)->click();
    EXPECT_EQ(buttons(window), "off off off on");
    ASSERT_TRUE(waitUntil([&] { return window.link().writing(); }, 20000));
    EXPECT_EQ(buttons(window), "off off off off");
    ASSERT_TRUE(waitUntil([&] { return finished; }, 120000));
    EXPECT_TRUE(programmed);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(buttons(window), "on on on off");
    EXPECT_FALSE(linkLamp->isActive());

    const QString log = target.finish();
    EXPECT_TRUE(log.contains("wrong echo")) << log.toStdString();
    QFile received(target.outPath());
    ASSERT_TRUE(received.open(QIODevice::ReadOnly));
    EXPECT_TRUE(received.readAll() == content);
    qunsetenv("COMPORTS_DIR");
}
