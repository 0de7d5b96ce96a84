#pragma once

#include <QPoint>
#include <QPolygon>
#include <QRegion>
#include <QSize>

#include <array>
#include <vector>

enum SegmentStyleKind { segHexagonal = 0, segTrapezoidal = 1, segRectangular = 2 };
enum SegmentFillKind { fillFilament = 0, fillSolid = 1 };
enum SeparatorKind { sepComma = 0, sepPeriod = 1 };

/// One field's segment dimensions: length SH, thickness SW, gap G, style and top y.
struct FieldMetrics
{
    int SH = 8;
    int SW = 3;
    int G = 0;
    int style = segRectangular;
    int yOffset = 5;
};

/// Shape slots of a field. Trapezoids are named after their long edge.
enum ShapeSlot {
    slotHexagonVertical = 0,
    slotHexagonHorizontal = 1,
    slotTrapezoidTop = 2,
    slotTrapezoidRight = 3,
    slotTrapezoidBottom = 4,
    slotTrapezoidLeft = 5,
    slotRectangleVertical = 6,
    slotRectangleHorizontal = 7,
    slotDecimalMark = 8,
    slotThousandsMark = 9,
    kShapeSlots = 10
};

/// A field's shapes by slot, each a region at the origin, moved to where a segment is drawn.
using ShapeSet = std::array<QRegion, kShapeSlots>;

/// Where a segment goes in a cell: which shape, moved by how much from the cell's top left.
struct SegmentPlacement
{
    int slot;
    QPoint offset;
};

/// Pixel geometry of seven-segment cells. Rectangles cover l <= x < r, t <= y < b; polygons
/// their interior under the winding rule; "\" below is integer division toward zero.
namespace SegmentGeometry {
/// Never thinner than 4 pixels and always of even thickness.
QPolygon hexagon(int w, int h);
/// direction +1: long edge on top (horizontal) or on the left (vertical); -1: bottom or right.
QPolygon trapezoid(int w, int h, int direction);
/// The rectangle (0, 0, w - 1, h - 1).
QRect rectangle(int w, int h);
QPolygon commaMark(int SH, int SW, int yOffset);
QRect periodMark(int SW);

ShapeSet buildShapes(const FieldMetrics &field, SeparatorKind decimal, SeparatorKind thousands);
/// The 1-pixel outline just inside a region, for segments drawn as filaments.
QRegion outline(const QRegion &region);

QSize cellSize(const FieldMetrics &field);
/// Segments a to g in order.
std::array<SegmentPlacement, 7> placements(const FieldMetrics &field);
/// Left edges of count cells, the first at first, each next one cell width and a gap further.
std::vector<int> cellPositions(int first, int count, int cellWidth, int gap);

/// Where the decimal or thousands mark of a cell is drawn.
QPoint markPosition(
    SeparatorKind kind, int cellX, QSize cell, int interDigitGap, const FieldMetrics &field);
/// The two colon dots after a cell.
std::array<QPoint, 2> colonPositions(
    int cellX, int cellWidth, int interDigitGap, const FieldMetrics &field);
} // namespace SegmentGeometry
