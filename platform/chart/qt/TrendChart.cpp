#include "platform/chart/qt/TrendChart.h"

#include <QApplication>
#include <QDateTime>
#include <QMouseEvent>
#include <QPainter>
#include <QVector>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "platform/chart/AxisTicks.h"
#include "platform/chart/LossBands.h"
#include "platform/chart/qt/TrendChartAccessible.h"

namespace platform {

namespace {

const QColor paper(255, 255, 255);
const QColor outline(176, 176, 176);
const QColor grid(230, 230, 230);
const QColor away(240, 226, 226);       // no link: a pale rose under the plot
const QColor shortLoss(222, 110, 110);  // a loss too short to see at its width, and its mark
const QColor leftOutMark(128, 0, 128);  // a value left out: not a number, or out of range
// A loss shorter than this many pixels is drawn this wide.
constexpr int narrowestLoss = 3;
const QColor quiet(120, 120, 120);
const QColor cursorLine(60, 60, 60);
const QColor cursorBox(255, 250, 215);
const QColor measuring(200, 80, 0);      // the cursors A and B
const QColor stretch(31, 119, 180, 48);  // the stretch a Ctrl+drag zooms to
// Distinct line colours, one per plot in turn.
const std::array<QColor, 8> lineColours{{{31, 119, 180},
                                         {214, 39, 40},
                                         {44, 160, 44},
                                         {148, 103, 189},
                                         {255, 127, 14},
                                         {140, 86, 75},
                                         {227, 119, 194},
                                         {23, 190, 207}}};

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

// A plot's body in device pixels with its value axis.
struct PlotFrame {
    QRect device;  // one column per pixel
    platform::AxisScale scale;

