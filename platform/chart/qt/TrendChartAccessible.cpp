#include "platform/chart/qt/TrendChartAccessible.h"

#include <QAccessible>

#include "platform/chart/qt/ReadOnlyText.h"
#include "platform/chart/qt/TrendChart.h"

namespace platform {

namespace {

// A plot (index below the plot count) or the losses' read-out (the index after the plots):
// no widget of its own, so its place and texts are asked of the chart each time.
class ChartPart : public QAccessibleInterface, public ReadOnlyText {
public:
    ChartPart(TrendChart* chart, int index) : chart_(chart), index_(index) {}

    bool isValid() const override { return chart_ && index_ <= plots(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return chart_ ? chart_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return chart_ ? QAccessible::queryAccessibleInterface(chart_.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override {
        return isLosses() ? QAccessible::StaticText : QAccessible::Chart;
    }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.readOnly = true;
        if (!isValid() || !chart_->isVisible()) {
            state.invisible = true;
        }
        return state;
    }
    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        const QRect local = isLosses()
                                ? QRect(0, 0, chart_->width(), chart_->fontMetrics().height())
                                : chart_->plotRect(index_);
        return QRect(chart_->mapToGlobal(local.topLeft()), local.size());
    }
    QString text(QAccessible::Text kind) const override {
        if (!isValid()) {
            return {};
        }
        switch (kind) {
            case QAccessible::Name:
                return isLosses() ? QStringLiteral("Losses in view") : caption();
            case QAccessible::Description:
            case QAccessible::Value:
                return shown();
            default:
                return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this)
                                                  : nullptr;
    }

    QString shownText() const override { return shown(); }
    using ReadOnlyText::text;

private:
    int plots() const { return chart_ && chart_->source() ? chart_->source()->plotCount() : 0; }
    bool isLosses() const { return index_ == plots(); }
    QString caption() const {
        const TrendChartSource* source = chart_->source();
        const QString unit = source->unit(index_);
        return unit.isEmpty()
                   ? source->caption(index_)
                   : source->caption(index_) + QStringLiteral(" [") + unit + QLatin1Char(']');
    }
    QString shown() const {
        if (!isValid()) {
            return {};
        }
        return isLosses() ? TrendChart::lossesText(chart_->lossesInView())
                          : chart_->headingText(index_);
    }

    QPointer<TrendChart> chart_;
    int index_;
};

QAccessibleInterface* chartInterface(const QString& className, QObject* object) {
    if (className == QLatin1String(TrendChart::staticMetaObject.className())) {
        return new TrendChartAccessible(static_cast<TrendChart*>(object));
    }
    return nullptr;
}

}  // namespace

TrendChartAccessible::TrendChartAccessible(TrendChart* chart)
    : QAccessibleWidget(chart, QAccessible::Pane) {}

TrendChartAccessible::~TrendChartAccessible() {
    for (const QAccessible::Id id : children_) {
        QAccessible::deleteAccessibleInterface(id);
    }
}

void TrendChartAccessible::install() {
    QAccessible::installFactory(chartInterface);  // Qt keeps one entry per factory
}

TrendChart* TrendChartAccessible::chart() const {
    return static_cast<TrendChart*>(widget());
}

int TrendChartAccessible::childCount() const {
    const TrendChartSource* source = chart()->source();
    const int plots = source ? source->plotCount() : 0;
    return plots > 0 ? plots + 1 : 0;
}

QAccessibleInterface* TrendChartAccessible::child(int index) const {
    if (index < 0 || index >= childCount()) {
        return nullptr;
    }
    // Made once per place and kept, as Qt asks of interfaces without an object.
    while (static_cast<int>(children_.size()) <= index) {
        children_.push_back(QAccessible::registerAccessibleInterface(
            new ChartPart(chart(), static_cast<int>(children_.size()))));
    }
    return QAccessible::accessibleInterface(children_[static_cast<std::size_t>(index)]);
}

int TrendChartAccessible::indexOfChild(const QAccessibleInterface* child) const {
    for (std::size_t i = 0; i < children_.size(); ++i) {
        if (QAccessible::accessibleInterface(children_[i]) == child) {
            return static_cast<int>(i) < childCount() ? static_cast<int>(i) : -1;
        }
    }
    return -1;
}

QAccessibleInterface* TrendChartAccessible::childAt(int x, int y) const {
    for (int i = 0; i < childCount(); ++i) {
        QAccessibleInterface* part = child(i);
        if (part && part->rect().contains(x, y)) {
            return part;
        }
    }
    return nullptr;
}

}  // namespace platform
