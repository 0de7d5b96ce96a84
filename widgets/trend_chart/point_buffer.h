#pragma once

#include <QtGlobal>

#include <vector>

/// The chart's samples: slot 0 is the left anchor of the polyline (0 at first, later the newest
/// sample that scrolled out), slots 1 to capacity hold the samples, oldest first. Which slots
/// hold samples is told by the fill count, so every value, negative ones included, is a sample.
class PointBuffer
{
public:
    explicit PointBuffer(qint32 capacity = 0);

    /// Stores the sample in the next free slot, or, when full, shifts every slot one place
    /// towards slot 0 and stores it in the last.
    void append(qint32 value);
    /// Changes the capacity, keeping the newest samples.
    void resize(qint32 capacity);
    /// Drops every sample; the anchor is 0 again, as at the start.
    void clear();

    qint32 capacity() const { return qint32(m_slots.size()) - 1; }
    qint32 filled() const { return m_filled; }
    bool isFull() const { return m_filled == capacity(); }
    /// The slot the next sample goes to while filling; capacity + 1 once full.
    qint32 NextSlot() const { return m_filled + 1; }
    qint32 slot(qint32 index) const { return m_slots[std::size_t(index)]; }

private:
    std::vector<qint32> m_slots;
    qint32 m_filled = 0;
};
