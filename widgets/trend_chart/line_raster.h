#pragma once

#include <QImage>
#include <QList>
#include <QPoint>

/// One-pixel lines drawn straight into a 32-bit image and clipped to it: the chart's data line
/// without the cost a general stroker pays per segment.
namespace LineRaster {
/// Every pixel on each segment between consecutive points, both ends included.
void drawPolyline(QImage &image, const QList<QPoint> &points, QRgb colour);
} // namespace LineRaster
