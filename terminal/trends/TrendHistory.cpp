#include "terminal/trends/TrendHistory.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "terminal/trends/TrendItems.h"

namespace terminal {

TrendHistory::TrendHistory(std::size_t capacity, std::int64_t keepMs)
    : capacity_(std::max<std::size_t>(capacity, 1)),
      keepMs_(std::clamp<std::int64_t>(keepMs, 1, std::int64_t{1} << 31)) {}

TrendHistory::~TrendHistory() = default;

void TrendHistory::addReading(std::int64_t time, std::uint8_t level, std::uint32_t lamps) {
    add(time, level, (lamps & ~linkedBit) | linkedBit);
}

void TrendHistory::addGap(std::int64_t time) {
    add(time, 0, 0);
}

void TrendHistory::clear() {
    blocks_.clear();
    head_ = 0;
    size_ = 0;
    ++revision_;
}

void TrendHistory::add(std::int64_t time, std::uint8_t level, std::uint32_t lamps) {
    if (size_ == 0) {
        base_ = time;
    } else {
        time = std::max(time, this->time(size_ - 1));
    }
    // Older than an hour goes, but for the last such point: it says what the hour began with.
    while (size_ >= 2 && this->time(1) < time - keepMs_) {
        dropOldest();
    }
    while (size_ >= capacity_) {
        dropOldest();
    }
    if (time - base_ > std::numeric_limits<std::uint32_t>::max()) {
        rebase(time);
    }
    if (slot(size_) / blockPoints >= blocks_.size()) {
        blocks_.push_back(spare_ ? std::move(spare_) : std::make_unique<Block>());
    }
    Block& block = *blocks_[slot(size_) / blockPoints];
    const std::size_t place = slot(size_) % blockPoints;
    block.offsets[place] = static_cast<std::uint32_t>(time - base_);
    block.lamps[place] = lamps;
    block.levels[place] = level;
    ++size_;
    ++revision_;
}

void TrendHistory::dropOldest() {
    ++head_;
    --size_;
    if (head_ == blockPoints) {
        spare_ = std::move(blocks_.front());
        blocks_.pop_front();
        head_ = 0;
    }
    ++revision_;
}

// Every 49 days of running: the offsets count from shortly before the hour kept. Only the
// one point kept from before the hour can be older; it moves up to the new base.
void TrendHistory::rebase(std::int64_t time) {
    const std::int64_t newBase = time - keepMs_ - 1;
    for (std::size_t i = 0; i < size_; ++i) {
        Block& block = *blocks_[slot(i) / blockPoints];
        const std::int64_t kept = std::max(this->time(i), newBase);
        block.offsets[slot(i) % blockPoints] = static_cast<std::uint32_t>(kept - newBase);
    }
    base_ = newBase;
}

std::int64_t TrendHistory::time(std::size_t index) const {
    return base_ + blockOf(index).offsets[within(index)];
}

bool TrendHistory::linked(std::size_t index) const {
    return (blockOf(index).lamps[within(index)] & linkedBit) != 0;
}

double TrendHistory::value(std::size_t index, std::size_t item) const {
    const Block& block = blockOf(index);
    const std::uint32_t lamps = block.lamps[within(index)];
    if ((lamps & linkedBit) == 0 || item >= trendItems().size()) {
        return std::nan("");
    }
    const std::uint8_t level = block.levels[within(index)];
    switch (trendItems()[item].kind) {
        case TrendItemKind::level:
            return level;
        case TrendItemKind::display:
            return engineValueAtLevel(item, level);
        case TrendItemKind::lamp:
            return (lamps >> lampBit(item)) & 1u;
    }
    return std::nan("");
}

// The drawing's way in: a block at a time, the kind of value looked up once.
void TrendHistory::read(std::size_t first, std::size_t count, std::size_t item,
                        TrendPoint* out) const {
    const double none = std::nan("");
    const bool known = item < trendItems().size();
    const TrendItemKind kind = known ? trendItems()[item].kind : TrendItemKind::level;
    const std::array<float, 256>* byLevel = engineValuesByLevel(item);
    const int bit = lampBit(item);
    while (count > 0) {
        const Block& block = blockOf(first);
        const std::size_t place = within(first);
        const std::size_t run = std::min(count, blockPoints - place);
        for (std::size_t i = place; i < place + run; ++i, ++out) {
            const std::uint32_t lamps = block.lamps[i];
            out->time = base_ + block.offsets[i];
            out->linked = (lamps & linkedBit) != 0;
            if (!out->linked || !known) {
                out->value = none;
            } else if (kind == TrendItemKind::display) {
                out->value = (*byLevel)[block.levels[i]];
            } else if (kind == TrendItemKind::lamp) {
                out->value = (lamps >> bit) & 1u;
            } else {
                out->value = block.levels[i];
            }
        }
        first += run;
        count -= run;
    }
}

}  // namespace terminal
