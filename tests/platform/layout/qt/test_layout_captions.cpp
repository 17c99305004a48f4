// The captions a reader hears for a control, found from a layout's rows: the label before it,
// else the smallest group box around it, and a column caption above it in that group.
#include <gtest/gtest.h>

#include <QString>
#include <array>

#include "platform/layout/qt/LayoutCaptions.h"

namespace {

using platform::ControlKind;
using platform::ControlRow;

const auto rows = std::to_array<ControlRow>({
    {0, ControlKind::groupBox, "Step 1: Connect", 10, 10, 200, 60},
    {0, ControlKind::label, "Port :", 14, 22, 20, 8},
    {0, ControlKind::groupBox, "Serial Number", 14, 34, 80, 30},
    {0, ControlKind::groupBox, "Engine DM1", 220, 10, 90, 50},
    {0, ControlKind::label, "SPN  FMI  OC  CM", 224, 20, 80, 8},
    {0, ControlKind::label, "Far away", 224, 100, 80, 8},
    {0, ControlKind::groupBox, "A/C && Refrigerant", 220, 70, 90, 20},
    {0, ControlKind::label, "Bytes Sent:", 400, 30, 40, 8},
    {0, ControlKind::groupBox, "Programming", 390, 100, 100, 60},
    {0, ControlKind::label, "Total Bytes :", 400, 110, 40, 8},
});

struct Case {
    const char* what;
    ControlRow control;
    const char* before;
    const char* group;
    const char* above;
};

// clang-format off
const Case cases[] = {
    {"list after its label",           {1, ControlKind::editableCombo, "", 34, 20, 40, 80},   "Port",       "Step 1: Connect",   ""},
    {"box in a group inside a group",  {2, ControlKind::edit, "", 18, 46, 70, 12},            "",           "Serial Number",     ""},
    {"box under a column caption",     {3, ControlKind::edit, "", 224, 30, 80, 12},           "",           "Engine DM1",        "SPN  FMI  OC  CM"},
    {"label too far before",           {4, ControlKind::edit, "", 60, 22, 40, 12},            "",           "Step 1: Connect",   ""},
    {"box sticking out of every group",{5, ControlKind::edit, "", 200, 30, 40, 12},           "",           "",                  ""},
    {"caption with an ampersand",      {6, ControlKind::ledRectangle, "", 224, 74, 30, 12},   "",           "A/C & Refrigerant", ""},
    {"label a gap before",             {7, ControlKind::edit, "", 443, 28, 40, 12},           "Bytes Sent", "",                  ""},
    {"labels below or elsewhere",      {8, ControlKind::edit, "", 224, 80, 80, 8},            "",           "A/C & Refrigerant", ""},
    {"label a line too high",          {9, ControlKind::progressBar, "", 395, 130, 90, 12},   "",           "Programming",       ""},
    {"label wider than the box",       {10, ControlKind::edit, "", 405, 122, 20, 12},         "",           "Programming",       ""},
    {"label just above",               {11, ControlKind::edit, "", 400, 120, 60, 12},         "",           "Programming",       "Total Bytes"},
};
// clang-format on

TEST(LayoutCaptions, findTheLabelBeforeTheGroupAroundAndTheCaptionAbove) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(platform::labelBefore(c.control, rows), QString::fromUtf8(c.before));
        EXPECT_EQ(platform::groupCaptionAround(c.control, rows), QString::fromUtf8(c.group));
        EXPECT_EQ(platform::labelAbove(c.control, rows), QString::fromUtf8(c.above));
    }
}

TEST(LayoutCaptions, readCaptionsWithoutMnemonicsPaddingOrClosingColon) {
    const std::pair<const char*, const char*> texts[] = {
        {"Total Bytes :", "Total Bytes"},
        {"Multi-&Packets", "Multi-Packets"},
        {"A/C && Refrigerant Switch", "A/C & Refrigerant Switch"},
        {"EGR Mass Flow Rate ", "EGR Mass Flow Rate"},
        {"Ratio 1:2", "Ratio 1:2"},
        {"", ""},
    };
    for (const auto& [caption, heard] : texts) {
        EXPECT_EQ(platform::captionText(caption), QString::fromUtf8(heard)) << caption;
    }
}

TEST(LayoutCaptions, findARowByItsIdButNeverByIdZero) {
    EXPECT_EQ(platform::rowWithId(rows, 0), nullptr);
    const std::array<ControlRow, 2> withIds = {
        {{0, ControlKind::label, "x", 0, 0, 1, 1}, {1014, ControlKind::label, "y", 0, 0, 1, 1}}};
    ASSERT_NE(platform::rowWithId(withIds, 1014), nullptr);
    EXPECT_STREQ(platform::rowWithId(withIds, 1014)->caption, "y");
    EXPECT_EQ(platform::rowWithId(withIds, 1015), nullptr);
}

}  // namespace
