#pragma once

#include <QPoint>

#include <vector>

/// The chart's line in canvas pixels, in runs: a point that cannot be drawn (beyond 32 bits, or
/// where an earlier run has no value) ends one run and the next point starts another.
struct ChartPolyline
{
    std::vector<QPoint> points;
    /// Where each run starts in points; the first always at 0.
    std::vector<std::size_t> runStarts{0};

    void clear();
    /// Adds a point to the last run. A point in the same column as the last two, with the last
    /// between the one before and it, replaces the last: the vertical strokes cover the same
    /// pixels either way.
    void append(QPoint point);
    /// A pixel column of samples from top to bottom, entered at the end nearer the point before
    /// so that the join stays short.
    void appendColumn(int x, int top, int bottom);
    /// The next point starts a run of its own.
    void breakRun();

    bool operator==(const ChartPolyline &other) const
    {
        return points == other.points && runStarts == other.runStarts;
    }
};
