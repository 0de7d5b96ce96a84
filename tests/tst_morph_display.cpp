#include "morph_display.h"

#include <QTest>

#include <array>

namespace {
const QRgb kCyan = qRgb(0, 255, 255);
const QRgb kDarkCyan = qRgb(0, 80, 80);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);

/// A new instance at the size of its default look: 20 rectangular cells 11 × 21 pixels, the
/// first at x = 6, each next one 17 further, their tops at y = 5; exponent cells from x = 356.
std::unique_ptr<MorphDisplay> newDisplay()
{
    auto display = std::make_unique<MorphDisplay>();
    display->resize(403, 31);
    display->show();
    return display;
}

int cellX(int cell)
{
    return 6 + 17 * cell;
}

QRgb pixel(const MorphDisplay &display, int x, int y)
{
    return display.surface().pixel(x, y);
}

/// Segment a's first pixel and segment g's first pixel of a default cell.
QPoint segmentA(int cell)
{
    return {cellX(cell) + 2, 5};
}
QPoint segmentG(int cell)
{
    return {cellX(cell) + 2, 5 + 9};
}

/// A pixel in the middle of each segment a to g of a default cell.
QPoint segmentMiddle(int cell, int segment)
{
    static const std::array<QPoint, 7> offsets{
        {{5, 0}, {9, 5}, {9, 14}, {5, 18}, {0, 14}, {0, 5}, {5, 9}}};
    return QPoint(cellX(cell), 5) + offsets[std::size_t(segment)];
}
} // namespace

/// The display's digits, marks and colours on its surface.
class tst_MorphDisplay : public QObject
{
    Q_OBJECT

private slots:
    void newInstanceShowsItsDefaultValue();
    void everyPatternLightsItsSegments_data();
    void everyPatternLightsItsSegments();
    void changedCellsOnlyAreRepainted();
    void negativeValueSwitchesColoursOnce();
    void burnInAndFilament();
    void hexagonalAndTrapezoidalCells();
    void decimalMarkFollowsItsCellAndIsErased();
    void colonAndThousandsMarks();
    void exponentField();
    void tooManyDigitsAreRefused();
    void untranslatableColourPaintsWhite();
};

void tst_MorphDisplay::newInstanceShowsItsDefaultValue()
{
    const auto display = newDisplay();
    QCOMPARE(display->Value(), QStringLiteral("1234567890"));
    // "1234567890" right-aligned: cells 10 to 19; cell 10 shows 1 (segment a unlit).
    QCOMPARE(pixel(*display, segmentA(10).x(), segmentA(10).y()), kDarkCyan);
    QCOMPARE(pixel(*display, segmentA(11).x(), segmentA(11).y()), kCyan);
    QCOMPARE(pixel(*display, segmentG(19).x(), segmentG(19).y()), kDarkCyan); // 0: no middle
    QCOMPARE(pixel(*display, segmentA(0).x(), segmentA(0).y()), kDarkCyan); // blank with burn-in
    QCOMPARE(pixel(*display, 0, 0), kBlue);
    QCOMPARE(pixel(*display, 402, 30), kBlue);
    QCOMPARE(pixel(*display, 3, 3), kBlack);
}

void tst_MorphDisplay::everyPatternLightsItsSegments_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("segments");
    QTest::newRow("0") << QStringLiteral("0") << QStringLiteral("1111110");
    QTest::newRow("1") << QStringLiteral("1") << QStringLiteral("0110000");
    QTest::newRow("2") << QStringLiteral("2") << QStringLiteral("1101101");
    QTest::newRow("3") << QStringLiteral("3") << QStringLiteral("1111001");
    QTest::newRow("4") << QStringLiteral("4") << QStringLiteral("0110011");
    QTest::newRow("5") << QStringLiteral("5") << QStringLiteral("1011011");
    QTest::newRow("6") << QStringLiteral("6") << QStringLiteral("1011111");
    QTest::newRow("7") << QStringLiteral("7") << QStringLiteral("1110000");
    QTest::newRow("8") << QStringLiteral("8") << QStringLiteral("1111111");
    QTest::newRow("9") << QStringLiteral("9") << QStringLiteral("1111011");
    QTest::newRow("blank") << QStringLiteral(" ") << QStringLiteral("0000000");
    QTest::newRow("minus") << QStringLiteral("-") << QStringLiteral("0000001");
    QTest::newRow("A") << QStringLiteral("A") << QStringLiteral("1110111");
    QTest::newRow("b") << QStringLiteral("b") << QStringLiteral("0011111");
    QTest::newRow("C") << QStringLiteral("c") << QStringLiteral("1001110");
    QTest::newRow("d") << QStringLiteral("D") << QStringLiteral("0111101");
    QTest::newRow("E") << QStringLiteral("E") << QStringLiteral("1001111");
    QTest::newRow("F") << QStringLiteral("f") << QStringLiteral("1000111");
}

