#include "platform/qt/TrendChart.h"

#include <QDateTime>
#include <QMouseEvent>
#include <QPainter>
#include <QVector>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "platform/core/AxisTicks.h"

namespace {

const QColor paper(255, 255, 255);
const QColor frame(176, 176, 176);
const QColor grid(230, 230, 230);
const QColor away(240, 226, 226);  // no link: a pale rose under the plot
const QColor quiet(120, 120, 120);
const QColor cursorLine(60, 60, 60);
const QColor cursorBox(255, 250, 215);
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

}  // namespace

struct TrendChart::Layout {
    QRect title;
    std::vector<std::pair<QRect, QRect>> plots;  // heading, body
    QRect axis;
    int left = 0;  // the bodies' left edge and width
    int width = 1;
};

TrendChart::TrendChart(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
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
    // The unit, turned, then the value labels.
    shape.left =
        rest.left() + line + metrics.horizontalAdvance(QStringLiteral("-000000.00")) + line / 2;
    shape.width = std::max(1, rest.right() + 1 - shape.left);
    const int plots = source_ ? source_->plotCount() : 0;
    const int axisHeight = line + line / 2;
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
    const std::optional<std::int64_t> cursorTime =
        cursorX ? std::optional(timeAt(shape, *cursorX)) : std::nullopt;
    // On screen each heading reads out the value at the cursor, else the newest one shown; a
    // picture has no cursor and no "now", so it leaves them out.
    const bool onScreen = title.isEmpty();
    const TimeTicks ticks = timeTicks(shape, metrics);
    for (int plot = 0; plot < static_cast<int>(shape.plots.size()); ++plot) {
        const QString reading =
            onScreen ? source_->readingText(plot, cursorTime.value_or(to_ - 1)) : QString();
        paintPlot(painter, plot, shape.plots[static_cast<std::size_t>(plot)].first,
                  shape.plots[static_cast<std::size_t>(plot)].second, ratio, reading, ticks);
    }
    paintTimeAxis(painter, shape, ticks, cursorX);
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
    const int columns = static_cast<int>(trace.columns.size());

    // The value axis: what the range shows, or off and on for a lamp.
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
    const bool drawable = low <= high;
    const bool onOff = source_->onOff(plot);
    platform::AxisScale scale;
    if (onOff) {
        scale = {-0.25, 1.25, 1, 0};
    } else if (drawable) {
        const int steps = std::max(1, body.height() / (metrics.height() * 3 / 2));
        scale = platform::niceScale(low, high, steps);
    }

    // Heading: the caption, the unit over the axis, the reading at the right.
    painter.save();
    QFont bold = painter.font();
    bold.setBold(true);
    painter.setPen(Qt::black);
    // The unit along the value axis, turned to read upwards at the margin's left.
    painter.save();
    painter.setPen(quiet);
    painter.translate(heading.left(), body.center().y());
    painter.rotate(-90);
    painter.drawText(QRect(-body.height() / 2, 0, body.height(), metrics.height()), Qt::AlignCenter,
                     source_->unit(plot));
    painter.restore();
    const int readingWidth = metrics.horizontalAdvance(reading) + metrics.height();
    const QRect captionSide(body.left(), heading.top(), std::max(0, body.width() - readingWidth),
                            heading.height());
    painter.drawText(heading.adjusted(body.left() - heading.left(), 0, 0, 0),
                     Qt::AlignRight | Qt::AlignVCenter, reading);
    painter.setFont(bold);
    painter.drawText(
        captionSide, Qt::AlignLeft | Qt::AlignVCenter,
        QFontMetrics(bold).elidedText(source_->caption(plot), Qt::ElideRight, captionSide.width()));
    painter.restore();

    // Everything below in device pixels: one column per pixel, every stroke a filled
    // rectangle (the raster engine fills rectangles many times faster than it draws lines).
    painter.save();
    painter.scale(1 / ratio, 1 / ratio);
    const QRect device(static_cast<int>(std::lround(body.left() * ratio)),
                       static_cast<int>(std::lround(body.top() * ratio)), columns,
                       static_cast<int>(std::lround(body.height() * ratio)));
    for (int c = 0; c < columns;) {
        if (!trace.columns[static_cast<std::size_t>(c)].away) {
            ++c;
            continue;
        }
        int end = c;
        while (end < columns && trace.columns[static_cast<std::size_t>(end)].away) {
            ++end;
        }
        painter.fillRect(QRect(device.left() + c, device.top(), end - c, device.height()), away);
        c = end;
    }
    const double span = scale.high - scale.low;
    auto yOf = [&](double value) {
        return device.bottom() -
               static_cast<int>(std::lround((value - scale.low) / span * (device.height() - 1)));
    };
    auto xOf = [&](int column) { return device.left() + std::min(column, columns); };
    std::vector<double> ticks;
    if (drawable || onOff) {
        for (double value = onOff ? 0 : scale.low; value <= scale.high + scale.step / 2;
             value += scale.step) {
            ticks.push_back(value);
        }
    }
    for (const double value : ticks) {
        painter.fillRect(QRect(device.left(), yOf(value), device.width(), 1), grid);
    }
    painter.restore();
    for (const auto& [time, x] : timeTicks.marks) {
        painter.fillRect(QRect(x, body.top() + 1, 1, body.height() - 2), grid);
    }

    // Value labels, in the widget's own units again.
    painter.setPen(quiet);
    for (const double value : ticks) {
        const QString text = onOff ? (value == 0 ? QStringLiteral("off") : QStringLiteral("on"))
                                   : QString::number(value, 'f', scale.decimals);
        const int y = static_cast<int>(yOf(value) / ratio);
        const QRect label(heading.left(), y - metrics.height() / 2,
                          body.left() - heading.left() - 4, metrics.height());
        painter.drawText(label, Qt::AlignRight | Qt::AlignVCenter, text);
    }

    // The frame under the line, so a reading at an end of the axis stays in sight.
    painter.setPen(frame);
    painter.drawRect(body.adjusted(0, 0, -1, -1));
    if (drawable) {
        const int thickness = std::max(1, static_cast<int>(std::lround(ratio)));
        QVector<QRect> strokes;
        std::optional<double> previous;
        if (trace.entering && trace.enteringHoldTo > 0) {
            const int y = yOf(*trace.entering);
            strokes.append(QRect(QPoint(device.left(), y),
                                 QPoint(xOf(trace.enteringHoldTo), y + thickness - 1)));
            previous = trace.entering;
        }
        for (int c = 0; c < columns; ++c) {
            const platform::PlotColumn& column = trace.columns[static_cast<std::size_t>(c)];
            if (!column.any) {
                continue;
            }
            int top = yOf(column.high);
            int bottom = yOf(column.low);
            if (column.joined && previous) {
                top = std::min(top, yOf(*previous));
                bottom = std::max(bottom, yOf(*previous));
            }
            const int x = xOf(c);
            strokes.append(QRect(QPoint(x, top), QPoint(x + thickness - 1, bottom)));
            if (column.holdTo > c) {
                const int y = yOf(column.last);
                strokes.append(QRect(QPoint(x, y), QPoint(xOf(column.holdTo), y + thickness - 1)));
            }
            previous = column.last;
        }
        painter.save();
        painter.scale(1 / ratio, 1 / ratio);
        painter.setClipRect(device);
        painter.setPen(Qt::NoPen);
        painter.setBrush(lineColours[static_cast<std::size_t>(plot) % lineColours.size()]);
        painter.drawRects(strokes);
        painter.restore();
    }

    if (!drawable && !onOff) {
        painter.setPen(quiet);
        painter.drawText(body, Qt::AlignCenter, QStringLiteral("no reading in this time"));
    }
}

