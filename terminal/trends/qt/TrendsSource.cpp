#include "terminal/trends/qt/TrendsSource.h"

#include <QDateTime>
#include <QStringList>
#include <QTimeZone>
#include <cstdlib>

#include "platform/instruments/qt/CiAnalogDisplayX.h"
#include "terminal/trends/TrendItems.h"
#include "terminal/trends/TrendReduction.h"
#include "terminal/trends/TrendView.h"

namespace terminal::ui {

void TrendsSource::show(const TrendData* data, int utcOffsetSeconds) {
    data_ = data;
    utcOffsetSeconds_ = utcOffsetSeconds;
    ++changes_;
}

void TrendsSource::setItems(std::vector<std::size_t> items) {
    std::erase_if(items, [](std::size_t item) { return item >= trendItems().size(); });
    items_ = std::move(items);
    ++changes_;
}

QString TrendsSource::caption(int plot) const {
    return QString::fromStdString(trendItems()[items_[static_cast<std::size_t>(plot)]].caption);
}

QString TrendsSource::unit(int plot) const {
    return QString::fromStdString(trendItems()[items_[static_cast<std::size_t>(plot)]].unit);
}

bool TrendsSource::onOff(int plot) const {
    return trendItems()[items_[static_cast<std::size_t>(plot)]].kind == TrendItemKind::lamp;
}

platform::PlotTrace TrendsSource::trace(int plot, std::int64_t from, std::int64_t to,
                                        int columns) const {
    if (data_ == nullptr) {
        return {};
    }
    return reduceToColumns(*data_, items_[static_cast<std::size_t>(plot)], from, to, columns);
}

QString TrendsSource::readingText(int plot, std::int64_t when) const {
    const std::optional<double> reading =
        data_ ? readingAt(*data_, items_[static_cast<std::size_t>(plot)], when) : std::nullopt;
    if (!reading) {
        return QStringLiteral("no reading");
    }
    return valueText(plot, *reading);
}

QString TrendsSource::valueText(int plot, double value, bool signedDifference) const {
    const TrendItem& item = trendItems()[items_[static_cast<std::size_t>(plot)]];
    const QString sign = signedDifference && value > 0 ? QStringLiteral("+") : QString();
    switch (item.kind) {
        case TrendItemKind::lamp:
            return value != 0 ? QStringLiteral("lit") : QStringLiteral("dark");
        case TrendItemKind::level:
            return sign + QString::number(value, 'f', 0);
        case TrendItemKind::display:
            break;
    }
    // As the display shows it.
    const int decimals =
        item.decimals < 0 ? platform::CiAnalogDisplayX::defaultPrecision : item.decimals;
    return sign + QString::number(value, 'f', decimals) + QLatin1Char(' ') +
           QString::fromStdString(item.unit);
}

QString TrendsSource::cursorText(int plot, std::optional<std::int64_t> a,
                                 std::optional<std::int64_t> b) const {
    const std::size_t item = items_[static_cast<std::size_t>(plot)];
    if (data_ == nullptr) {
        return {};
    }
    const CursorReadings readings = cursorReadings(*data_, item, a, b);
    const auto reading = [&](const std::optional<double>& value) {
        return value ? valueText(plot, *value) : QStringLiteral("no reading");
    };
    QStringList parts;
    if (a) {
        parts << QStringLiteral("A ") + reading(readings.a);
    }
    if (b) {
        parts << QStringLiteral("B ") + reading(readings.b);
    }
    if (readings.delta && trendItems()[item].kind != TrendItemKind::lamp) {
        parts << QStringLiteral("Δ ") + valueText(plot, *readings.delta, true);
    }
    return parts.join(QStringLiteral("   "));
}

std::optional<platform::AxisScale> TrendsSource::fixedScale(int plot) const {
    return fixedScaleOf(items_[static_cast<std::size_t>(plot)]);
}

void TrendsSource::setFixedScale(std::size_t item, std::optional<platform::AxisScale> scale) {
    if (scale) {
        fixed_[item] = *scale;
    } else {
        fixed_.erase(item);
    }
    ++changes_;
}

std::optional<platform::AxisScale> TrendsSource::fixedScaleOf(std::size_t item) const {
    const auto found = fixed_.find(item);
    if (found == fixed_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::uint64_t TrendsSource::revision() const {
    // The data's own count stays far below 2^40; a change of data or values moves above it.
    return (changes_ << 40) + (data_ ? data_->revision() : 0);
}

QString rangeTitle(const QString& what, std::int64_t from, std::int64_t to, int utcOffsetSeconds) {
    const QTimeZone zone(utcOffsetSeconds);
    const QDateTime start = QDateTime::fromMSecsSinceEpoch(from, zone);
    const QDateTime end = QDateTime::fromMSecsSinceEpoch(to, zone);
    const QString day = QStringLiteral("yyyy-MM-dd ");
    const QString clock = QStringLiteral("HH:mm:ss");
    const int minutes = std::abs(utcOffsetSeconds) / 60;
    const QString offset = QStringLiteral("UTC%1%2:%3")
                               .arg(utcOffsetSeconds < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
    return what + QStringLiteral(", ") + start.toString(day + clock) + QStringLiteral(" – ") +
           end.toString(start.date() == end.date() ? clock : day + clock) + QStringLiteral(" (") +
           offset + QLatin1Char(')');
}

}  // namespace terminal::ui
