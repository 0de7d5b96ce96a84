#include "sample_history.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {
// About seven minutes at ten samples a second.
constexpr qint64 kFirstAllocation = 4096;
} // namespace

SampleHistory::SampleHistory(qint64 capacity)
    : m_capacity(std::max<qint64>(capacity, 1))
{
}

void SampleHistory::grow()
{
    const qint64 next = std::min(std::max(allocated() * 2, kFirstAllocation), m_capacity);
    m_values.reserve(std::size_t(next));
    m_stamps.reserve(std::size_t(next));
}

void SampleHistory::append(qint32 value, qint64 stamp)
{
    const std::size_t slot = slotOf(m_end);
    const auto kept = qint32(std::clamp<qint64>(
        stamp, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
    // Slots fill in order from 0, so a slot not yet there is the next one.
    if (slot == m_values.size()) {
        if (m_values.size() == m_values.capacity())
            grow();
        m_values.push_back(value);
        m_stamps.push_back(kept);
    } else {
        m_values[slot] = value;
        m_stamps[slot] = kept;
    }
    ++m_end;
}

void SampleHistory::clear()
{
    m_end = 0;
}

HistorySample SampleHistory::at(qint64 index) const
{
    const std::size_t slot = slotOf(index);
    return {m_values[slot], m_stamps[slot]};
}

qint64 SampleHistory::columnStart(qint64 count, qint32 columns, qint32 column)
{
    return columns > 0 ? count * column / columns : 0;
}

qint32 SampleHistory::columnOf(qint64 position, qint64 count, qint32 columns)
{
    // The first column whose end passes the position: ceil((position + 1) × columns / count) - 1.
    if (count <= 0)
        return 0;
    return qint32(((position + 1) * columns + count - 1) / count - 1);
}

void SampleHistory::columnRanges(
    qint64 first, qint64 count, qint32 columns, std::vector<ColumnRange> &ranges) const
{
    ranges.assign(std::size_t(std::max(columns, 0)), ColumnRange());
    const qint64 keptFirst = this->first();
    for (qint32 column = 0; column < columns; ++column) {
        qint64 from = std::max(first + columnStart(count, columns, column), keptFirst);
        const qint64 to = std::min(first + columnStart(count, columns, column + 1), m_end);
        if (from >= to)
            continue;
        qint32 minimum = std::numeric_limits<qint32>::max();
        qint32 maximum = std::numeric_limits<qint32>::min();
        // At most two stretches of the ring: up to its end, then on from its start.
        while (from < to) {
            const std::size_t slot = slotOf(from);
            const qint64 length = std::min<qint64>(to - from, capacity() - qint64(slot));
            const qint32 *value = m_values.data() + slot;
            const qint32 *const stop = value + length;
            for (; value != stop; ++value) {
                minimum = std::min(minimum, *value);
                maximum = std::max(maximum, *value);
            }
            from += length;
        }
        ranges[std::size_t(column)] = {minimum, maximum};
    }
}

qint64 SampleHistory::nearestValue(qint64 from, qint64 to, qint32 value) const
{
    qint64 nearest = -1;
    qint64 distance = std::numeric_limits<qint64>::max();
    for (qint64 index = std::max(from, first()); index < std::min(to, m_end); ++index) {
        const qint64 apart = std::abs(qint64(at(index).value) - value);
        if (apart < distance) {
            distance = apart;
            nearest = index;
        }
    }
    return nearest;
}

qint64 SampleHistory::firstStampedFrom(qint64 from, qint64 to, qint64 stamp) const
{
    qint64 low = std::max(from, first());
    qint64 high = std::min(to, m_end);
    if (low >= high)
        return to;
    while (low < high) {
        const qint64 middle = low + (high - low) / 2;
        if (at(middle).stamp < stamp)
            low = middle + 1;
        else
            high = middle;
    }
    return low < std::min(to, m_end) ? low : to;
}
