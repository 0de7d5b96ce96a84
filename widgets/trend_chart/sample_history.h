#pragma once

#include <QtGlobal>

#include <algorithm>
#include <vector>

/// One recorded sample: its value and the stamp the host gave it.
struct HistorySample
{
    qint32 value = 0;
    qint64 stamp = 0;
};

/// The run's samples, far more than the live chart keeps: a ring of fixed capacity that drops
/// the oldest first. Its memory grows with the samples, so that a short run costs little.
/// Samples are addressed by their index in the run, counted from the last clear, so an index
/// stays valid until its sample is dropped. Stamps are kept in 32 bits: tenths of a second of
/// run time fit for years.
class SampleHistory
{
public:
    /// A day at ten samples a second.
    static constexpr qint64 kCapacity = 864000;

    /// The extremes of the samples in one pixel column; empty when none falls in it.
    struct ColumnRange
    {
        qint32 minimum = 0;
        qint32 maximum = -1;
        bool isEmpty() const { return minimum > maximum; }
    };

    explicit SampleHistory(qint64 capacity = kCapacity);

    void append(qint32 value, qint64 stamp);
    void clear();

    qint64 capacity() const { return m_capacity; }
    /// The samples there is memory for, from a few thousand up to the capacity.
    qint64 allocated() const { return qint64(m_values.capacity()); }
    /// The oldest sample kept.
    qint64 first() const { return std::max<qint64>(m_end - capacity(), 0); }
    /// One past the newest sample.
    qint64 end() const { return m_end; }
    qint64 count() const { return m_end - first(); }
    /// The sample at a kept index.
    HistorySample at(qint64 index) const;

    /// Column c of columns over count samples holds those from columnStart(c) up to
    /// columnStart(c + 1): every column gets at least one when there are as many samples as
    /// columns, and with fewer the samples are spread evenly, the last in the last column.
    static qint64 columnStart(qint64 count, qint32 columns, qint32 column);
    /// The column a sample count samples in is drawn in, the inverse of columnStart.
    static qint32 columnOf(qint64 position, qint64 count, qint32 columns);
    /// Each column's minimum and maximum over count samples from first, so that a peak stays
    /// visible however many samples share its column; indices not kept count as absent.
    void columnRanges(
        qint64 first, qint64 count, qint32 columns, std::vector<ColumnRange> &ranges) const;
    /// Of the kept samples in [from, to), the index of the one whose value is nearest the
    /// given one, the oldest among equals; -1 when none is kept there.
    qint64 nearestValue(qint64 from, qint64 to, qint32 value) const;
    /// Of the kept samples in [from, to), the first stamped at or after the given stamp; to when
    /// none is. Stamps are taken not to fall, as run times do.
    qint64 firstStampedFrom(qint64 from, qint64 to, qint64 stamp) const;

private:
    std::size_t slotOf(qint64 index) const { return std::size_t(index % m_capacity); }
    /// Makes room for the slot after the last, doubling the memory up to the capacity.
    void grow();

    qint64 m_capacity;
    std::vector<qint32> m_values;
    std::vector<qint32> m_stamps;
    qint64 m_end = 0;
};
