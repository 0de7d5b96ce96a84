#include "chart_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

std::optional<qint32> ChartGeometry::nearest(double x)
{
    const double rounded = std::nearbyint(x);
    if (!std::isfinite(rounded) || rounded < std::numeric_limits<qint32>::min()
        || rounded > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(rounded);
}

ChartSpacings ChartGeometry::resize(const ChartSpacings &previous, qint32 canvasWidth,
    qint32 canvasHeight, qint32 numberOfPoints, qint16 gridTickHorizontal, qint16 gridTickVertical,
    qint32 max)
{
    ChartSpacings spacings = previous;
    if (numberOfPoints > 0) {
        // The newest point, N + 1 steps in, may reach the rightmost twip that still rounds into
        // the last pixel column, not the width itself.
        const qint64 rightmost = qint64(canvasWidth) - Twips::kPerPixel / 2 - 1;
        const qint64 step = std::max<qint64>(rightmost / (qint64(numberOfPoints) + 1), 1);
        if (step <= std::numeric_limits<qint16>::max()) {
            spacings.PointStep = qint16(step);
            spacings.PointOffset =
                qint32(std::min<qint64>(0, rightmost - (qint64(numberOfPoints) + 1) * step));
        }
        const std::optional<qint32> perPoint = nearest(double(canvasWidth) / numberOfPoints);
        const qint64 columns = qint64(perPoint.value_or(0)) * gridTickHorizontal;
        if (perPoint && columns >= std::numeric_limits<qint32>::min()
            && columns <= std::numeric_limits<qint32>::max())
            spacings.ColumnSpacing = qint32(columns);
    }
    if (max != 0 && gridTickVertical != 0) {
        if (const std::optional<qint32> rows =
                nearest(canvasHeight / (double(max) / gridTickVertical)))
            spacings.RowSpacing = *rows;
    }
    return spacings;
}

std::optional<qint32> ChartGeometry::verticalScale(qint32 controlHeight, qint32 max)
{
    if (max == 0)
        return std::nullopt;
    return nearest(double(controlHeight) / max);
}

QList<qint32> ChartGeometry::rowLines(qint32 canvasHeight, qint32 rowSpacing)
{
    QList<qint32> lines;
    if (rowSpacing < 1)
        return lines;
    for (qint32 y = canvasHeight; y >= 0; y -= rowSpacing)
        lines.append(y);
    return lines;
}

QList<qint32> ChartGeometry::columnLines(qint32 canvasWidth, qint32 columnSpacing)
{
    QList<qint32> lines;
    if (columnSpacing < 1)
        return lines;
    for (qint64 x = 0; x <= canvasWidth; x += columnSpacing)
        lines.append(qint32(x));
    return lines;
}
