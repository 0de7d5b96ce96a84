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
    if (bounds.contains(from) && bounds.contains(to))
        return Segment{from, to};
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
    const auto at = [&](double t) {
        return QPoint(int(std::lround(from.x() + t * dx)), int(std::lround(from.y() + t * dy)));
    };
    return Segment{at(enter), at(leave)};
}

/// Bresenham's line between two points inside the image.
void drawSegment(QImage &image, QPoint from, QPoint to, QRgb colour)
{
    const QRect bounds = image.rect();
    int x = from.x();
    int y = from.y();
    const int dx = std::abs(to.x() - x);
    const int dy = -std::abs(to.y() - y);
    const int stepX = x < to.x() ? 1 : -1;
    const int stepY = y < to.y() ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        if (bounds.contains(x, y))
            reinterpret_cast<QRgb *>(image.scanLine(y))[x] = colour;
        if (x == to.x() && y == to.y())
            return;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += stepX;
        }
        if (twice <= dx) {
            error += dx;
            y += stepY;
        }
    }
}
} // namespace

void LineRaster::drawPolyline(QImage &image, const QList<QPoint> &points, QRgb colour)
{
    for (qsizetype n = 1; n < points.size(); ++n) {
        if (const std::optional<Segment> segment = clipped(points[n - 1], points[n], image.rect()))
            drawSegment(image, segment->from, segment->to, colour);
    }
}