    int yOf(double value) const {
        const double share = (value - scale.low) / (scale.high - scale.low);
        return device.bottom() - static_cast<int>(std::lround(share * (device.height() - 1)));
    }
    // A column's left edge; the column count stands for the right edge.
    int xOf(int column) const { return device.left() + std::min(column, device.width()); }
};

// The axis for what a trace shows (off and on for a lamp); nothing when it shows no reading.
std::optional<platform::AxisScale> valueScale(const platform::PlotTrace& trace, bool onOff,
                                              int maxSteps) {
    if (onOff) {
        return platform::AxisScale{-0.25, 1.25, 1, 0};
    }
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (const platform::PlotColumn& column : trace.columns) {
        if (column.any) {
            low = std::min(low, column.low);
            high = std::max(high, column.high);
        }
    }
    if (trace.entering && trace.enteringHoldTo > 0) {
        low = std::min(low, *trace.entering);
        high = std::max(high, *trace.entering);
    }
    if (low > high) {
        return std::nullopt;
    }
    return platform::niceScale(low, high, maxSteps);
}

// The losses in view as drawn, in device columns, with whether each was widened.
std::vector<platform::LossBand> lossBands(const platform::PlotTrace& trace, std::int64_t from,
                                          std::int64_t to, qreal ratio) {
    std::vector<platform::LossBand> bands;
    const int columns = static_cast<int>(trace.columns.size());
    const int narrowest = std::max(1, static_cast<int>(std::lround(narrowestLoss * ratio)));
    for (const platform::PlotLoss& loss : trace.losses) {
        if (const auto band = platform::lossBand(loss, from, to, columns, narrowest)) {
            bands.push_back(*band);
        }
    }
    return bands;
}

// A reading with no line to or from it: drawn as a dot, or it would be a speck.
bool standsAlone(const platform::PlotTrace& trace, int c) {
    const auto& columns = trace.columns;
    const platform::PlotColumn& column = columns[static_cast<std::size_t>(c)];
    if (!column.any || column.joined || column.holdTo > c || column.low != column.high) {
        return false;
    }
    const auto next = static_cast<std::size_t>(c) + 1;
    return next >= columns.size() || !columns[next].any || !columns[next].joined;
}

// The line: in each column a stroke from its lowest to its highest reading (and from the
// reading before, when joined), then a level stroke where the last reading holds.
QVector<QRect> traceStrokes(const platform::PlotTrace& trace, const PlotFrame& frame,
                            int thickness) {
    QVector<QRect> strokes;
    std::optional<double> previous;
    if (trace.entering && trace.enteringHoldTo > 0) {
        const int y = frame.yOf(*trace.entering);
        strokes.append(QRect(QPoint(frame.device.left(), y),
                             QPoint(frame.xOf(trace.enteringHoldTo), y + thickness - 1)));
        previous = trace.entering;
    }
    for (int c = 0; c < static_cast<int>(trace.columns.size()); ++c) {
        const platform::PlotColumn& column = trace.columns[static_cast<std::size_t>(c)];
        if (!column.any) {
            continue;
        }
        int top = frame.yOf(column.high);
        int bottom = frame.yOf(column.low);
        if (column.joined && previous) {
            top = std::min(top, frame.yOf(*previous));
            bottom = std::max(bottom, frame.yOf(*previous));
        }
        const int x = frame.xOf(c);
        strokes.append(QRect(QPoint(x, top), QPoint(x + thickness - 1, bottom)));
        if (column.holdTo > c) {
            const int y = frame.yOf(column.last);
            strokes.append(
                QRect(QPoint(x, y), QPoint(frame.xOf(column.holdTo), y + thickness - 1)));
        }
        previous = column.last;
    }
    return strokes;
}

}  // namespace

struct TrendChart::Layout {
    QRect title;
    QRect legend;                                // the losses in view and what the marks mean
    std::vector<std::pair<QRect, QRect>> plots;  // heading, body
    QRect axis;
    int left = 0;  // the bodies' left edge and width
    int width = 1;
};

TrendChart::TrendChart(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    TrendChartAccessible::install();  // before anything asks for the chart's interface
    setAccessibleName(QStringLiteral("Trends"));
}

void TrendChart::setSource(const TrendChartSource* source) {
    source_ = source;
    update();
}

void TrendChart::setRange(std::int64_t from, std::int64_t to) {
    from_ = from;
    to_ = std::max(to, from + 1);
    update();
}

void TrendChart::setEmptyText(const QString& text) {
    emptyText_ = text;
    update();
}

std::optional<std::int64_t> TrendChart::cursorTime() const {
    if (!cursorX_) {
        return std::nullopt;
    }
    return timeAt(layout(fontMetrics(), rect(), false), *cursorX_);
}

QImage TrendChart::renderImage(QSize size, const QString& title, qreal ratio) const {
    QImage image(size * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    painter.setFont(font());
    paint(painter, QRect(QPoint(0, 0), size), ratio, title, std::nullopt);
    return image;
}

void TrendChart::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    paint(painter, rect(), devicePixelRatioF(), QString(), cursorX_);
}

void TrendChart::mouseMoveEvent(QMouseEvent* event) {
    const Layout shape = layout(fontMetrics(), rect(), false);
    const QPoint at = event->position().toPoint();
    if (pressedAt_ && (event->buttons() & Qt::LeftButton)) {
        if (!dragging_ && !stretching_ &&
            (at - *pressedAt_).manhattanLength() >= QApplication::startDragDistance()) {
            stretching_ = pressedWithCtrl_;
            dragging_ = !stretching_;
        }
        if (dragging_ && at.x() != lastDragX_) {
            // The time under the pointer stays under it.
            const double msPerPixel =
                static_cast<double>(to_ - from_) / static_cast<double>(shape.width);
            const auto shift =
                static_cast<std::int64_t>(std::llround((lastDragX_ - at.x()) * msPerPixel));
            lastDragX_ = at.x();
            emit panAsked(shift);
        } else if (stretching_) {
            lastDragX_ = std::clamp(at.x(), shape.left, shape.left + shape.width - 1);
            update();
        }
    }
    std::optional<int> x;
    if (!shape.plots.empty() && at.x() >= shape.left && at.x() < shape.left + shape.width &&
        at.y() >= shape.plots.front().first.top() && at.y() <= shape.axis.bottom()) {
        x = at.x();
    }
    if (x != cursorX_) {
        cursorX_ = x;
        update();
    }
}

void TrendChart::leaveEvent(QEvent* /*event*/) {
    if (cursorX_) {
        cursorX_.reset();
        update();
    }
}

TrendChart::Layout TrendChart::layout(const QFontMetrics& metrics, QRect area, bool titled) const {
    Layout shape;
    const int line = metrics.height();
    QRect rest = area.adjusted(line / 3, line / 3, -line / 2, -line / 4);
    if (titled) {
        shape.title = QRect(rest.left(), rest.top(), rest.width(), line + line / 2);
        rest.setTop(shape.title.bottom() + 1);
    }
    if (source_ && source_->plotCount() > 0) {
        shape.legend = QRect(rest.left(), rest.top(), rest.width(), line + line / 4);
        rest.setTop(shape.legend.bottom() + 1);
    }
    // The unit, turned, then the value labels.
    shape.left =
        rest.left() + line + metrics.horizontalAdvance(QStringLiteral("-000000.00")) + line / 2;
    shape.width = std::max(1, rest.right() + 1 - shape.left);
    const int plots = source_ ? source_->plotCount() : 0;
    const int axisHeight = 2 * line + line / 2;  // the labels, then the axis' title
    const int headingHeight = line + line / 4;
    const int spacing = line / 2;
    if (plots > 0) {
        const int bodies =
            rest.height() - axisHeight - plots * headingHeight - (plots - 1) * spacing;
        const int bodyHeight = std::max(line, bodies / plots);
        int y = rest.top();
        for (int plot = 0; plot < plots; ++plot) {
            const QRect heading(rest.left(), y, shape.left + shape.width - rest.left(),
                                headingHeight);
            const QRect body(shape.left, heading.bottom() + 1, shape.width, bodyHeight);
            shape.plots.emplace_back(heading, body);
            y = body.bottom() + 1 + spacing;
        }
        shape.axis =
            QRect(shape.left, shape.plots.back().second.bottom() + 1, shape.width, axisHeight);
    }
    return shape;
}

const std::vector<platform::PlotTrace>& TrendChart::traces(int columns) const {
    const std::uint64_t revision = source_ ? source_->revision() : 0;
    if (cache_.from != from_ || cache_.to != to_ || cache_.columns != columns ||
        cache_.revision != revision || cache_.source != source_) {
        cache_.from = from_;
        cache_.to = to_;
        cache_.columns = columns;
        cache_.revision = revision;
        cache_.source = source_;
        cache_.traces.clear();
        for (int plot = 0; source_ && plot < source_->plotCount(); ++plot) {
            cache_.traces.push_back(source_->trace(plot, from_, to_, columns));
        }
    }
    return cache_.traces;
}

std::int64_t TrendChart::timeAt(const Layout& shape, int x) const {
    const double share = static_cast<double>(x - shape.left) / shape.width;
    return from_ +
           static_cast<std::int64_t>(std::llround(share * static_cast<double>(to_ - from_)));
}

QString TrendChart::timeText(std::int64_t time, std::int64_t step) const {
    if (origin_) {
        return QString::fromStdString(platform::secondsLabel(time - *origin_, step));
    }
    const std::int64_t offset = source_ ? source_->utcOffsetSeconds() * std::int64_t{1000} : 0;
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(time + offset, Qt::UTC);
    if (step < 1000) {
        return local.toString(QStringLiteral("HH:mm:ss.zzz"));
    }
    if (step < 60 * 1000) {
        return local.toString(QStringLiteral("HH:mm:ss"));
    }
    if (step < 24 * 60 * 60 * 1000) {
        return local.toString(QStringLiteral("HH:mm"));
    }
    return local.toString(QStringLiteral("yyyy-MM-dd"));
}

void TrendChart::paint(QPainter& painter, QRect area, qreal ratio, const QString& title,
                       std::optional<int> cursorX) const {
    painter.fillRect(area, paper);
    const QFontMetrics metrics = painter.fontMetrics();
    const Layout shape = layout(metrics, area, !title.isEmpty());
    if (!title.isEmpty()) {
        QFont bold = painter.font();
        bold.setBold(true);
        painter.save();
        painter.setFont(bold);
        painter.setPen(Qt::black);
        painter.drawText(
            shape.title, Qt::AlignLeft | Qt::AlignVCenter,
            QFontMetrics(bold).elidedText(title, Qt::ElideMiddle, shape.title.width()));
        painter.restore();
    }
    if (shape.plots.empty()) {
        painter.setPen(quiet);
        painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, emptyText_);
        return;
    }
    const int columns = std::max(1, static_cast<int>(std::lround(shape.width * ratio)));
    traces(columns);
    cache_.scales.assign(shape.plots.size(), std::nullopt);
    const std::optional<std::int64_t> cursorTime =
        cursorX ? std::optional(timeAt(shape, *cursorX)) : std::nullopt;
    // On screen each heading reads out the value at the cursor, else the newest one shown; a
    // picture has no cursor and no "now", so it leaves them out.
    // With a measuring cursor set, each heading reads out A, B and their difference, in a
    // picture too.
    const bool onScreen = title.isEmpty();
    const bool measuringNow = cursorA_ || cursorB_;
    const TimeTicks ticks = timeTicks(shape, metrics);
    for (int plot = 0; plot < static_cast<int>(shape.plots.size()); ++plot) {
        const QString reading = measuringNow ? source_->cursorText(plot, cursorA_, cursorB_)
                                : onScreen
                                    ? source_->readingText(plot, cursorTime.value_or(to_ - 1))
                                    : QString();
        paintPlot(painter, plot, shape.plots[static_cast<std::size_t>(plot)].first,
                  shape.plots[static_cast<std::size_t>(plot)].second, ratio, reading, ticks);
    }
    paintCursors(painter, shape);
    if (onScreen && stretching_ && pressedAt_) {
        const int left = std::min(pressedAt_->x(), lastDragX_);
        const int right = std::max(pressedAt_->x(), lastDragX_);
        for (const auto& [heading, body] : shape.plots) {
            painter.fillRect(QRect(left, body.top(), right - left + 1, body.height()), stretch);
        }
    }
    paintLegend(painter, shape, ratio);
    paintTimeAxis(painter, shape, ticks, cursorX, ratio);
    if (cursorX) {
        painter.setPen(QPen(cursorLine, 0, Qt::DashLine));
        for (const auto& [heading, body] : shape.plots) {
            painter.drawLine(*cursorX, body.top(), *cursorX, body.bottom());
        }
    }
}

