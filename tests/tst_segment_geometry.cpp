#include "segment_geometry.h"
#include "segment_patterns.h"

#include <QTest>

/// Segment shapes, cell sizes and positions as data.
class tst_SegmentGeometry : public QObject
{
    Q_OBJECT

private slots:
    void defaultMainField();
    void cellSizePerStyle_data();
    void cellSizePerStyle();
    void hexagonsAreEvenAndAtLeastFour_data();
    void hexagonsAreEvenAndAtLeastFour();
    void trapezoidsAreClamped();
    void markPositions();
    void outlineIsTheInnerRing();
    void patternsForEveryCharacter();
};

void tst_SegmentGeometry::defaultMainField()
{
    const FieldMetrics field; // SH 8, SW 3, G 0, rectangular, top 5
    QCOMPARE(SegmentGeometry::cellSize(field), QSize(11, 21));
    const std::vector<int> x = SegmentGeometry::cellPositions(1 + 5, 20, 11, 6);
    QCOMPARE(x.size(), std::size_t(20));
    QCOMPARE(x[0], 6);
    QCOMPARE(x[1], 23);
    QCOMPARE(x[2], 40);
    const SegmentPlacement a = SegmentGeometry::placements(field)[0];
    QCOMPARE(a.slot, 7);
    QCOMPARE(a.offset, QPoint(2, 0));
    const ShapeSet shapes = SegmentGeometry::buildShapes(field, sepPeriod, sepComma);
    QCOMPARE(shapes[7], QRegion(0, 0, 7, 2));
    QCOMPARE(shapes[6], QRegion(0, 0, 2, 7));
    QCOMPARE(shapes[8], QRegion(0, 0, 2, 2));
}

void tst_SegmentGeometry::cellSizePerStyle_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("SH");
    QTest::addColumn<int>("SW");
    QTest::addColumn<int>("G");
    QTest::addColumn<QSize>("cell");
    QTest::newRow("hexagonal") << int(segHexagonal) << 20 << 8 << 5 << QSize(38, 68);
    QTest::newRow("trapezoidal") << int(segTrapezoidal) << 12 << 4 << 1 << QSize(14, 28);
    QTest::newRow("rectangular with gap") << int(segRectangular) << 8 << 3 << 2 << QSize(15, 29);
}

void tst_SegmentGeometry::cellSizePerStyle()
{
    QFETCH(int, style);
    QFETCH(int, SH);
    QFETCH(int, SW);
    QFETCH(int, G);
    QFETCH(QSize, cell);
    QCOMPARE(SegmentGeometry::cellSize({SH, SW, G, style, 5}), cell);
}

void tst_SegmentGeometry::hexagonsAreEvenAndAtLeastFour_data()
{
    QTest::addColumn<int>("SW");
    QTest::addColumn<int>("thickness");
    QTest::newRow("1 becomes 4") << 1 << 4;
    QTest::newRow("3 becomes 4") << 3 << 4;
    QTest::newRow("5 becomes 4") << 5 << 4;
    QTest::newRow("6 stays") << 6 << 6;
    QTest::newRow("9 becomes 8") << 9 << 8;
}

void tst_SegmentGeometry::hexagonsAreEvenAndAtLeastFour()
{
    QFETCH(int, SW);
    QFETCH(int, thickness);
    const QRegion vertical(SegmentGeometry::hexagon(SW, 20), Qt::WindingFill);
    const QRegion horizontal(SegmentGeometry::hexagon(20, SW), Qt::WindingFill);
    QCOMPARE(vertical.boundingRect().width(), thickness);
    QCOMPARE(horizontal.boundingRect().height(), thickness);
    // The long sides are straight: the middle row spans the whole thickness.
    QVERIFY(vertical.contains(QRect(0, 10, thickness, 1)));
}

void tst_SegmentGeometry::trapezoidsAreClamped()
{
    // Length 4, thickness 3: the thickness is clamped to 4 \ 2 = 2.
    const FieldMetrics field{4, 3, 0, segTrapezoidal, 5};
    const ShapeSet shapes = SegmentGeometry::buildShapes(field, sepPeriod, sepComma);
    QCOMPARE(shapes[2].boundingRect().height(), 2);
    QCOMPARE(shapes[4].boundingRect().height(), 2);
    QCOMPARE(shapes[3].boundingRect().width(), 2);
    QCOMPARE(shapes[5].boundingRect().width(), 2);
    // Segment a narrows towards the bottom, segment d towards the top.
    QVERIFY(shapes[2].contains(QPoint(0, 0)));
    QVERIFY(!shapes[2].contains(QPoint(0, 1)));
    QVERIFY(shapes[4].contains(QPoint(0, 1)));
}

void tst_SegmentGeometry::markPositions()
{
    const FieldMetrics field; // SW 3, top 5, rectangular
    const QSize cell(11, 21);
    QCOMPARE(SegmentGeometry::markPosition(sepComma, 40, cell, 6, field), QPoint(48, 22));
    QCOMPARE(SegmentGeometry::markPosition(sepPeriod, 40, cell, 6, field), QPoint(53, 23));
    const FieldMetrics hexagonal{8, 3, 0, segHexagonal, 5};
    QCOMPARE(SegmentGeometry::markPosition(sepPeriod, 40, cell, 6, hexagonal), QPoint(53, 24));
    const auto colon = SegmentGeometry::colonPositions(40, 11, 6, field);
    QCOMPARE(colon[0], QPoint(54, 10));
    QCOMPARE(colon[1], QPoint(54, 18));
}

void tst_SegmentGeometry::outlineIsTheInnerRing()
{
    const QRegion square(0, 0, 5, 4);
    const QRegion ring = SegmentGeometry::outline(square);
    QVERIFY(ring.contains(QPoint(0, 0)));
    QVERIFY(ring.contains(QPoint(4, 3)));
    QVERIFY(!ring.contains(QPoint(2, 2)));
    QCOMPARE(ring, square - QRegion(1, 1, 3, 2));
}

void tst_SegmentGeometry::patternsForEveryCharacter()
{
    using SegmentPatterns::PatternIndexOf;
    QCOMPARE(PatternIndexOf(u'7', true), 7);
    QCOMPARE(PatternIndexOf(u' ', true), SegmentPatterns::kBlank);
    QCOMPARE(PatternIndexOf(u' ', false), SegmentPatterns::kNothing);
    QCOMPARE(PatternIndexOf(u'-', false), 11);
    QCOMPARE(PatternIndexOf(u'A', true), 12);
    QCOMPARE(PatternIndexOf(u'F', true), 17);
    QCOMPARE(PatternIndexOf(u'X', true), 0);
    QCOMPARE(PatternIndexOf(u'.', true), 0);
    QVERIFY(SegmentPatterns::lit(8, 6));
    QVERIFY(!SegmentPatterns::lit(0, 6));
    QVERIFY(SegmentPatterns::lit(11, 6) && !SegmentPatterns::lit(11, 0));
}

QTEST_GUILESS_MAIN(tst_SegmentGeometry)
#include "tst_segment_geometry.moc"
