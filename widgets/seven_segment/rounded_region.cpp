#include "rounded_region.h"

namespace {

// Removes the part of the corner square that lies outside the quarter ellipse.
void cutCorner(QRegion &region, const QRect &square, const QRect &ellipseBox)
{
    region -= QRegion(square).subtracted(QRegion(ellipseBox, QRegion::Ellipse));
}

} // namespace

QRegion RoundedRegion(int left, int top, int right, int bottom, int topLeft, int topRight,
    int bottomLeft, int bottomRight)
{
    QRegion region(QRect(left, top, right - left, bottom - top));

    // A negative radius cannot round anything, so it cuts nothing, like 0.
    if (topLeft > 0) {
        const int k = topLeft;
        cutCorner(region, QRect(left, top, k, k), QRect(left, top, 2 * k, 2 * k));
    }
    if (topRight > 0) {
        const int k = topRight;
        cutCorner(region, QRect(right - k, top, k, k), QRect(right - 2 * k + 1, top, 2 * k, 2 * k));
    }
    if (bottomLeft > 0) {
        const int k = bottomLeft;
        cutCorner(
            region, QRect(left, bottom - k, k, k), QRect(left, bottom - 2 * k + 1, 2 * k, 2 * k));
    }
    if (bottomRight > 0) {
        const int k = bottomRight;
        cutCorner(region, QRect(right - k, bottom - k, k, k),
            QRect(right - 2 * k + 1, bottom - 2 * k + 1, 2 * k, 2 * k));
    }
    return region;
}
