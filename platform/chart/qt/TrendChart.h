#pragma once
// Trend plots stacked over one time axis, painted with QPainter like the instruments. Each
// plot is scaled to what it shows, with its unit along its value axis; its line is drawn one
// pixel column at a time from a PlotTrace (lowest to highest reading, a step where the value
// changed, nothing where a gap is, a dot for a reading that stands alone), and the time
// without a link is shaded: a loss too short to see at the span is drawn 3 pixels wide in a
// stronger colour, every loss has a mark under the time axis, and the line above the plots
// counts them and says what the shading means. Values left out (no reading: not a number,
// out of range) are marked at the plot's top edge. The mouse is a
// cursor: its time on the axis and every plot's reading at that time in its heading. Two
// measuring cursors, A and B, stand where they are put; while either is set, each heading
// reads out both and their difference.
//
// The mouse asks, the owner decides: a click asks for cursor A (with Shift, B), a drag for a
// pan, a drag with Ctrl for a zoom to the stretch dragged over, the wheel for a zoom about the
// pointer; the owner answers with setRange and setCursors.
//
// The chart asks its source for what to draw, whenever the range, the size or the source's
// revision changes; a repaint for the cursor alone draws the traces it has.

#include <QImage>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "platform/chart/AxisTicks.h"
#include "platform/chart/PlotTrace.h"

class QPainter;

namespace platform {

class TrendChartSource {
public:
    virtual ~TrendChartSource() = default;

    virtual int plotCount() const = 0;
    virtual QString caption(int plot) const = 0;  // the plot's heading
    virtual QString unit(int plot) const = 0;     // along the value axis; may be empty
    virtual bool onOff(int plot) const = 0;       // a lamp: the axis reads "off" and "on"
    virtual platform::PlotTrace trace(int plot, std::int64_t from, std::int64_t to,
                                      int columns) const = 0;
    // What the plot shows at `when`, unit included: "4015.88 RPM", "no reading".
    virtual QString readingText(int plot, std::int64_t when) const = 0;
    // Changes whenever a trace or a caption may have changed.
    virtual std::uint64_t revision() const = 0;
    // The local clock of the times shown: seconds east of UTC.
    virtual int utcOffsetSeconds() const = 0;
    // What the plot shows at the cursors A and B (either may be unset) and their difference.
    virtual QString cursorText(int plot, std::optional<std::int64_t> a,
                               std::optional<std::int64_t> b) const = 0;
    // The plot's value axis when it is held at a fixed range; nothing: fitted to what it shows.
    virtual std::optional<AxisScale> fixedScale(int plot) const = 0;
};

class TrendChart : public QWidget {
    Q_OBJECT
public:
    explicit TrendChart(QWidget* parent = nullptr);

    void setSource(const TrendChartSource* source);  // not owned; nullptr shows nothing
    const TrendChartSource* source() const { return source_; }
    // The times shown, milliseconds since 1970 UTC, `to` at the right edge.
    void setRange(std::int64_t from, std::int64_t to);
    std::int64_t from() const { return from_; }
    std::int64_t to() const { return to_; }
    // Shown in place of the plots when the source has none.
    void setEmptyText(const QString& text);
    // The measuring cursors' times; unset, not drawn.
    void setCursors(std::optional<std::int64_t> a, std::optional<std::int64_t> b);
    std::optional<std::int64_t> cursorA() const { return cursorA_; }
    std::optional<std::int64_t> cursorB() const { return cursorB_; }
    // The time axis in seconds after `origin`; unset, in the source's clock time.
    void setTimeOrigin(std::optional<std::int64_t> origin);
    std::optional<std::int64_t> timeOrigin() const { return origin_; }
    // A time as the axis reads it, to the millisecond: "09:26:53.589" or "12.345 s".
    QString cursorTimeText(std::int64_t time) const;
    // The time at a point of the widget's x; the plot under a point, if any.
    std::int64_t timeAtX(int x) const;
    std::optional<int> plotAt(QPoint point) const;
    // The value axis a plot was last drawn with.
    std::optional<AxisScale> scaleShown(int plot) const;