/// Segments a to g of the last cell: lit where the pattern has a 1, burn-in elsewhere.
void tst_MorphDisplay::everyPatternLightsItsSegments()
{
    QFETCH(QString, value);
    QFETCH(QString, segments);
    const auto display = newDisplay();
    QVERIFY(display->setValue(value));
    for (int segment = 0; segment < 7; ++segment) {
        const QPoint at = segmentMiddle(19, segment);
        const QRgb expected = segments.at(segment) == u'1' ? kCyan : kDarkCyan;
        QVERIFY2(pixel(*display, at.x(), at.y()) == expected,
            qPrintable(QStringLiteral("segment %1").arg(QChar(u'a' + segment))));
    }
}

void tst_MorphDisplay::changedCellsOnlyAreRepainted()
{
    const auto display = newDisplay();
    qint64 before = display->paintedCellCount();
    display->setValue(QStringLiteral("1234567891"));
    QCOMPARE(display->paintedCellCount() - before, 1);
    before = display->paintedCellCount();
    display->setValue(QStringLiteral("1234567891"));
    QCOMPARE(display->paintedCellCount() - before, 0);
    display->setValue(QStringLiteral("99"));
    QCOMPARE(display->paintedCellCount() - before, 9);
    QCOMPARE(pixel(*display, segmentA(10).x(), segmentA(10).y()), kDarkCyan);
}

void tst_MorphDisplay::negativeValueSwitchesColoursOnce()
{
    const auto display = newDisplay();
    QVERIFY(display->setSegmentLitColorNeg(0x0000FF));
    QVERIFY(display->setBurnInColorNeg(0x000040));
    qint64 before = display->paintedCellCount();
    display->setValue(QStringLiteral("-3.2"));
    QCOMPARE(display->paintedCellCount() - before, 20 + 4);
    QCOMPARE(pixel(*display, segmentA(19).x(), segmentA(19).y()), qRgb(255, 0, 0)); // 2
    QCOMPARE(pixel(*display, segmentG(17).x(), segmentG(17).y()), qRgb(255, 0, 0)); // minus
    QCOMPARE(pixel(*display, segmentA(0).x(), segmentA(0).y()), qRgb(64, 0, 0));
    before = display->paintedCellCount();
    display->setValue(QStringLiteral("-3.5"));
    QCOMPARE(display->paintedCellCount() - before, 1);
    display->setValue(QStringLiteral("3.5"));
    QCOMPARE(pixel(*display, segmentA(0).x(), segmentA(0).y()), kDarkCyan);
}

void tst_MorphDisplay::burnInAndFilament()
{
    const auto display = newDisplay();
    display->resize(500, 40);
    QVERIFY(display->setShowBurnIn(false));
    QCOMPARE(pixel(*display, segmentA(0).x(), segmentA(0).y()), kBlack);
    QCOMPARE(pixel(*display, segmentG(19).x(), segmentG(19).y()), kBlack);
    QCOMPARE(pixel(*display, segmentA(19).x(), segmentA(19).y()), kCyan);

    QVERIFY(display->setShowBurnIn(true));
    QVERIFY(display->setSegmentWidth(5)); // rectangles 4 pixels thick: a 2-pixel hole
    QVERIFY(display->setSegmentFillStyle(fillFilament));
    // Cells are now 15 wide, 21 apart, from x = 6; segment a starts at (x0 + 4, 5).
    const int x0 = 6 + 21 * 19;
    QCOMPARE(pixel(*display, x0 + 4, 5), kCyan);
    QCOMPARE(pixel(*display, x0 + 5, 6), kBlack);
    QCOMPARE(pixel(*display, x0 + 4, 6), kCyan);
    const int blank = 6;
    QCOMPARE(pixel(*display, blank + 4, 5), kDarkCyan);
    QCOMPARE(pixel(*display, blank + 5, 6), kBlack);
}

void tst_MorphDisplay::hexagonalAndTrapezoidalCells()
{
    const auto display = newDisplay();
    display->resize(500, 60);
    QVERIFY(display->setSegmentStyle(segHexagonal));
    QVERIFY(display->setValue(QStringLiteral("8")));
    // Hexagonal, SH 8, SW 3 (4 thick), G 0: cells 11 × 19 pixels, 17 apart from x = 6.
    const int x0 = 6 + 17 * 19;
    QCOMPARE(pixel(*display, x0 + 1 + 4, 5 + 0), kCyan); // segment a, its middle column
    QCOMPARE(pixel(*display, x0 + 1, 5 + 0), kBlack); // segment a's pointed end
    QCOMPARE(pixel(*display, x0 + 1 + 4, 5 + 8 + 2), kCyan); // segment g

    QVERIFY(display->setSegmentStyle(segTrapezoidal));
    // Trapezoidal, cells 8 × 16: segment a is widest on top.
    const int t0 = 6 + 14 * 19;
    QCOMPARE(pixel(*display, t0, 5), kCyan);
    QCOMPARE(pixel(*display, t0 + 7, 5), kCyan);
    QCOMPARE(pixel(*display, t0, 5 + 2), kCyan); // segment f below a's narrow end
}

