#include "chart_polyline.h"

#include <algorithm>
#include <cstdlib>

void ChartPolyline::clear()
{
    points.clear();
    runStarts.assign(1, 0);
}

void ChartPolyline::append(QPoint point)
{
    const std::size_t count = points.size() - runStarts.back();
    if (count >= 1 && points.back() == point)
        return;
    if (count >= 2) {
        QPoint &last = points.back();
        const QPoint before = points[points.size() - 2];
        if (before.x() == point.x() && last.x() == point.x()
            && std::min(before.y(), point.y()) <= last.y()
            && last.y() <= std::max(before.y(), point.y())) {
            last = point;
            return;
        }
    }
    points.push_back(point);
}

void ChartPolyline::appendColumn(int x, int top, int bottom)
{
    int entry = top;
    int exit = bottom;
    if (points.size() > runStarts.back()
        && std::abs(points.back().y() - exit) < std::abs(points.back().y() - entry))
        std::swap(entry, exit);
    append(QPoint(x, entry));
    append(QPoint(x, exit));
}

void ChartPolyline::breakRun()
{
    if (points.size() > runStarts.back())
        runStarts.push_back(points.size());
}