void TrendChart::paintPlot(QPainter& painter, int plot, QRect heading, QRect body, qreal ratio,
                           const QString& reading, const TimeTicks& timeTicks) const {
    const platform::PlotTrace& trace = cache_.traces[static_cast<std::size_t>(plot)];
    const QFontMetrics metrics = painter.fontMetrics();
    const bool onOff = source_->onOff(plot);
    const std::optional<platform::AxisScale> fixed = source_->fixedScale(plot);
    const std::optional<platform::AxisScale> scale =
        fixed ? fixed
              : valueScale(trace, onOff, std::max(1, body.height() / (metrics.height() * 3 / 2)));
    cache_.scales[static_cast<std::size_t>(plot)] = scale;
    paintHeading(painter, plot, heading, body, reading);

    // Everything below in device pixels: one column per pixel, every stroke a filled
    // rectangle (the raster engine fills rectangles many times faster than it draws lines).
    const PlotFrame frame{QRect(static_cast<int>(std::lround(body.left() * ratio)),
                                static_cast<int>(std::lround(body.top() * ratio)),
                                static_cast<int>(trace.columns.size()),
                                static_cast<int>(std::lround(body.height() * ratio))),
                          scale.value_or(platform::AxisScale{})};
    painter.save();
    painter.scale(1 / ratio, 1 / ratio);
    const std::vector<platform::LossBand> bands = lossBands(trace, from_, to_, ratio);
    const auto bandRect = [&frame](const platform::LossBand& band) {
        return QRect(frame.xOf(band.left), frame.device.top(), band.right - band.left,
                     frame.device.height());
    };
    for (const platform::LossBand& band : bands) {
        if (!band.widened) {
            painter.fillRect(bandRect(band), away);
        }
    }
    std::vector<double> ticks;
    for (double value = onOff ? 0 : frame.scale.low;
         scale && value <= frame.scale.high + frame.scale.step / 2; value += frame.scale.step) {
        ticks.push_back(value);
        painter.fillRect(QRect(frame.device.left(), frame.yOf(value), frame.device.width(), 1),
                         grid);
    }
    painter.restore();
    for (const auto& [time, x] : timeTicks.marks) {
        painter.fillRect(QRect(x, body.top() + 1, 1, body.height() - 2), grid);
    }
    // A short loss over the grid, so no grid line splits it.
    painter.save();
    painter.scale(1 / ratio, 1 / ratio);
    for (const platform::LossBand& band : bands) {
        if (band.widened) {
            painter.fillRect(bandRect(band), shortLoss);
        }
    }
    painter.restore();

    // Value labels, in the widget's own units again; in a plot too low for all of them,
    // those that would overlap are left out.
    painter.setPen(quiet);
    std::vector<platform::AxisLabel> places;
    for (const double value : ticks) {
        places.push_back({static_cast<int>(frame.yOf(value) / ratio), metrics.height(), false});
    }
    for (const std::size_t index :
         platform::labelsThatFit(places, heading.top(), body.bottom() + metrics.height(), 0)) {
        const double value = ticks[index];
        const QString text = onOff ? (value == 0 ? QStringLiteral("off") : QStringLiteral("on"))
                                   : QString::number(value, 'f', frame.scale.decimals);
        const QRect label(heading.left(), places[index].middle - metrics.height() / 2,
                          body.left() - heading.left() - 4, metrics.height());
        painter.drawText(label, Qt::AlignRight | Qt::AlignVCenter, text);
    }

    // The frame under the line, so a reading at an end of the axis stays in sight.
    painter.setPen(outline);
    painter.drawRect(body.adjusted(0, 0, -1, -1));
    if (!scale) {
        painter.setPen(quiet);
        painter.drawText(body, Qt::AlignCenter, QStringLiteral("no reading in this time"));
        paintLeftOut(painter, trace, body, ratio);
        return;
    }
    painter.save();
    painter.scale(1 / ratio, 1 / ratio);
    painter.setClipRect(frame.device);
    painter.setPen(Qt::NoPen);
    const QColor colour = lineColours[static_cast<std::size_t>(plot) % lineColours.size()];
    painter.setBrush(colour);
    const int thickness = std::max(1, static_cast<int>(std::lround(ratio)));
    painter.drawRects(traceStrokes(trace, frame, thickness));
    const int dot = 5 * thickness;
    for (int c = 0; c < static_cast<int>(trace.columns.size()); ++c) {
        if (standsAlone(trace, c)) {
            const int y = frame.yOf(trace.columns[static_cast<std::size_t>(c)].last);
            painter.drawEllipse(QRect(frame.xOf(c) - dot / 2, y - dot / 2, dot, dot));
        }
    }
    painter.restore();
    paintLeftOut(painter, trace, body, ratio);
}