TrendChart::TimeTicks TrendChart::timeTicks(const Layout& shape,
                                            const QFontMetrics& metrics) const {
    TimeTicks ticks;
    const std::int64_t span = to_ - from_;
    ticks.step = platform::timeStep(
        span, shape.width,
        metrics.horizontalAdvance(QStringLiteral("00:00:00")) + metrics.height());
    // On whole steps of the local clock.
    const std::int64_t offset = source_->utcOffsetSeconds() * std::int64_t{1000};
    const std::int64_t first = (floorDiv(from_ + offset, ticks.step) + 1) * ticks.step - offset;
    for (std::int64_t time = first; time < to_; time += ticks.step) {
        const double share = static_cast<double>(time - from_) / static_cast<double>(span);
        ticks.marks.emplace_back(time,
                                 shape.left + static_cast<int>(std::llround(share * shape.width)));
    }
    return ticks;
}

void TrendChart::paintTimeAxis(QPainter& painter, const Layout& shape, const TimeTicks& ticks,
                               std::optional<int> cursorX) const {
    const QFontMetrics metrics = painter.fontMetrics();
    const std::int64_t span = to_ - from_;
    painter.setPen(quiet);
    for (const auto& [time, x] : ticks.marks) {
        const QString text = timeText(time, ticks.step);
        const int width = metrics.horizontalAdvance(text);
        painter.fillRect(QRect(x, shape.axis.top(), 1, metrics.height() / 4), quiet);
        if (x + width / 2 > shape.left + shape.width + metrics.height() / 2) {
            continue;  // a label the right edge would cut: its tick says enough
        }
        painter.drawText(QRect(x - width / 2 - 2, shape.axis.top() + metrics.height() / 4,
                               width + 4, metrics.height()),
                         Qt::AlignCenter, text);
    }
    if (cursorX) {
        const std::int64_t time = timeAt(shape, *cursorX);
        QString text = timeText(time, 0);
        if (span >= 24 * 60 * 60 * 1000) {
            text = timeText(time, 24 * 60 * 60 * 1000) + QLatin1Char(' ') + text;
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
