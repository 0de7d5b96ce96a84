#include "surface_ops.h"

#include <algorithm>
#include <cstring>

void SurfaceOps::fillRegion(QImage &surface, const QRegion &region, QPoint offset, QRgb colour)
{
    const QRect bounds = surface.rect();
    for (const QRect &shapeRect : region) {
        const QRect rect = shapeRect.translated(offset) & bounds;
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            auto *row = reinterpret_cast<QRgb *>(surface.scanLine(y));
            std::fill(row + rect.left(), row + rect.right() + 1, colour);
        }
    }
}

void SurfaceOps::copyRect(QImage &surface, const QImage &source, const QRect &rect)
{
    const QRect clipped = rect & surface.rect() & source.rect();
    const std::size_t bytes = std::size_t(clipped.width()) * sizeof(QRgb);
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        const auto *from = reinterpret_cast<const QRgb *>(source.constScanLine(y)) + clipped.left();
        auto *to = reinterpret_cast<QRgb *>(surface.scanLine(y)) + clipped.left();
        std::memcpy(to, from, bytes);
    }
}

void SurfaceOps::copyRegion(
    QImage &surface, const QImage &source, const QRegion &region, QPoint offset)
{
    for (const QRect &rect : region)
        copyRect(surface, source, rect.translated(offset));
}