void TrendChart::paintLeftOut(QPainter& painter, const platform::PlotTrace& trace, QRect body,
                              qreal ratio) const {
    // A small triangle pointing down from the plot's top edge over each run of columns with
    // a value left out.
    const int size = std::max(3, painter.fontMetrics().height() / 3);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(leftOutMark);
    const auto& columns = trace.columns;
    for (std::size_t c = 0; c < columns.size();) {
        if (!columns[c].leftOut) {
            ++c;
            continue;
        }
        std::size_t end = c;
        while (end < columns.size() && columns[end].leftOut) {
            ++end;
        }
        const double middle = body.left() + static_cast<double>(c + end) / 2 / ratio;
        const QPointF corners[] = {{middle - size, static_cast<double>(body.top())},
                                   {middle + size, static_cast<double>(body.top())},
                                   {middle, static_cast<double>(body.top() + size + size / 2)}};
        painter.drawPolygon(corners, 3);
        c = end;
    }
    painter.restore();
}

void TrendChart::paintHeading(QPainter& painter, int plot, QRect heading, QRect body,
                              const QString& reading) const {
    const QFontMetrics metrics = painter.fontMetrics();
    painter.save();
    // The unit along the value axis, turned to read upwards at the margin's left.
    painter.setPen(quiet);
    painter.translate(heading.left(), body.center().y());
    painter.rotate(-90);
    const QString unit = source_->unit(plot);
    const QString axisName =
        unit.isEmpty() ? source_->caption(plot)
                       : source_->caption(plot) + QStringLiteral(" [") + unit + QLatin1Char(']');
    painter.drawText(QRect(-body.height() / 2, 0, body.height(), metrics.height()), Qt::AlignCenter,
                     metrics.elidedText(axisName, Qt::ElideMiddle, body.height()));
    painter.restore();

    // The caption at the left, the reading at the right.
    painter.save();
    painter.setPen(Qt::black);
    painter.drawText(heading.adjusted(body.left() - heading.left(), 0, 0, 0),
                     Qt::AlignRight | Qt::AlignVCenter, reading);
    QFont bold = painter.font();
    bold.setBold(true);
    painter.setFont(bold);
    const int readingWidth = metrics.horizontalAdvance(reading) + metrics.height();
    const QRect captionSide(body.left(), heading.top(), std::max(0, body.width() - readingWidth),
                            heading.height());
    painter.drawText(
        captionSide, Qt::AlignLeft | Qt::AlignVCenter,
        QFontMetrics(bold).elidedText(source_->caption(plot), Qt::ElideRight, captionSide.width()));
    painter.restore();
}

