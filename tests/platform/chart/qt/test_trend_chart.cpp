// The trend chart's time axis across midnight and its count of the losses in view, drawn from
// a source given by hand.
#include <QApplication>

#include <gtest/gtest.h>

#include "platform/chart/qt/TrendChart.h"

namespace {

constexpr std::int64_t hour = 3'600'000;
constexpr std::int64_t march14 = 1'741'910'400'000;  // 2025-03-14 00:00 UTC

// One plot whose trace has the losses given, each column a reading of 1.
class HandSource : public platform::TrendChartSource {
public:
    std::vector<platform::PlotLoss> losses;
    int offsetSeconds = 0;

    int plotCount() const override { return 1; }
    QString caption(int) const override { return "Engine RPM"; }
    QString unit(int) const override { return "RPM"; }
    bool onOff(int) const override { return false; }
    platform::PlotTrace trace(int, std::int64_t, std::int64_t, int columns) const override {
        platform::PlotTrace trace;
        trace.columns.resize(static_cast<std::size_t>(columns));
        for (platform::PlotColumn& column : trace.columns) {
            column.any = true;
            column.low = column.high = column.first = column.last = 1;
        }
        trace.losses = losses;
        return trace;
    }
    QString readingText(int, std::int64_t when) const override {
        return QString("reading at %1").arg(when);
    }
    std::uint64_t revision() const override { return losses.size(); }
    int utcOffsetSeconds() const override { return offsetSeconds; }
    QString cursorText(int, std::optional<std::int64_t> a,
                       std::optional<std::int64_t> b) const override {
        return QString("A %1 B %2").arg(a.value_or(-1)).arg(b.value_or(-1));
    }
    std::optional<platform::AxisScale> fixedScale(int) const override { return std::nullopt; }
};

int dated(const QStringList& labels) {
    int count = 0;
    for (const QString& label : labels) {
        count += label.startsWith("2025-") ? 1 : 0;
    }
    return count;
}

TEST(TrendChart, DatesTheTimeAxisWhereTheRangeCrossesMidnight) {
    HandSource source;
    platform::TrendChart chart;
    chart.resize(800, 400);
    chart.setSource(&source);
    const struct {
        const char* what;
        std::int64_t from, to;
        int offsetSeconds;
        int dates;  // -1: not counted
        QString first;
        QString midnight;  // a label there, when not empty
    } cases[] = {
        {"four hours in a day", march14 + 10 * hour, march14 + 14 * hour, 0, 0, "", ""},
        {"four hours across midnight", march14 + 22 * hour, march14 + 26 * hour, 0, 2,
         "2025-03-14 ", "2025-03-15 00:00"},
        {"48 hours", march14 + 8 * hour, march14 + 56 * hour, 0, 3, "2025-03-14 ",
         "2025-03-16 00:00"},
        // 22:00 to 02:00 UTC is 23:00 to 03:00 at UTC+01:00: its own midnight (the first
        // label, half an hour before, may be too near to carry its date too).
        {"across the local midnight", march14 + 22 * hour, march14 + 26 * hour, 3600, -1, "",
         "2025-03-15 00:00"},
        {"within the local day", march14 + 20 * hour, march14 + 22 * hour, -3600, 0, "", ""},
    };
    for (const auto& c : cases) {
        source.offsetSeconds = c.offsetSeconds;
        chart.setRange(c.from, c.to);
        const QStringList labels = chart.timeAxisLabels();
        ASSERT_FALSE(labels.isEmpty()) << c.what;
        if (c.dates >= 0) {
            EXPECT_EQ(dated(labels), c.dates) << c.what << ": " << labels.join(" | ").toStdString();
        }
        EXPECT_TRUE(labels.front().startsWith(c.first)) << c.what;
        if (!c.midnight.isEmpty()) {
            EXPECT_TRUE(labels.contains(c.midnight)) << c.what;
        }
    }
    // Seconds from the start carry no date.
    chart.setRange(march14 + 22 * hour, march14 + 26 * hour);
    chart.setTimeOrigin(march14 + 22 * hour);
    EXPECT_EQ(dated(chart.timeAxisLabels()), 0);
}

TEST(TrendChart, CountsTheLossesInViewAndReadsOutEachHeading) {
    HandSource source;
    platform::TrendChart chart;
    chart.resize(800, 400);
    chart.setSource(&source);
    chart.setRange(march14, march14 + hour);
    EXPECT_EQ(chart.lossesInView(), 0);
    source.losses = {{march14 - 5000, march14 + 2000}, {march14 + 600'000, march14 + 602'000}};
    EXPECT_EQ(chart.lossesInView(), 2);
    source.losses.push_back({march14 - 9000, march14});  // ended as the view begins
    EXPECT_EQ(chart.lossesInView(), 2);
    EXPECT_EQ(platform::TrendChart::lossesText(0), "No loss in view");
    EXPECT_EQ(platform::TrendChart::lossesText(1), "1 loss in view");
    EXPECT_EQ(platform::TrendChart::lossesText(2), "2 losses in view");

    // Without a cursor the newest time shown; with A or B, both.
    EXPECT_EQ(chart.headingText(0), "reading at 1741913999999");
    chart.setCursors(march14 + 1000, std::nullopt);
    EXPECT_EQ(chart.headingText(0), "A 1741910401000 B -1");
    EXPECT_EQ(chart.headingText(1), "");
}

}  // namespace
