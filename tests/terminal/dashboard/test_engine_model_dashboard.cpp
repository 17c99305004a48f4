// The level update and the trouble-code reset as the dashboard sees them: what is written to
// which control, in which order, and what the panel shows afterwards.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "terminal/dashboard/DashboardUpdate.h"
#include "terminal/troublecodes/MultiPacketTables.h"

namespace terminal {
namespace {

// Records every call of the update in order; the panel holds what the controls show.
class RecordingView : public TerminalView {
public:
    struct Call {
        std::string what;  // "read", "write", "display", "lamp", "enable"
        int id = 0;
        double value = 0;
    };

    DashboardState panel;
    std::vector<Call> calls;
    std::vector<DashboardState> written;

    void readPanel(DashboardState& state) override {
        calls.push_back({"read"});
        state = panel;
    }
    void writePanel(const DashboardState& state) override {
        calls.push_back({"write"});
        written.push_back(state);
        panel = state;
    }
    void setDisplayValue(int id, double value) override { calls.push_back({"display", id, value}); }
    void setLampActive(int id, bool lit) override {
        calls.push_back({"lamp", id, lit ? 1.0 : 0.0});
    }
    void enableControl(int id, bool enabled) override {
        calls.push_back({"enable", id, enabled ? 1.0 : 0.0});
    }
    double getSliderPosition() override { return 0; }
    void setSliderPosition(double) override {}
    void showMessage(const std::string&, MessageIcon) override {}
    void startTimer(int, int) override {}
    void stopTimer(int) override {}
    void closeWindow() override {}