TrendChart::TimeTicks TrendChart::timeTicks(const Layout& shape,
                                            const QFontMetrics& metrics) const {
    TimeTicks ticks;
    const std::int64_t span = to_ - from_;
    ticks.step = platform::timeStep(
        span, shape.width,
        metrics.horizontalAdvance(QStringLiteral("00:00:00")) + metrics.height());
    // On whole steps of the local clock, or of the seconds from the start.
    const std::int64_t offset =
        origin_ ? -*origin_ : source_->utcOffsetSeconds() * std::int64_t{1000};
    const std::int64_t first = (floorDiv(from_ + offset, ticks.step) + 1) * ticks.step - offset;
    for (std::int64_t time = first; time < to_; time += ticks.step) {
        const double share = static_cast<double>(time - from_) / static_cast<double>(span);
        ticks.marks.emplace_back(time,
                                 shape.left + static_cast<int>(std::llround(share * shape.width)));
    }
    return ticks;
}

bool TrendChart::crossesMidnight() const {
    if (origin_) {
        return false;
    }
    const std::int64_t offset = source_ ? source_->utcOffsetSeconds() * std::int64_t{1000} : 0;
    constexpr std::int64_t day = 24 * 60 * 60 * 1000;
    return floorDiv(from_ + offset, day) != floorDiv(to_ - 1 + offset, day);
}

