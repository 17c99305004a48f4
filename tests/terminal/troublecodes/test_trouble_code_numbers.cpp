// Trouble codes as numbers: what each box shows for a level and the two modes, as the CSV
// cell and the clipboard give it, with the multi-packet lists in full where a box points to
// them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "terminal/recording/DashboardExport.h"
#include "terminal/troublecodes/TroubleCodeNumbers.h"
#include "terminal/troublecodes/TroubleCodes.h"

namespace {

using terminal::TroubleCode;
using terminal::TroubleCodeBox;

struct Cells {
    std::string engineDm1;
    std::string absDm1;
    std::string transmissionDm1;
    std::string engineDm2;
};

Cells cellsFor(int level, bool warnings, bool resetDm2, std::uint16_t firmware = 2) {
    const terminal::TroubleCodes shown = terminal::computeTroubleCodes(
        static_cast<std::uint8_t>(level), warnings, resetDm2, firmware);
    auto cell = [](TroubleCodeBox box, std::string_view text) {
        return terminal::troubleCodeCell(terminal::troubleCodesShown(box, text));
    };
    return {cell(TroubleCodeBox::engineDm1, shown.engineDm1Text),
            cell(TroubleCodeBox::absDm1, shown.absDm1Text),
            cell(TroubleCodeBox::transmissionDm1, shown.transmissionDm1Text),
            cell(TroubleCodeBox::engineDm2, shown.engineDm2Text)};
}

TEST(TroubleCodeNumbers, EachBoxGivesTheCodesItShowsForLevelAndModes) {
    const struct {
        int level;
        bool warnings;
        bool resetDm2;
        Cells cells;
    } cases[] = {
        {0, false, false, {"", "", "", "110:0:1:0"}},
        {0, true, false, {"111:1:1:0", "", "", "110:0:1:0"}},
        {20, true, false, {"97:15:1:0", "", "", "110:0:1:0"}},
        {60, true, true, {"100:0:26:0", "", "", ""}},
        {61, true, false, {"", "597:1:7:0", "", "110:0:1:0"}},
        {81, true, false, {"", "", "177:0:126:0", "110:0:1:0"}},
        {100, false, true, {"", "", "", ""}},
        {255, true, false, {"", "", "", "110:0:1:0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("level " + std::to_string(c.level) + (c.warnings ? " W" : "") +
                     (c.resetDm2 ? " R" : ""));
        const Cells cells = cellsFor(c.level, c.warnings, c.resetDm2);
        EXPECT_EQ(cells.engineDm1, c.cells.engineDm1);
        EXPECT_EQ(cells.absDm1, c.cells.absDm1);
        EXPECT_EQ(cells.transmissionDm1, c.cells.transmissionDm1);
        EXPECT_EQ(cells.engineDm2, c.cells.engineDm2);
    }
}

TEST(TroubleCodeNumbers, AtLevelHundredTheEngineBoxesGiveTheirWholeMultiPacketLists) {
    const Cells cells = cellsFor(100, true, false);
    EXPECT_EQ(cells.absDm1, "597:1:7:0");
    EXPECT_EQ(cells.transmissionDm1, "177:0:126:0");
    EXPECT_EQ(cells.engineDm2,
              "1172:0:1:0 1081:1:2:0 110:2:3:0 91:3:4:0 100:4:5:0 174:5:6:0 626:6:7:0 "
              "1172:7:8:0 110:15:9:0");

    const std::vector<TroubleCode> dm1 = terminal::troubleCodesShown(
        TroubleCodeBox::engineDm1,
        terminal::computeTroubleCodes(100, true, false, 2).engineDm1Text);
    ASSERT_EQ(dm1.size(), 64u);
    EXPECT_EQ(dm1.front(), (TroubleCode{110, 0, 1, 0}));
    EXPECT_EQ(dm1[11], (TroubleCode{1081, 11, 45, 0}));
    EXPECT_EQ(dm1[31], (TroubleCode{175, 3, 125, 0}));
    EXPECT_EQ(dm1[32], (TroubleCode{102, 0, 1, 0}));
    EXPECT_EQ(dm1.back(), (TroubleCode{102, 31, 1, 0}));
    EXPECT_EQ(cells.engineDm1.substr(0, 30), "110:0:1:0 100:1:5:0 97:15:9:0 ");
    EXPECT_EQ(cells.engineDm1.substr(cells.engineDm1.size() - 22), " 102:30:1:0 102:31:1:0");

    // With no identification in force every box shows the zero row: no codes at all.
    const Cells reset = cellsFor(100, true, false, 0);
    EXPECT_EQ(reset.engineDm1 + reset.absDm1 + reset.transmissionDm1 + reset.engineDm2, "");
}

TEST(TroubleCodeNumbers, OnlyAWholeRowOfFourNumbersIsACode) {
    const struct {
        const char* text;
        std::vector<TroubleCode> codes;
    } cases[] = {
        {"1081   11     45     0\r\n", {{1081, 11, 45, 0}}},
        {"597     1     7     0", {{597, 1, 7, 0}}},
        {"   0     0      0     0\r\n", {}},
        {"", {}},
        {"110     0      1", {}},
        {"110     0      1     0     5", {}},
        {"110     0      1     0x", {}},
        {"1x0     0      1     0", {}},
        {"110\t0 1 0", {}},
        {"1234567890 0 1 0", {}},
        {"See @ Multi-Packets\r\n", {}},  // a box that is not an engine box has no list
    };
    for (const auto& c : cases) {
        EXPECT_EQ(terminal::troubleCodesShown(TroubleCodeBox::absDm1, c.text), c.codes) << c.text;
    }
    // A dialog's list: every row in order, the last one without its line end.
    EXPECT_EQ(terminal::troubleCodesOfRows(" 110     2      3     0\r\n 110    15      9     0"),
              (std::vector<TroubleCode>{{110, 2, 3, 0}, {110, 15, 9, 0}}));
    // The zero row among them stands for no code and is left out, as in a single box.
    EXPECT_EQ(
        terminal::troubleCodesOfRows(
            " 597     1      7     0\r\n   0     0      0     0\r\n 177     0    126     0\r\n"),
        (std::vector<TroubleCode>{{597, 1, 7, 0}, {177, 0, 126, 0}}));
}

}  // namespace
