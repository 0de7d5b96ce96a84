#include "point_buffer.h"

#include <algorithm>

PointBuffer::PointBuffer(qint32 capacity)
    : m_slots(std::size_t(std::max(capacity, 0)) + 1, 0)
{
}

void PointBuffer::append(qint32 value)
{
    if (capacity() == 0)
        return;
    if (isFull())
        std::move(m_slots.begin() + 1, m_slots.end(), m_slots.begin());
    else
        ++m_filled;
    m_slots[std::size_t(m_filled)] = value;
}

void PointBuffer::resize(qint32 capacity)
{
    capacity = std::max(capacity, 0);
    const qint32 dropped = std::max(m_filled - capacity, 0);
    std::vector<qint32> slots(std::size_t(capacity) + 1, 0);
    slots[0] = m_slots[std::size_t(dropped)];
    std::copy(m_slots.begin() + dropped + 1, m_slots.begin() + m_filled + 1, slots.begin() + 1);
    m_filled -= dropped;
    m_slots = std::move(slots);
}

void PointBuffer::clear()
{
    std::fill(m_slots.begin(), m_slots.end(), 0);
    m_filled = 0;
}
