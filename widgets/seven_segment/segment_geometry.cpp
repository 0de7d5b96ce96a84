#include "segment_geometry.h"

#include <algorithm>

namespace {
QRect fromCorners(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

/// Thickness of a hexagon: at least 4, lowered to even.
int hexagonThickness(int thickness)
{
    thickness = std::max(thickness, 4);
    return thickness % 2 == 1 ? thickness - 1 : thickness;
}

QRegion polygonRegion(const QPolygon &polygon)
{
    return QRegion(polygon, Qt::WindingFill);
}
} // namespace

QPolygon SegmentGeometry::hexagon(int w, int h)
{
    if (h > w) {
        const int t = hexagonThickness(w);
        const int m = t / 2;
        return QPolygon(
            {{m, h}, {t, h - m}, {t, m - 1}, {m, -1}, {m - 1, 0}, {0, m - 1}, {0, h - m}, {m, h}});
    }
    const int t = hexagonThickness(h);
    const int m = t / 2;
    return QPolygon(
        {{0, m}, {m, t}, {w - m, t}, {w, m}, {w, m - 1}, {w - m + 1, 0}, {m - 1, 0}, {0, m - 1}});
}

QPolygon SegmentGeometry::trapezoid(int w, int h, int direction)
{
    if (w > h) {
        if (w < 2 * h)
            h = w / 2;
        if (direction > 0)
            return QPolygon({{0, 0}, {h, h}, {w - h, h}, {w, 0}, {0, 0}});
        return QPolygon({{h - 1, 0}, {-1, h}, {w + 1, h}, {w + 1 - h, 0}, {h - 1, 0}});
    }
    if (h < 2 * w)
        w = h / 2;
    if (direction < 0)
        return QPolygon({{0, w - 1}, {0, h - w}, {w, h}, {w, -1}, {0, w - 1}});
    return QPolygon({{0, -1}, {0, h}, {w, h - w}, {w, w - 1}, {0, -1}});
}

QRect SegmentGeometry::rectangle(int w, int h)
{
    return fromCorners(0, 0, w - 1, h - 1);
}

QPolygon SegmentGeometry::commaMark(int SH, int SW, int yOffset)
{
    const int top = yOffset - SW;
    return QPolygon({{SH / 2, top}, {SH / 2 + SW, top}, {SW, top + SH}, {0, top + SH}});
}

QRect SegmentGeometry::periodMark(int SW)
{
    return fromCorners(0, 0, SW - 1, SW - 1);
}

ShapeSet SegmentGeometry::buildShapes(
    const FieldMetrics &field, SeparatorKind decimal, SeparatorKind thousands)
{
    const auto mark = [&field](SeparatorKind kind) {
        return kind == sepComma ? polygonRegion(commaMark(field.SH, field.SW, field.yOffset))
                                : QRegion(periodMark(field.SW));
    };
    return {
        polygonRegion(hexagon(field.SW, field.SH)),
        polygonRegion(hexagon(field.SH, field.SW)),
        polygonRegion(trapezoid(field.SH, field.SW, +1)),
        polygonRegion(trapezoid(field.SW, field.SH, -1)),
        polygonRegion(trapezoid(field.SH, field.SW, -1)),
        polygonRegion(trapezoid(field.SW, field.SH, +1)),
        QRegion(rectangle(field.SW, field.SH)),
        QRegion(rectangle(field.SH, field.SW)),
        mark(decimal),
        mark(thousands),
    };
}

QRegion SegmentGeometry::outline(const QRegion &region)
{
    const QRegion inner = region.translated(1, 0) & region.translated(-1, 0)
        & region.translated(0, 1) & region.translated(0, -1) & region;
    return region - inner;
}

QSize SegmentGeometry::cellSize(const FieldMetrics &field)
{
    const int SH = field.SH;
    const int SW = field.SW;
    const int G = field.G;
    switch (field.style) {
    case segHexagonal:
        return QSize(SH + SW + 2 * G, SW + 2 * SH + 4 * G);
    case segTrapezoidal:
        return QSize(SH + 2 * G, 2 * SH + 4 * G);
    default:
        return QSize(SH + 2 * SW + 2 * G - 3, 2 * SH + 3 * SW + 4 * G - 4);
    }
}

std::array<SegmentPlacement, 7> SegmentGeometry::placements(const FieldMetrics &field)
{
    const int SH = field.SH;
    const int SW = field.SW;
    const int G = field.G;
    switch (field.style) {
    case segHexagonal:
        return {{{slotHexagonHorizontal, {SW / 2 + G, 0}},
            {slotHexagonVertical, {SH + 2 * G, SW / 2 + G}},
            {slotHexagonVertical, {SH + 2 * G, SH + SW / 2 + 3 * G}},
            {slotHexagonHorizontal, {SW / 2 + G, 2 * SH + 4 * G}},
            {slotHexagonVertical, {0, SH + SW / 2 + 3 * G}}, {slotHexagonVertical, {0, SW / 2 + G}},
            {slotHexagonHorizontal, {SW / 2 + G, SH + 2 * G}}}};
    case segTrapezoidal:
        return {{{slotTrapezoidTop, {G, 0}}, {slotTrapezoidRight, {SH + 2 * G - SW, G}},
            {slotTrapezoidRight, {SH + 2 * G - SW, SH + 3 * G}},
            {slotTrapezoidBottom, {G, 2 * SH + 4 * G - SW}}, {slotTrapezoidLeft, {0, SH + 3 * G}},
            {slotTrapezoidLeft, {0, G}}, {slotHexagonHorizontal, {G, SH + 2 * G - SW / 2}}}};
    default:
        return {{{slotRectangleHorizontal, {SW + G - 1, 0}},
            {slotRectangleVertical, {SW + SH + 2 * G - 2, SW + G - 1}},
            {slotRectangleVertical, {SW + SH + 2 * G - 2, SH + 2 * SW + 3 * G - 3}},
            {slotRectangleHorizontal, {SW + G - 1, 2 * SH + 2 * SW + 4 * G - 4}},
            {slotRectangleVertical, {0, SH + 2 * SW + 3 * G - 3}},
            {slotRectangleVertical, {0, SW + G - 1}},
            {slotRectangleHorizontal, {SW + G - 1, SH + SW + 2 * G - 2}}}};
    }
}

std::vector<int> SegmentGeometry::cellPositions(int first, int count, int cellWidth, int gap)
{
    std::vector<int> positions;
    positions.reserve(std::size_t(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        positions.push_back(first + i * (cellWidth + gap));
    return positions;
}

QPoint SegmentGeometry::markPosition(
    SeparatorKind kind, int cellX, QSize cell, int interDigitGap, const FieldMetrics &field)
{
    if (kind == sepComma)
        return {cellX + cell.width() - field.SW, field.yOffset + cell.height() - field.SW - 1};
    const int y = field.yOffset + cell.height() + 1 - field.SW;
    return {cellX + cell.width() + interDigitGap / 2 - field.SW / 2,
        field.style == segRectangular ? y - 1 : y};
}

std::array<QPoint, 2> SegmentGeometry::colonPositions(
    int cellX, int cellWidth, int interDigitGap, const FieldMetrics &field)
{
    const int x = cellX + cellWidth + interDigitGap / 2 - field.SW / 2 + 1;
    const int top = field.yOffset + field.SH / 2 + field.SW / 2;
    return {QPoint(x, top), QPoint(x, top + field.SH)};
}