std::vector<std::pair<QRect, QString>> TrendChart::timeLabels(const Layout& shape,
                                                              const TimeTicks& ticks,
                                                              const QFontMetrics& metrics) const {
    constexpr std::int64_t day = 24 * 60 * 60 * 1000;
    // Across midnight the first label and the first of each new day carry their date.
    const bool dated = crossesMidnight() && ticks.step < day;
    const std::int64_t offset = source_ ? source_->utcOffsetSeconds() * std::int64_t{1000} : 0;
    QStringList texts;
    std::vector<platform::AxisLabel> places;
    std::optional<std::int64_t> previousDay;
    for (const auto& [time, x] : ticks.marks) {
        QString text = timeText(time, ticks.step);
        const std::int64_t today = floorDiv(time + offset, day);
        // A day's first label placed first, then the first label's date where it fits.
        if (dated && previousDay != today) {
            const QString withDate = timeText(time, day) + QLatin1Char(' ') + text;
            texts << withDate;
            places.push_back({x, metrics.horizontalAdvance(withDate) + 4, previousDay ? 0 : 1});
            // Where the first label's date does not fit, its time alone may: the two stand in
            // one place, so never both.
            if (previousDay) {
                previousDay = today;
                continue;
            }
        }
        previousDay = today;
        texts << text;
        places.push_back({x, metrics.horizontalAdvance(text) + 4, 2});
    }
    // Labels that would overlap or that an edge would cut are left out: their ticks say enough.
    std::vector<std::pair<QRect, QString>> labels;
    for (const std::size_t index : platform::labelsThatFit(
             places, 0, shape.left + shape.width + metrics.height() / 2, metrics.height() / 2)) {
        const platform::AxisLabel& place = places[index];
        labels.emplace_back(
            QRect(place.middle - place.size / 2, shape.axis.top() + metrics.height() / 4,
                  place.size, metrics.height()),
            texts[static_cast<qsizetype>(index)]);
    }
    return labels;
}

QStringList TrendChart::timeAxisLabels() const {
    const Layout shape = layout(fontMetrics(), rect(), false);
    QStringList texts;
    if (shape.plots.empty()) {
        return texts;
    }
    for (const auto& [box, text] :
         timeLabels(shape, timeTicks(shape, fontMetrics()), fontMetrics())) {
        texts << text;
    }
    return texts;
}

void TrendChart::paintTimeAxis(QPainter& painter, const Layout& shape, const TimeTicks& ticks,
                               std::optional<int> cursorX, qreal ratio) const {
    const QFontMetrics metrics = painter.fontMetrics();
    const std::int64_t span = to_ - from_;
    constexpr std::int64_t day = 24 * 60 * 60 * 1000;
    painter.setPen(quiet);
    for (const auto& [time, x] : ticks.marks) {
        painter.fillRect(QRect(x, shape.axis.top(), 1, metrics.height() / 4), quiet);
    }
    for (const auto& [box, text] : timeLabels(shape, ticks, metrics)) {
        painter.drawText(box, Qt::AlignCenter, text);
    }
    // Every loss in view marked under the axis, as wide as its band.
    if (!cache_.traces.empty()) {
        for (const platform::LossBand& band : lossBands(cache_.traces.front(), from_, to_, ratio)) {
            const int left = shape.left + static_cast<int>(std::floor(band.left / ratio));
            const int right = shape.left + static_cast<int>(std::ceil(band.right / ratio));
            painter.fillRect(QRect(left, shape.axis.top(), std::max(narrowestLoss, right - left),
                                   metrics.height() / 4),
                             shortLoss);
        }
    }
    painter.drawText(QRect(shape.left, shape.axis.top() + metrics.height() * 5 / 4, shape.width,
                           metrics.height()),
                     Qt::AlignCenter, axisTitle());
    if (cursorX) {
        const std::int64_t time = timeAt(shape, *cursorX);
        QString text = origin_ ? cursorTimeText(time) : timeText(time, 0);
        if (!origin_ && (span >= day || crossesMidnight())) {
            text = timeText(time, day) + QLatin1Char(' ') + text;
        }
        const int width = metrics.horizontalAdvance(text) + metrics.height() / 2;
        const int left = std::clamp(*cursorX - width / 2, shape.left - width / 2,
                                    shape.left + shape.width - width / 2);
        const QRect box(left, shape.axis.top() + 1, width, metrics.height() + 2);
        painter.fillRect(box, cursorBox);
        painter.setPen(cursorLine);
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        painter.drawText(box, Qt::AlignCenter, text);
    }
}

