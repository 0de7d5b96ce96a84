#include "line_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <utility>

namespace {
struct Segment
{
    QPoint from;
    QPoint to;
};

/// The part of a segment inside the rectangle (Liang-Barsky), or nothing when it misses it.
std::optional<Segment> clipped(QPoint from, QPoint to, const QRect &bounds)
{
    const double dx = double(to.x()) - from.x();
    const double dy = double(to.y()) - from.y();
    double enter = 0.0;
    double leave = 1.0;
    const std::pair<double, double> edges[] = {
        {-dx, double(from.x()) - bounds.left()},
        {dx, double(bounds.right()) - from.x()},
        {-dy, double(from.y()) - bounds.top()},
        {dy, double(bounds.bottom()) - from.y()},
    };
    for (const auto &[p, q] : edges) {
        if (p == 0.0) {
            if (q < 0.0)
                return std::nullopt;
            continue;
        }
        const double r = q / p;
        if (p < 0.0)
            enter = std::max(enter, r);
        else
            leave = std::min(leave, r);
        if (enter > leave)
            return std::nullopt;
    }
    // Rounding keeps a clipped end inside; the bound only guards the raster's raw writes.
    const auto at = [&](double t) {
        return QPoint(qBound(bounds.left(), int(std::lround(from.x() + t * dx)), bounds.right()),
            qBound(bounds.top(), int(std::lround(from.y() + t * dy)), bounds.bottom()));
    };
    return Segment{at(enter), at(leave)};
}

/// The image's pixels, addressed without a detach check per pixel.
struct Raster
{
    QRgb *bits;
    qsizetype stride;
    int width;
    int height;

    bool contains(QPoint point) const
    {
        return unsigned(point.x()) < unsigned(width) && unsigned(point.y()) < unsigned(height);
    }
};

/// Bresenham's line between two points inside the raster.
void drawSegment(
    const Raster &raster, QPoint from, QPoint to, QRgb colour, LineRaster::ColumnSpans *touched)
{
    int x = from.x();
    int y = from.y();
    QRgb *pixel = raster.bits + y * raster.stride + x;
    const int dx = std::abs(to.x() - x);
    const int dy = -std::abs(to.y() - y);
    const int stepX = x < to.x() ? 1 : -1;
    const int stepY = y < to.y() ? 1 : -1;
    const qsizetype rowStep = stepY * raster.stride;
    int error = dx + dy;
    for (;;) {
        *pixel = colour;
        if (touched)
            touched->add(x, y);
        if (x == to.x() && y == to.y())
            return;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += stepX;
            pixel += stepX;
        }
        if (twice <= dx) {
            error += dx;
            y += stepY;
            pixel += rowStep;
        }
    }
}
} // namespace

void LineRaster::ColumnSpans::clear(int width)
{
    m_spans.assign(std::size_t(std::max(width, 0)), Span());
}

void LineRaster::ColumnSpans::restore(QImage &target, const QImage &source) const
{
    const qsizetype stride = target.bytesPerLine() / qsizetype(sizeof(QRgb));
    QRgb *const to = reinterpret_cast<QRgb *>(target.bits());
    const QRgb *const from = reinterpret_cast<const QRgb *>(source.constBits());
    for (std::size_t x = 0; x < m_spans.size(); ++x) {
        for (int y = m_spans[x].top; y <= m_spans[x].bottom; ++y) {
            const qsizetype at = y * stride + qsizetype(x);
            to[at] = from[at];
        }
    }
}

QRect LineRaster::ColumnSpans::bounds() const
{
    int left = std::numeric_limits<int>::max();
    int right = std::numeric_limits<int>::min();
    int top = std::numeric_limits<int>::max();
    int bottom = std::numeric_limits<int>::min();
    for (std::size_t x = 0; x < m_spans.size(); ++x) {
        if (m_spans[x].top > m_spans[x].bottom)
            continue;
        left = std::min(left, int(x));
        right = int(x);
        top = std::min(top, m_spans[x].top);
        bottom = std::max(bottom, m_spans[x].bottom);
    }
    return left <= right ? QRect(QPoint(left, top), QPoint(right, bottom)) : QRect();
}

void LineRaster::drawPolyline(
    QImage &image, const QPoint *points, qsizetype count, QRgb colour, ColumnSpans *touched)
{
    if (count < 2)
        return;
    const Raster raster{reinterpret_cast<QRgb *>(image.bits()),
        image.bytesPerLine() / qsizetype(sizeof(QRgb)), image.width(), image.height()};
    for (qsizetype n = 1; n < count; ++n) {
        const QPoint from = points[n - 1];
        const QPoint to = points[n];
        if (raster.contains(from) && raster.contains(to))
            drawSegment(raster, from, to, colour, touched);
        else if (const std::optional<Segment> segment = clipped(from, to, image.rect()))
            drawSegment(raster, segment->from, segment->to, colour, touched);
    }
}
