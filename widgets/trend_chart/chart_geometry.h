#pragma once

#include "twips.h"

#include <QList>
#include <QtGlobal>

#include <optional>

/// Where the chart draws, in canvas units (twips). A spacing is computed when the control is
/// resized; one whose computation fails (a division by zero, a result beyond its field) keeps
/// its previous value.
struct ChartSpacings
{
    qint16 PointStep = 0;
    /// Added to every point's place; below 0 only when even a step of 1 would put the newest
    /// sample past the canvas, which then keeps the newest samples and drops the oldest.
    qint32 PointOffset = 0;
    qint32 ColumnSpacing = 0;
    qint32 RowSpacing = 0;
};

namespace ChartGeometry {
/// The integer nearest to x, halves to even; empty when x is not finite or beyond 32 bits.
std::optional<qint32> nearest(double x);

/// The pixel a canvas coordinate falls in; a whole number of twips never lies halfway between
/// two pixels. Inline: every redraw converts each sample.
inline int toPixels(qint64 twips)
{
    constexpr qint64 half = Twips::kPerPixel / 2;
    return int(
        twips >= 0 ? (twips + half) / Twips::kPerPixel : -((half - twips) / Twips::kPerPixel));
}

/// The spacings after a resize. The step between points is the largest, at least 1, that puts
/// the newest sample, N + 1 steps in, in a pixel column of the canvas; where no step does, the
/// offset moves every point left until the newest one is in the last column.
ChartSpacings resize(const ChartSpacings &previous, qint32 canvasWidth, qint32 canvasHeight,
    qint32 numberOfPoints, qint16 gridTickHorizontal, qint16 gridTickVertical, qint32 max);

/// Canvas units per value unit: the control's overall height over the full-scale value.
std::optional<qint32> verticalScale(qint32 controlHeight, qint32 max);

/// Horizontal grid lines from the bottom edge up in steps of the row spacing; none when the
/// spacing is below 1.
QList<qint32> rowLines(qint32 canvasHeight, qint32 rowSpacing);
/// Vertical grid lines from the left edge across in steps of the column spacing; none when the
/// spacing is below 1.
QList<qint32> columnLines(qint32 canvasWidth, qint32 columnSpacing);
} // namespace ChartGeometry