QString TrendChart::headingText(int plot) const {
    if (!source_ || plot < 0 || plot >= source_->plotCount()) {
        return {};
    }
    if (cursorA_ || cursorB_) {
        return source_->cursorText(plot, cursorA_, cursorB_);
    }
    return source_->readingText(plot, cursorTime().value_or(to_ - 1));
}

QRect TrendChart::plotRect(int plot) const {
    const Layout shape = layout(fontMetrics(), rect(), false);
    if (plot < 0 || plot >= static_cast<int>(shape.plots.size())) {
        return {};
    }
    const auto& [heading, body] = shape.plots[static_cast<std::size_t>(plot)];
    return heading.united(body);
}

int TrendChart::lossesInView() const {
    const int columns =
        std::max(1, static_cast<int>(std::lround(layout(fontMetrics(), rect(), false).width *
                                                 devicePixelRatioF())));
    const std::vector<platform::PlotTrace>& shown = traces(columns);
    return shown.empty()
               ? 0
               : static_cast<int>(lossBands(shown.front(), from_, to_, devicePixelRatioF()).size());
}

QString TrendChart::lossesText(int losses) {
    if (losses == 0) {
        return QStringLiteral("No loss in view");
    }
    return losses == 1 ? QStringLiteral("1 loss in view")
                       : QStringLiteral("%1 losses in view").arg(losses);
}

void TrendChart::paintLegend(QPainter& painter, const Layout& shape, qreal ratio) const {
    const QFontMetrics metrics = painter.fontMetrics();
    const platform::PlotTrace* first = cache_.traces.empty() ? nullptr : &cache_.traces.front();
    const int losses = first ? static_cast<int>(lossBands(*first, from_, to_, ratio).size()) : 0;
    bool anyLeftOut = false;
    for (const platform::PlotTrace& trace : cache_.traces) {
        for (const platform::PlotColumn& column : trace.columns) {
            anyLeftOut = anyLeftOut || column.leftOut;
        }
    }
    const QRect row = shape.legend.adjusted(shape.left - shape.legend.left(), 0, 0, 0);
    painter.save();
    painter.setPen(Qt::black);
    painter.drawText(row, Qt::AlignLeft | Qt::AlignVCenter, lossesText(losses));
    // The key, right-aligned: each swatch followed by what it means.
    const int swatch = metrics.height() * 3 / 2;
    const int gap = metrics.height();
    struct Key {
        int kind;  // 0: a loss, 1: a short loss, 2: a value left out
        QString text;
    };
    std::vector<Key> keys{{0, QStringLiteral("no link: no readings")},
                          {1, QStringLiteral("a short loss, drawn %1 px wide").arg(narrowestLoss)}};
    if (anyLeftOut) {
        keys.push_back({2, QStringLiteral("a value left out: not a number or out of range")});
    }
    // As many as fit beside the count, the short loss' key given up first, then the mark's.
    const auto widthOf = [&](const Key& key) {
        return metrics.horizontalAdvance(key.text) + swatch + metrics.height() / 3 + gap;
    };
    int room = row.width() - metrics.horizontalAdvance(lossesText(losses)) - gap;
    for (const Key& key : keys) {
        room -= widthOf(key);
    }
    for (const int dropped : {1, 2, 0}) {
        const auto found = std::find_if(keys.begin(), keys.end(),
                                        [dropped](const Key& key) { return key.kind == dropped; });
        if (room < 0 && found != keys.end()) {
            room += widthOf(*found);
            keys.erase(found);
        }
    }
    int x = row.right() + 1;
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
        const int width = metrics.horizontalAdvance(key->text);
        x -= width;
        painter.setPen(quiet);
        painter.drawText(QRect(x, row.top(), width, row.height()), Qt::AlignLeft | Qt::AlignVCenter,
                         key->text);
        x -= swatch + metrics.height() / 3;
        const QRect box(x, row.center().y() - metrics.height() / 3, swatch,
                        metrics.height() * 2 / 3);
        if (key->kind == 0) {
            painter.fillRect(box, away);
            painter.setPen(outline);
            painter.drawRect(box.adjusted(0, 0, -1, -1));
        } else if (key->kind == 1) {
            painter.fillRect(QRect(box.center().x() - 1, box.top(), narrowestLoss, box.height()),
                             shortLoss);
        } else {
            const int size = std::max(3, metrics.height() / 3);
            const double middle = box.center().x();
            const QPointF corners[] = {{middle - size, static_cast<double>(box.top())},
                                       {middle + size, static_cast<double>(box.top())},
                                       {middle, static_cast<double>(box.top() + size + size / 2)}};
            painter.save();
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(leftOutMark);
            painter.drawPolygon(corners, 3);
            painter.restore();
        }
        x -= gap;
    }
    painter.restore();
}

