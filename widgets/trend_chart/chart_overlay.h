#pragma once

#include "sample_history.h"

#include <QColor>
#include <QString>

#include <limits>
#include <vector>

/// An earlier run drawn over the chart: its samples stamped with their run time in tenths of a
/// second, oldest first, and what its legend says. It is drawn from its first sample to its last,
/// each value held until the next, as the chart samples a temperature that changes by lines.
struct ChartOverlay
{
    /// A sample of this value marks a gap, such as a lost link: nothing is drawn from its stamp
    /// to the next sample's.
    static constexpr qint32 kGap = std::numeric_limits<qint32>::min();

    std::vector<HistorySample> samples;
    QString legend;

    /// The overlays' colours, in turn, all legible on the chart's black face and apart from its
    /// yellow line and green grid; a seventh overlay takes the first colour again.
    static constexpr int kColours = 6;
    static QColor colour(qsizetype index);
};
