#pragma once

#include <QtGlobal>

#include <vector>

class SampleHistory;

/// Where whole run times fall on a view of the history, for the time axis under the chart.
/// Samples are drawn by index, not by time, so a tick goes to the column of the first sample
/// taken at or just after its time; a time inside a pause gets no tick, nor does one that would
/// crowd the tick before.
class TimeTicks
{
public:
    struct Tick
    {
        /// The face column, 0 at the left.
        qint32 column = 0;
        /// The run time, in the stamps' tenths of a second.
        qint64 stamp = 0;
        bool operator==(const Tick &other) const
        {
            return column == other.column && stamp == other.stamp;
        }
    };

    /// The smallest round step, in tenths, that puts no more than the given number of ticks on
    /// a span of run time: 1, 2, 5, 10, 15 or 30 seconds or minutes, or 1, 2, 3, 6, 12 or 24
    /// hours.
    static qint64 step(qint64 span, qint32 ticks);
    /// The ticks of the samples [first, first + across) drawn over columns columns, at least
    /// gap columns apart.
    static std::vector<Tick> place(
        const SampleHistory &history, qint64 first, qint32 across, qint32 columns, qint32 gap);
};