void TrendChart::setCursors(std::optional<std::int64_t> a, std::optional<std::int64_t> b) {
    cursorA_ = a;
    cursorB_ = b;
    update();
}

void TrendChart::setTimeOrigin(std::optional<std::int64_t> origin) {
    origin_ = origin;
    update();
}

QString TrendChart::cursorTimeText(std::int64_t time) const {
    if (origin_) {
        return QString::number(static_cast<double>(time - *origin_) / 1000, 'f', 3) +
               QStringLiteral(" s");
    }
    return timeText(time, 0);
}

QString TrendChart::axisTitle() const {
    if (origin_) {
        return QStringLiteral("Time from the start [s]");
    }
    const int seconds = source_ ? source_->utcOffsetSeconds() : 0;
    const int minutes = std::abs(seconds) / 60;
    return QStringLiteral("Time (UTC%1%2:%3)")
        .arg(seconds < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

std::int64_t TrendChart::timeAtX(int x) const {
    return timeAt(layout(fontMetrics(), rect(), false), x);
}

std::optional<int> TrendChart::plotAt(QPoint point) const {
    const Layout shape = layout(fontMetrics(), rect(), false);
    for (int plot = 0; plot < static_cast<int>(shape.plots.size()); ++plot) {
        const auto& [heading, body] = shape.plots[static_cast<std::size_t>(plot)];
        if (heading.united(body).contains(point)) {
            return plot;
        }
    }
    return std::nullopt;
}

std::optional<AxisScale> TrendChart::scaleShown(int plot) const {
    if (plot < 0 || plot >= static_cast<int>(cache_.scales.size())) {
        return std::nullopt;
    }
    return cache_.scales[static_cast<std::size_t>(plot)];
}

std::optional<int> TrendChart::xOfTime(const Layout& shape, std::int64_t time) const {
    if (time < from_ || time >= to_) {
        return std::nullopt;
    }
    const double share = static_cast<double>(time - from_) / static_cast<double>(to_ - from_);
    return shape.left + static_cast<int>(std::floor(share * shape.width));
}

void TrendChart::paintCursors(QPainter& painter, const Layout& shape) const {
    const QFontMetrics metrics = painter.fontMetrics();
    const std::pair<std::optional<std::int64_t>, QString> cursors[] = {
        {cursorA_, QStringLiteral("A")}, {cursorB_, QStringLiteral("B")}};
    for (const auto& [time, name] : cursors) {
        const std::optional<int> x = time ? xOfTime(shape, *time) : std::nullopt;
        if (!x) {
            continue;
        }
        for (const auto& [heading, body] : shape.plots) {
            painter.fillRect(QRect(*x, body.top(), 1, body.height()), measuring);
            const int width = metrics.horizontalAdvance(name) + metrics.height() / 3;
            const QRect flag(*x + 1, body.top() + 1, width, metrics.height());
            painter.fillRect(flag, measuring);
            painter.setPen(Qt::white);
            painter.drawText(flag, Qt::AlignCenter, name);
        }
    }
}

void TrendChart::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    pressedAt_ = event->position().toPoint();
    lastDragX_ = pressedAt_->x();
    pressedWithCtrl_ = event->modifiers().testFlag(Qt::ControlModifier);
    dragging_ = false;
    stretching_ = false;
}

void TrendChart::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressedAt_) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    const QPoint pressed = *pressedAt_;
    const bool stretched = stretching_;
    const bool dragged = dragging_;
    pressedAt_.reset();
    dragging_ = false;
    stretching_ = false;
    if (stretched) {
        update();
        if (at.x() != pressed.x()) {
            emit zoomToAsked(timeAtX(pressed.x()), timeAtX(at.x()));
        }
    } else if (!dragged && plotAt(pressed)) {
        emit cursorAsked(timeAtX(pressed.x()), event->modifiers().testFlag(Qt::ShiftModifier));
    }
}

void TrendChart::wheelEvent(QWheelEvent* event) {
    const QPoint at = event->position().toPoint();
    if (!plotAt(at) || event->angleDelta().y() == 0) {
        event->ignore();
        return;
    }
    emit zoomAsked(timeAtX(at.x()), event->angleDelta().y() / 120.0);
    event->accept();
}

}  // namespace platform
