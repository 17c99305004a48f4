#pragma once
// What the Trends window and --plot draw: the chosen values of one TrendData (the live
// history or a recording), with the captions, units and decimals of the dashboard.

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "platform/chart/qt/TrendChart.h"
#include "terminal/trends/TrendData.h"

namespace terminal::ui {

class TrendsSource : public platform::TrendChartSource {
public:
    // The data shown (not owned; nullptr: none) and the offset from UTC of its clock.
    void show(const TrendData* data, int utcOffsetSeconds);
    const TrendData* data() const { return data_; }
    // Indexes into trendItems(), top plot first.
    void setItems(std::vector<std::size_t> items);
    const std::vector<std::size_t>& items() const { return items_; }

    int plotCount() const override { return static_cast<int>(items_.size()); }
    QString caption(int plot) const override;
    QString unit(int plot) const override;
    bool onOff(int plot) const override;
    platform::PlotTrace trace(int plot, std::int64_t from, std::int64_t to,
                              int columns) const override;
    QString readingText(int plot, std::int64_t when) const override;
    std::uint64_t revision() const override;
    int utcOffsetSeconds() const override { return utcOffsetSeconds_; }
    // "A 800.00 RPM  B 1200.00 RPM  Δ 400.00 RPM"; a lamp has no difference.
    QString cursorText(int plot, std::optional<std::int64_t> a,
                       std::optional<std::int64_t> b) const override;
    std::optional<platform::AxisScale> fixedScale(int plot) const override;
    // Holds a value's axis at `scale`, or (nothing) fits it to what is shown again.
    void setFixedScale(std::size_t item, std::optional<platform::AxisScale> scale);
    std::optional<platform::AxisScale> fixedScaleOf(std::size_t item) const;
    // A reading of a plot as its display shows it, unit included; `signedDifference` puts a
    // sign before a positive number.
    QString valueText(int plot, double value, bool signedDifference = false) const;

private:
    const TrendData* data_ = nullptr;
    std::vector<std::size_t> items_;
    int utcOffsetSeconds_ = 0;
    std::uint64_t changes_ = 0;
    std::map<std::size_t, platform::AxisScale> fixed_;
};

// A heading for a picture of the plots: "run.csv, 2025-03-14 09:26:53 – 10:26:53 (UTC+01:00)".
QString rangeTitle(const QString& what, std::int64_t from, std::int64_t to, int utcOffsetSeconds);

}  // namespace terminal::ui