    // The losses of the link in view, as the heading counts them: "2 losses in view".
    int lossesInView() const;
    static QString lossesText(int losses);
    // What a plot's heading reads out now, at its right: the reading at the mouse cursor (else
    // the newest shown), or A's and B's while a measuring cursor is set.
    QString headingText(int plot) const;
    // The plot's heading and body, in the widget's coordinates.
    QRect plotRect(int plot) const;
    // The time axis' labels as drawn at the widget's size, left to right.
    QStringList timeAxisLabels() const;

    // The time under the mouse, while it is over the plots.
    std::optional<std::int64_t> cursorTime() const;
    // The chart as shown, headed by `title`, without the cursor: `size` in the widget's units,
    // the picture `ratio` times as many pixels each way.
    QImage renderImage(QSize size, const QString& title, qreal ratio = 1) const;

    QSize minimumSizeHint() const override { return {320, 160}; }

signals:
    void cursorAsked(std::int64_t time, bool b);
    // Drag: the range moved later by `shift` milliseconds (earlier when negative).
    void panAsked(std::int64_t shift);
    void zoomToAsked(std::int64_t one, std::int64_t other);
    // The wheel turned by `steps` notches (positive away from the user: in).
    void zoomAsked(std::int64_t anchor, double steps);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    struct Layout;
    // The time axis' labels: their times and where they stand.
    struct TimeTicks {
        std::int64_t step = 1000;
        std::vector<std::pair<std::int64_t, int>> marks;
    };
    Layout layout(const QFontMetrics& metrics, QRect area, bool titled) const;
    TimeTicks timeTicks(const Layout& layout, const QFontMetrics& metrics) const;
    void paint(QPainter& painter, QRect area, qreal devicePixelRatio, const QString& title,
               std::optional<int> cursorX) const;
    void paintPlot(QPainter& painter, int plot, QRect heading, QRect body, qreal ratio,
                   const QString& reading, const TimeTicks& timeTicks) const;
    void paintHeading(QPainter& painter, int plot, QRect heading, QRect body,
                      const QString& reading) const;
    void paintTimeAxis(QPainter& painter, const Layout& layout, const TimeTicks& ticks,
                       std::optional<int> cursorX, qreal ratio) const;
    void paintLegend(QPainter& painter, const Layout& layout, qreal ratio) const;
    void paintLeftOut(QPainter& painter, const platform::PlotTrace& trace, QRect body,
                      qreal ratio) const;
    bool crossesMidnight() const;
    std::vector<std::pair<QRect, QString>> timeLabels(const Layout& layout, const TimeTicks& ticks,
                                                      const QFontMetrics& metrics) const;
    void paintCursors(QPainter& painter, const Layout& layout) const;
    std::optional<int> xOfTime(const Layout& layout, std::int64_t time) const;
    QString axisTitle() const;
    const std::vector<platform::PlotTrace>& traces(int columns) const;
    std::int64_t timeAt(const Layout& layout, int x) const;
    QString timeText(std::int64_t time, std::int64_t step) const;

    const TrendChartSource* source_ = nullptr;
    std::int64_t from_ = 0;
    std::int64_t to_ = 1;
    QString emptyText_;
    std::optional<int> cursorX_;
    std::optional<std::int64_t> cursorA_;
    std::optional<std::int64_t> cursorB_;
    std::optional<std::int64_t> origin_;
    // A press and what it has become: a click until it moves, then a pan or, with Ctrl, a
    // stretch to zoom to.
    std::optional<QPoint> pressedAt_;
    int lastDragX_ = 0;
    bool pressedWithCtrl_ = false;
    bool dragging_ = false;
    bool stretching_ = false;

    struct Cache {
        std::int64_t from = 0;
        std::int64_t to = 0;
        int columns = -1;
        std::uint64_t revision = 0;
        const TrendChartSource* source = nullptr;
        std::vector<platform::PlotTrace> traces;
        std::vector<std::optional<AxisScale>> scales;
    };
    mutable Cache cache_;
};

}  // namespace platform