void tst_MorphDisplay::decimalMarkFollowsItsCellAndIsErased()
{
    const auto display = newDisplay();
    display->setValue(QStringLiteral("12.5"));
    // The period after cell 18: x = 6 + 17 × 18 + 11 + 3 - 1, y = 5 + 21 + 1 - 3 - 1.
    const QPoint mark(6 + 17 * 18 + 13, 23);
    QCOMPARE(pixel(*display, mark.x(), mark.y()), kCyan);
    QCOMPARE(pixel(*display, segmentA(17).x(), segmentA(17).y()), kDarkCyan); // the 1
    display->setValue(QStringLiteral("125"));
    QCOMPARE(pixel(*display, mark.x(), mark.y()), kBlack);
    QCOMPARE(display->Value(), QStringLiteral("125"));
    display->setValue(QStringLiteral(".5"));
    QCOMPARE(display->Value(), QStringLiteral("0.5"));
}

void tst_MorphDisplay::colonAndThousandsMarks()
{
    const auto display = newDisplay();
    display->setValue(QStringLiteral("12:34"));
    // Colon after cell 17: x = 6 + 17 × 17 + 11 + 3 - 1 + 1, rows 10 and 18.
    const int colonX = 6 + 17 * 17 + 14;
    QCOMPARE(pixel(*display, colonX, 10), kCyan);
    QCOMPARE(pixel(*display, colonX, 18), kCyan);
    display->setValue(QStringLiteral("1234"));
    QCOMPARE(pixel(*display, colonX, 10), kBlack);

    QVERIFY(display->setShowThousandsSeparator(true));
    QVERIFY(display->setThousandsSeparator(sepPeriod));
    // A period mark after cell 16, the cell of the 1.
    const QPoint mark(6 + 17 * 16 + 13, 23);
    QCOMPARE(pixel(*display, mark.x(), mark.y()), kCyan);
    const qint64 before = display->paintedCellCount();
    QVERIFY(display->setThousandsGrouping(2));
    QCOMPARE(display->paintedCellCount() - before, 24); // repainted, not rebuilt
    QCOMPARE(pixel(*display, mark.x(), mark.y()), kBlack);
    QCOMPARE(pixel(*display, mark.x() + 17, mark.y()), kCyan);
}

void tst_MorphDisplay::exponentField()
{
    const auto display = newDisplay();
    display->setValue(QStringLiteral("1.5e+3"));
    QCOMPARE(display->Value(), QStringLiteral("1.5E+3"));
    // Exponent cells 9 pixels wide from x = 1 + 355, 11 apart: blank, 0, 0, 3.
    const int e3 = 356 + 11 * 3;
    QCOMPARE(pixel(*display, e3 + 2, 5), kCyan);
    QCOMPARE(pixel(*display, 356 + 2, 5), kDarkCyan);
    QCOMPARE(pixel(*display, 356 + 11 + 2, 5), kCyan);
    display->setValue(QStringLiteral("2E-12"));
    QCOMPARE(pixel(*display, 356 + 2, 5 + 7), kCyan); // minus: segment g only
    QCOMPARE(pixel(*display, 356 + 2, 5), kDarkCyan);
}

void tst_MorphDisplay::tooManyDigitsAreRefused()
{
    const auto display = newDisplay();
    const QImage before = display->surface();
    QVERIFY(!display->setNumDigits(51));
    QCOMPARE(display->NumDigits(), 51);
    QCOMPARE(display->surface(), before);
    display->setValue(QStringLiteral("7"));
    QCOMPARE(pixel(*display, segmentA(19).x(), segmentA(19).y()), kCyan);
    QVERIFY(display->setNumDigits(50));

    QVERIFY(!display->setNumDigitsExp(6));
    QVERIFY(display->setNumDigitsExp(5));
    QVERIFY(!display->setSegmentHeight(1000000));
    QVERIFY(display->setSegmentHeight(8));
}

void tst_MorphDisplay::untranslatableColourPaintsWhite()
{
    const auto display = newDisplay();
    QVERIFY(display->setSegmentLitColor(0x80000040));
    QCOMPARE(pixel(*display, segmentA(19).x(), segmentA(19).y()), qRgb(255, 255, 255));
    QVERIFY(display->setSegmentLitColor(0x8000000D));
    QCOMPARE(QColor(pixel(*display, segmentA(19).x(), segmentA(19).y())),
        *OleTranslateColor(0x8000000D));
}

QTEST_MAIN(tst_MorphDisplay)
#include "tst_morph_display.moc"
