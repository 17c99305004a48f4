#include "terminal/sequences/qt/RunPlot.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "platform/chart/qt/TrendChart.h"
#include "terminal/trends/Recording.h"
#include "terminal/trends/qt/TrendsSource.h"

namespace terminal::sequences {

namespace {

const QColor failedMark(0xc0, 0x00, 0x00);
const QColor warningMark(0xd0, 0x80, 0x00);

// The first x whose time is `time` or later: the chart's own time scale, asked through its
// public face, so the marks stand where the chart draws that time whatever its layout.
int xOfTime(const platform::TrendChart& chart, std::int64_t time) {
    int low = 0;
    int high = chart.width();
    while (low < high) {
        const int middle = (low + high) / 2;
        if (chart.timeAtX(middle) < time) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

// The rows of the widget covered by plots at column x: the first and the last.
std::optional<std::pair<int, int>> plotRows(const platform::TrendChart& chart, int x) {
    std::optional<std::pair<int, int>> rows;
    for (int y = 0; y < chart.height(); ++y) {
        if (chart.plotAt(QPoint(x, y))) {
            rows = rows ? std::pair(rows->first, y) : std::pair(y, y);
        }
    }
    return rows;
}

}  // namespace

QByteArray runPlotPng(const std::filesystem::path& recordingFile, const RunReport& report,
                      std::int64_t startMs, QSize size) {
    std::string error;
    const std::optional<Recording> recording = readRecording(recordingFile, error);
    if (!recording || recording->size() == 0) {
        return {};
    }
    const std::vector<std::size_t> items = recording->defaultItems();
    ui::TrendsSource source;
    source.show(&*recording, recording->utcOffsetMinutes() * 60);
    source.setItems(items);
    const std::int64_t from = std::min(startMs, recording->time(0));
    const std::int64_t to = std::max(recording->time(recording->size() - 1), from + 1000);

    platform::TrendChart chart;
    chart.setEmptyText(QStringLiteral("No values recorded."));
    chart.setSource(&source);
    chart.setRange(from, to);
    chart.setTimeOrigin(startMs);
    const QString title = ui::rangeTitle(QString::fromStdString(report.sequence->name), from, to,
                                         source.utcOffsetSeconds());
    QImage picture = chart.renderImage(size, title);

    // The widget laid out as the picture below its title, so its public time scale and plot
    // areas are the picture's.
    const int line = QFontMetrics(chart.font()).height();
    const int titleHeight = line + line / 2;
    chart.resize(size.width(), size.height() - titleHeight);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont bold = chart.font();
    bold.setBold(true);
    painter.setFont(bold);
    for (const FailedCheck& check : failedChecks(report)) {
        const std::int64_t when = startMs + std::llround(check.seconds * 1000.0);
        if (when < from || when > to) {
            continue;
        }
        const int x = xOfTime(chart, when);
        const std::optional<std::pair<int, int>> rows = plotRows(chart, x);
        if (!rows) {
            continue;
        }
        const QColor colour = check.warning ? warningMark : failedMark;
        const int top = rows->first + titleHeight;
        const int bottom = rows->second + titleHeight;
        painter.setPen(QPen(colour, 2, Qt::DashLine));
        painter.drawLine(x, top, x, bottom);
        // A flag on the time axis with the step's number.
        const int half = line / 2;
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawPolygon(QPolygon(
            {QPoint(x, bottom), QPoint(x - half, bottom + line), QPoint(x + half, bottom + line)}));
        const QString number = QString::number(check.step);
        const int width = QFontMetrics(bold).horizontalAdvance(number) + line / 2;
        const QRect label(x + 2, top, width, line);
        painter.fillRect(label, colour);
        painter.setPen(Qt::white);
        painter.drawText(label, Qt::AlignCenter, number);
    }
    painter.end();

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return png;
}

}  // namespace terminal::sequences
