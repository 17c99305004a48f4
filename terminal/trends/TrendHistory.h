#pragma once
// The live history of the Trends window: a ring of the last hour of status lines, bounded by
// the line's highest rate. A point keeps only its time, the level and the 27 lamps as shown;
// the engine values, a function of the level alone, are looked up when drawn
// (engineValueAtLevel), so an hour at a saturated line fits in 27 MB instead of 320.
//
// Storage grows in blocks as points arrive and shrinks as they age, so a device reporting
// five times a second costs about 160 KB an hour.

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>

#include "terminal/trends/TrendData.h"

namespace terminal {

class TrendHistory : public TrendData {
public:
    // 115200 baud carries 11,520 bytes a second; the shortest status line ("BRC %S", level,
    // flags, checksum, CR LF) is 14 bytes: at most 823 lines a second, 2,962,286 an hour.
    static constexpr std::size_t hourAtLineRate = 3600 * 11520 / 14 + 1;
    static constexpr std::int64_t hourMs = 60 * 60 * 1000;
    // Points per storage block, and the bytes each point takes.
    static constexpr std::size_t blockPoints = 16384;
    static constexpr std::size_t pointBytes = 9;

    explicit TrendHistory(std::size_t capacity = hourAtLineRate, std::int64_t keepMs = hourMs);
    ~TrendHistory() override;

    // A status line shown while the link was identified: its level and lamps (lampBits).
    void addReading(std::int64_t time, std::uint8_t level, std::uint32_t lamps);
    // The link changed or is not identified: nothing is known from here until the next
    // reading. A time before the newest point's counts as the newest point's.
    void addGap(std::int64_t time);
    void clear();

    std::uint64_t revision() const override { return revision_; }
    // The bytes the points' storage takes now.
    std::size_t storageBytes() const { return blocks_.size() * sizeof(Block); }

    std::size_t size() const override { return size_; }
    std::int64_t time(std::size_t index) const override;
    bool linked(std::size_t index) const override;
    double value(std::size_t index, std::size_t item) const override;
    void read(std::size_t first, std::size_t count, std::size_t item,
              TrendPoint* out) const override;

private:
    // Times are kept as milliseconds after base_, lamps with the link in the top bit.
    struct Block {
        std::array<std::uint32_t, blockPoints> offsets;
        std::array<std::uint32_t, blockPoints> lamps;
        std::array<std::uint8_t, blockPoints> levels;
    };
    static constexpr std::uint32_t linkedBit = 0x80000000u;

    void add(std::int64_t time, std::uint8_t level, std::uint32_t lamps);
    void dropOldest();
    void rebase(std::int64_t time);
    std::size_t slot(std::size_t index) const { return head_ + index; }
    const Block& blockOf(std::size_t index) const { return *blocks_[slot(index) / blockPoints]; }
    std::size_t within(std::size_t index) const { return slot(index) % blockPoints; }

    std::size_t capacity_;
    std::int64_t keepMs_;
    std::deque<std::unique_ptr<Block>> blocks_;
    std::unique_ptr<Block> spare_;  // the last block freed, so a full ring allocates nothing
    std::size_t head_ = 0;          // the oldest point's place in the first block
    std::size_t size_ = 0;
    std::int64_t base_ = 0;
    std::uint64_t revision_ = 0;
};

}  // namespace terminal
