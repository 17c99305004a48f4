// Program with a damaged Intel HEX file in the window: the operator is asked first, and No
// sends nothing and leaves the run Identified.

#include "WindowFixture.h"

using testing_support::LoaderWindowTest;
namespace ids = loader::ids;

TEST_F(LoaderWindowTest, ADamagedHexFileIsSentOnlyAfterAYes) {
    const QByteArray damaged = ":0401200001020304D1\n:0401200001020304D1\n";
    const struct {
        bool answer;
        const char* buttons;
        std::vector<std::uint8_t> written;
    } table[] = {
        {false, "on off off on", {}},
        {true, "off off off on", {0xA5}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.answer ? "Yes" : "No");
        sendDamaged = row.answer;
        damagedQuestions.clear();
        chooseFile("fw.hex", damaged);
        click(ids::connectButton);
        serial.receive(std::string("wVell-3.2\r\n"));
        serial.written.clear();
        click(ids::programButton);
        ASSERT_EQ(damagedQuestions.size(), 1u);
        EXPECT_EQ(damagedQuestions[0],
                  "fw.hex line 3: the end-of-file record is missing (the file may be cut short)");
        EXPECT_EQ(serial.written, row.written);
        EXPECT_EQ(buttons(), row.buttons);
        EXPECT_TRUE(messages.empty());
    }
}
