#pragma once
// The trend chart as a screen reader or a GUI test reads it: one object per plot, named by
// its value, whose text is what its heading reads out (the reading at the cursor, or A's and
// B's), and one that reads out the losses of the link in view ("2 losses in view").

#include <QAccessibleWidget>
#include <QPointer>
#include <vector>

namespace platform {

class TrendChart;

class TrendChartAccessible : public QAccessibleWidget {
public:
    explicit TrendChartAccessible(TrendChart* chart);
    ~TrendChartAccessible() override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

    // Installs the factory that gives every TrendChart this interface; once is enough.
    static void install();

private:
    TrendChart* chart() const;

    mutable std::vector<QAccessible::Id> children_;  // registered with QAccessible, by index
};

}  // namespace platform
