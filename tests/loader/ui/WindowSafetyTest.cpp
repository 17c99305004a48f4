// The window keeps a run safe from stray input: buttons follow the steps in every path, a
// refused image leaves Program ready, and leaving mid-transfer needs a yes.

#include <QCloseEvent>
#include <QLabel>
#include <QTest>

#include "WindowFixture.h"

using testing_support::LoaderWindowTest;
namespace ids = loader::ids;

TEST_F(LoaderWindowTest, EnabledButtonsFollowTheStepsInEveryPath) {
    // Load File, Reset PIC, Connect, Program.
    struct Step {
        const char* moment;
        std::function<void()> act;
        const char* buttons;
    };
    const Step steps[] = {
        {"file chosen", [&] { chooseFile("a.bin", "abc"); }, "on on on off"},
        {"Connect pressed", [&] { click(ids::connectButton); }, "on off on off"},
        // Two wake echoes in one batch: the echo does not count, the line still identifies.
        {"identified after a doubled echo", [&] { serial.receive(std::string("wwVell-1\n")); },
         "on off off on"},
        {"file chosen while identified", [&] { chooseFile("b.bin", "def"); }, "on off off on"},
        {"image refused at Program",
         [&] {
             chooseFile("empty.hex", "");
             click(ids::programButton);
         },
         "on off off on"},
        {"a good image then", [&] { chooseFile("c.bin", "xy"); }, "on off off on"},
        {"Program pressed", [&] { click(ids::programButton); }, "off off off on"},
        {"start byte echoed",
         [&] {
             serial.receive(std::vector<std::uint8_t>{0xA5, 0, 0});
         },
         "off off off off"},
        {"programming finished",
         [&] {
             serial.receive(std::vector<std::uint8_t>{0x2E});
             echoLastByte();
             echoLastByte();
         },
         "on on on off"},
        {"Connect pressed again", [&] { click(ids::connectButton); }, "on off on off"},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(buttons(), step.buttons) << step.moment;
    }
    ASSERT_EQ(messages.size(), 1u) << "the empty image only";
    EXPECT_TRUE(messages[0].contains("empty.hex") && messages[0].contains("is empty"))
        << messages[0].toStdString();
}

TEST_F(LoaderWindowTest, LeavingMidTransferNeedsAYesWhileEscapeIsIgnored) {
    std::vector<QString> asked;
    bool answer = false;
    window.setLeaveQuestion([&](const QString& question) {
        asked.push_back(question);
        return answer;
    });
    window.show();
    chooseFile("fw.bin", QByteArray(50, 'x'));
    click(ids::connectButton);
    serial.receive(std::string("wVell-1\n"));
    click(ids::programButton);
    serial.receive(std::vector<std::uint8_t>{0xA5, 0, 1, 0x2E});
    ASSERT_TRUE(window.link().writing());

    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible()) << "Escape while writing";
    EXPECT_TRUE(asked.empty()) << "Escape does nothing, it does not ask";

    click(ids::exitButton);
    EXPECT_TRUE(window.isVisible()) << "EXIT answered No";
    window.close();
    EXPECT_TRUE(window.isVisible()) << "close box answered No";
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0], "Programming is in progress. Stop and leave the target unprogrammed?");
    EXPECT_TRUE(serial.getPortOpen());
    echoLastByte();
    EXPECT_TRUE(window.link().writing()) << "the run goes on";

    answer = true;
    click(ids::exitButton);
    EXPECT_FALSE(window.isVisible()) << "EXIT answered Yes";
    EXPECT_FALSE(serial.getPortOpen());
}

TEST_F(LoaderWindowTest, OutsideATransferEscapeAndTheCloseBoxCloseWithoutAsking) {
    int asked = 0;
    window.setLeaveQuestion([&](const QString&) { return ++asked, false; });
    for (const char* way : {"Escape", "close box"}) {
        window.show();
        chooseFile("fw.bin", "abc");
        click(ids::connectButton);
        if (std::string(way) == "Escape") {
            QTest::keyClick(&window, Qt::Key_Escape);
        } else {
            window.close();
        }
        EXPECT_FALSE(window.isVisible()) << way;
    }
    EXPECT_EQ(asked, 0);
}

TEST_F(LoaderWindowTest, EveryLabelShowsItsWholeCaption) {
    window.show();
    for (auto* label : window.findChildren<QLabel*>()) {
        const int needed = label->fontMetrics().horizontalAdvance(label->text());
        EXPECT_LE(needed, label->contentsRect().width())
            << "label " << label->objectName().toStdString() << " \"" << label->text().toStdString()
            << "\"";
    }
}