    std::vector<int> ids(const std::string& what) const {
        std::vector<int> out;
        for (const Call& c : calls) {
            if (c.what == what)
                out.push_back(c.id);
        }
        return out;
    }
    // The last value written to a control of the given kind; -1 when never written.
    double last(const std::string& what, int id) const {
        double value = -1;
        for (const Call& c : calls) {
            if (c.what == what && c.id == id)
                value = c.value;
        }
        return value;
    }
};

const std::string zeroRow = "   0     0      0     0\r\n";
constexpr std::uint16_t identified = 2;

TEST(LevelUpdate, WritesDisplaysThenLampsThenTroubleCodesBetweenTheTwoTransfers) {
    RecordingView view;
    DashboardState state;
    applyLevel(30, view, state, identified);

    ASSERT_FALSE(view.calls.empty());
    EXPECT_EQ(view.calls.front().what, "read");
    EXPECT_EQ(view.calls.back().what, "write");
    EXPECT_EQ(view.ids("read").size(), 1u);
    EXPECT_EQ(view.ids("write").size(), 1u);

    const std::vector<int> displayOrder = {1013, 1025, 1016, 1022, 1014, 1017, 1023, 1026, 1027,
                                           1015, 1021, 1020, 1024, 1018, 1019, 1037, 1050, 1051,
                                           1052, 1053, 1054, 1073, 1074, 1075, 1076, 1077, 1079};
    EXPECT_EQ(view.ids("display"), displayOrder);

    const std::vector<int> lampOrder = {1080, 1029, 1055, 1060, 1056, 1061, 1057, 1062, 1058, 1063,
                                        1059, 1064, 1065, 1066, 1067, 1068, 1069, 1070, 1071, 1072,
                                        1030,
                                        // trouble-code lamps after the engine's own
                                        1032, 1031, 1035, 1033, 1036, 1034};
    EXPECT_EQ(view.ids("lamp"), lampOrder);

    // Every display precedes every lamp; the buttons follow the engine lamps.
    std::size_t lastDisplay = 0, firstLamp = view.calls.size(), firstEnable = view.calls.size();
    for (std::size_t i = 0; i < view.calls.size(); ++i) {
        const std::string& what = view.calls[i].what;
        if (what == "display")
            lastDisplay = i;
        if (what == "lamp" && firstLamp == view.calls.size())
            firstLamp = i;
        if (what == "enable" && firstEnable == view.calls.size())
            firstEnable = i;
    }
    EXPECT_LT(lastDisplay, firstLamp);
    EXPECT_GT(firstEnable, firstLamp + 20);
    EXPECT_EQ(view.ids("enable"), (std::vector<int>{1045, 1047}));
}

TEST(LevelUpdate, LevelFiftyShowsRpmAndCoolantOnTheirDisplays) {
    RecordingView view;
    DashboardState state;
    applyLevel(50, view, state, identified);
    EXPECT_EQ(view.last("display", 1013), 4015.875);
    EXPECT_EQ(view.last("display", 1017), 185.0);
    ASSERT_EQ(view.written.size(), 1u);
    EXPECT_EQ(view.written[0].vinText, "1M8GDM9AXKP042050*");
}

TEST(LevelUpdate, DisplaysReceiveTheSinglePrecisionValue) {
    RecordingView view;
    DashboardState state;
    applyLevel(100, view, state, identified);
    // 621372.115 miles in double precision; the display gets the float 621372.125.
    EXPECT_EQ(view.last("display", 1026), 621372.125);
    EXPECT_EQ(view.last("display", 1037), view.last("display", 1050));
}

TEST(LevelUpdate, UsesTheModesOnScreenNotThoseInTheRecordBefore) {
    RecordingView view;
    view.panel.warningsOn = true;
    view.panel.resetEngineDm2On = true;
    view.panel.engineClockText = "3:4";
    DashboardState state;  // stale: both modes off
    applyLevel(20, view, state, identified);

    EXPECT_EQ(view.last("lamp", 1030), 1.0);  // WIF needs Warnings
    ASSERT_EQ(view.written.size(), 1u);
    const DashboardState& shown = view.written[0];
    EXPECT_EQ(shown.engineDm1Text, " 97    15      1     0\r\n");
    EXPECT_EQ(shown.engineDm2Text, zeroRow);
    EXPECT_EQ(shown.engineClockText, "3:4");  // texts the update does not own survive
    EXPECT_TRUE(shown.warningsOn);
    EXPECT_EQ(state.engineDm1Text, shown.engineDm1Text);
}

TEST(LevelUpdate, AtOneHundredWithWarningsBothListsOpenAndEveryLampIsLit) {
    RecordingView view;
    view.panel.warningsOn = true;
    DashboardState state;
    applyLevel(100, view, state, identified);

    for (const RecordingView::Call& c : view.calls) {
        if (c.what == "lamp" || c.what == "enable") {
            EXPECT_EQ(c.value, 1.0) << c.id;
        }
    }
    const DashboardState& shown = view.written.at(0);
    EXPECT_EQ(shown.engineDm1Text, "See @ Multi-Packets");
    EXPECT_EQ(shown.engineDm2Text, "See @ Multi-Packets");
    EXPECT_EQ(shown.transmissionDm1Text, "177     0    126     0\r\n");
    EXPECT_EQ(shown.absDm1Text, "597     1     7     0\r\n");
    EXPECT_EQ(shown.vinText, "1M8GDM9AXKP042100*");
}

TEST(LevelUpdate, LeavingOneHundredDisablesBothListButtons) {
    RecordingView view;
    view.panel.warningsOn = true;
    DashboardState state;
    applyLevel(100, view, state, identified);
    view.calls.clear();
    applyLevel(99, view, state, identified);
    EXPECT_EQ(view.last("enable", 1045), 0.0);
    EXPECT_EQ(view.last("enable", 1047), 0.0);
    EXPECT_EQ(view.panel.engineDm2Text, " 110     0      1     0\r\n");
}

TEST(LevelUpdate, WithoutIdentificationLevelZeroDarkensTheTroubleCodes) {
    RecordingView view;
    view.panel.warningsOn = true;
    view.panel.engineDm1Text = "168     1      1     0\r\n";
    DashboardState state;
    applyLevel(0, view, state, 0);

    for (int id : {1031, 1032, 1033, 1034, 1035, 1036}) {
        EXPECT_EQ(view.last("lamp", id), 0.0) << id;
    }
    EXPECT_EQ(view.last("enable", 1045), 0.0);
    EXPECT_EQ(view.last("enable", 1047), 0.0);
    const DashboardState& shown = view.written.at(0);
    EXPECT_EQ(shown.engineDm1Text, zeroRow);
    EXPECT_EQ(shown.engineDm2Text, zeroRow);
    EXPECT_EQ(shown.transmissionDm1Text, zeroRow);
    EXPECT_EQ(shown.absDm1Text, zeroRow);
    // Level 0's own lamps are lit here; the session darkens them itself afterwards.
    for (int id : {1080, 1056, 1061, 1065}) {
        EXPECT_EQ(view.last("lamp", id), 1.0) << id;
    }
    EXPECT_EQ(view.last("display", 1017), -40.0);
}

TEST(TroubleCodeReset, ShowsZeroRowsDisablesTheBoxesAndRebuildsBothLists) {
    RecordingView view;
    DashboardState state;
    state.engineDm1Text = "See @ Multi-Packets";
    state.engineDm2Text = "See @ Multi-Packets";
    state.transmissionDm1Text = "177     0    126     0\r\n";
    state.absDm1Text = "597     1     7     0\r\n";
    state.vinText = "Not Available Yet!";
    MultiPacketLists lists{"stale", "stale"};

    resetTroubleCodes(view, state, lists);

    EXPECT_EQ(state.engineDm1Text, zeroRow);
    EXPECT_EQ(state.engineDm2Text, zeroRow);
    EXPECT_EQ(state.transmissionDm1Text, zeroRow);
    EXPECT_EQ(state.absDm1Text, zeroRow);
    EXPECT_EQ(state.vinText, "Not Available Yet!");
    EXPECT_EQ(view.ids("enable"), (std::vector<int>{1041, 1044, 1042, 1043, 1046}));
    for (const RecordingView::Call& c : view.calls) {
        EXPECT_EQ(c.what, "enable");
        EXPECT_EQ(c.value, 0.0);
    }
    EXPECT_EQ(lists.engineDm1, multiPacketList(engineDm1MultiPacketRows));
    EXPECT_EQ(lists.engineDm2, multiPacketList(engineDm2MultiPacketRows));
    EXPECT_EQ(lists.engineDm1.substr(0, 5), "110  ");
    EXPECT_EQ(lists.engineDm2.substr(0, 5), "1172 ");
}

}  // namespace
}  // namespace terminal
