#include "gradient.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

// 180/π, π/180 and π/2 rounded to single precision: the step count and the slope of the colour
// bands depend on exactly these roundings.
constexpr double kDegreesPerRadian = 57.2957763671875;
constexpr double kRadiansPerDegree = 0.01745329238474369;
constexpr double kQuarterTurn = 1.5707963705062866;

// Slopes are kept as integers scaled by this, so that the per-pixel work is integer only.
constexpr int kSlopeScale = 1000;

struct Channels
{
    int red;
    int green;
    int blue;
};

Channels splitColour(quint32 colour)
{
    return {int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF)};
}

// Halves go to the even neighbour (45.5 → 46, 44.5 → 44), not away from zero.
int nearest(double value)
{
    return int(std::nearbyint(value));
}

std::vector<QRgb> linearRamp(int count, const Channels &first, const Channels &last)
{
    const int lastIndex = count - 1;
    if (lastIndex == 0) {
        return {qRgb(first.red / 2 + last.red / 2, first.green / 2 + last.green / 2,
            first.blue / 2 + last.blue / 2)};
    }
    std::vector<QRgb> ramp;
    ramp.reserve(count);
    for (int i = 0; i <= lastIndex; ++i) {
        ramp.push_back(qRgb(first.red + i * (last.red - first.red) / lastIndex,
            first.green + i * (last.green - first.green) / lastIndex,
            first.blue + i * (last.blue - first.blue) / lastIndex));
    }
    return ramp;
}

// Even positions climb to colour 2, odd positions come back down: 1 → 2 → 1 in one ramp.
std::vector<QRgb> middleOutRamp(const std::vector<QRgb> &ramp)
{
    const int lastIndex = int(ramp.size()) - 1;
    std::vector<QRgb> reordered;
    reordered.reserve(ramp.size());
    for (int i = 0; i <= lastIndex; i += 2)
        reordered.push_back(ramp[i]);
    for (int i = lastIndex % 2 == 1 ? lastIndex : lastIndex - 1; i >= 1; i -= 2)
        reordered.push_back(ramp[i]);
    return reordered;
}

} // namespace

QImage ComputeGradient(
    int width, int height, quint32 colour1, quint32 colour2, float angle, bool middleOut)
{
    if (width < 1 || height < 1)
        return {};
    // A non-finite angle has no direction; fall back to the default vertical ramp.
    if (!std::isfinite(angle))
        angle = 90.0f;

    if (middleOut && angle >= 91 && angle <= 270)
        std::swap(colour1, colour2);

    // fmod is exact and keeps the dividend's sign, and cannot overflow for huge angles.
    double turn = std::fmod(std::nearbyint(90.0f - angle), 360.0);
    if (turn < 0)
        turn += 360.0;
    const int quadrant = int(turn) / 90;
    const int rest = int(turn) % 90;
    const bool evenQuadrant = quadrant % 2 == 0;

    const double aspect = evenQuadrant ? double(width) / height : double(height) / width;
    const float diagonalAngle = float(std::atan(aspect) * kDegreesPerRadian);
    const float spanAngle =
        float((90 - std::fabs(float(rest) - diagonalAngle)) * kRadiansPerDegree);
    const float slopeAngle = float(rest * kRadiansPerDegree);

    const double diagonal = std::sqrt(double(width) * width + double(height) * height);
    // At least one entry, even if rounding ever produced none.
    const int steps = std::max(1, nearest(diagonal * std::sin(double(spanAngle))));

    if (quadrant > 1)
        std::swap(colour1, colour2);

    std::vector<QRgb> ramp = linearRamp(steps, splitColour(colour1), splitColour(colour2));
    if (middleOut)
        ramp = middleOutRamp(ramp);

    const double bandAngle = evenQuadrant ? double(slopeAngle) : kQuarterTurn - slopeAngle;
    const qint64 sineStep = nearest(std::sin(bandAngle) * kSlopeScale);
    const qint64 cosineStep = nearest(std::cos(bandAngle) * kSlopeScale);
    const qint64 lastEntry = qint64(ramp.size()) - 1;

    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    for (int y = 0; y < height; ++y) {
        // Even quadrants count rows from the bottom line up, odd ones from the top line down.
        const int line = evenQuadrant ? height - 1 - y : y;
        auto *pixels = reinterpret_cast<QRgb *>(image.scanLine(line));
        for (int x = 0; x < width; ++x) {
            const qint64 index = (x * sineStep + y * cosineStep) / kSlopeScale;
            pixels[x] = ramp[std::clamp<qint64>(index, 0, lastEntry)];
        }
    }
    return image;
}
