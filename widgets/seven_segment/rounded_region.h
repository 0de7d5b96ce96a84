#pragma once

#include <QRegion>

/// The rectangle left ≤ x < right, top ≤ y < bottom with each corner rounded by its own
/// radius; the window shape and the border ring are both cut from it.
QRegion RoundedRegion(int left, int top, int right, int bottom, int topLeft, int topRight,
    int bottomLeft, int bottomRight);
