#pragma once

#include <QImage>
#include <QRegion>

/// Direct pixel work on 32-bit images: filling a region, restoring a region or a rectangle from
/// another image. Everything is clipped to both images, so shapes partly or wholly outside are
/// safe.
namespace SurfaceOps {
void fillRegion(QImage &surface, const QRegion &region, QPoint offset, QRgb colour);
void copyRegion(QImage &surface, const QImage &source, const QRegion &region, QPoint offset = {});
void copyRect(QImage &surface, const QImage &source, const QRect &rect);
} // namespace SurfaceOps
