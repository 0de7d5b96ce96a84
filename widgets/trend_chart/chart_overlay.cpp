#include "chart_overlay.h"

#include <array>

namespace {
const std::array<QColor, ChartOverlay::kColours> kPalette{
    QColor(0, 229, 255), // cyan
    QColor(255, 96, 255), // magenta
    QColor(255, 154, 46), // orange
    QColor(111, 168, 255), // sky blue
    QColor(255, 255, 255), // white
    QColor(255, 92, 92), // red
};
} // namespace

QColor ChartOverlay::colour(qsizetype index)
{
    return kPalette[std::size_t(index % kColours)];
}
