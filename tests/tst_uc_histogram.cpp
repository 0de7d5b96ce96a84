#include "line_raster.h"
#include "ole_color.h"
#include "property_bag.h"
#include "uc_histogram.h"

#include <QPaintEvent>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

namespace {
const QColor kBack(0, 0, 0);
const QColor kGrid(0, 128, 0);
const QColor kLine(255, 255, 0);

/// A borderless chart 108 × 60 pixels: canvas 116 × 60 pixels, 1740 × 900 twips. With 100
/// points, 10 and 25 ticks and Max 100: step 17, columns every 170, rows every 225 twips from
/// the bottom, 9 twips per value unit.
PropertyBag smallChartSettings(qint16 drawWidth = 1)
{
    return PropertyBag{
        {"BorderStyle", 0}, {"BackColor", 0}, {"ForeColor", 0x00FFFF}, {"DrawWidth", drawWidth}};
}

std::unique_ptr<ucHistogram> smallChart(qint16 drawWidth = 1, int height = 60)
{
    auto chart = std::make_unique<ucHistogram>();
    chart->ReadProperties(smallChartSettings(drawWidth));
    chart->resize(108, height);
    chart->show(); // resizes the canvas and draws the grid once
    return chart;
}

QImage face(ucHistogram &chart)
{
    return chart.grab().toImage();
}

/// The face's pixels of a layer: those of the line's colour on the canvas, those drawn at all on
/// the overlay layer.
QList<QPoint> drawnOnFace(const QImage &layer, bool overlay)
{
    QList<QPoint> drawn;
    for (int y = 0; y < layer.height(); ++y) {
        for (int x = 8; x < layer.width(); ++x) {
            const QRgb pixel = layer.pixel(x, y);
            if (overlay ? qAlpha(pixel) != 0 : QColor(pixel) == kLine)
                drawn.append(QPoint(x, y));
        }
    }
    return drawn;
}

void drawPolyline(QImage &image, const QList<QPoint> &points, QRgb colour)
{
    LineRaster::drawPolyline(image, points.constData(), points.size(), colour);
}

/// Gathers what a widget is asked to repaint.
class PaintedRegion : public QObject
{
public:
    explicit PaintedRegion(QWidget &widget) { widget.installEventFilter(this); }
    QRegion region;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            region += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
};
} // namespace

/// The trend chart, checked on its rendered face.
class tst_ucHistogram : public QObject
{
    Q_OBJECT

private slots:
    void spacingsComeFromTheCanvas();
    void newestSampleLandsInsideTheCanvas();
    void gridIsAnchoredAtBottomAndLeft_data();
    void gridIsAnchoredAtBottomAndLeft();
    void sampleAtMaxIsAtTheTopAndAboveMaxIsRefused();
    void fillsThenScrollsWithTheNewestSampleVisible();
    void negativeSampleDoesNotHideLaterOnes();
    void bufferResizedAtRunTimeKeepsTheNewestSamples();
    void pointCountsAboveTheLimitAreRefused();
    void writesWaitForTheNextResizeOrRedraw();
    void refreshRepeatsThePictureAndCarriesThePenWidthToTheGrid();
    void gridTicksConvertOrFail();
    void propertyStoreRoundTrip();
    void everyPropertyIsStoredUnderItsName_data();
    void everyPropertyIsStoredUnderItsName();
    void storedColoursLoadSignedOrUnsigned_data();
    void storedColoursLoadSignedOrUnsigned();
    void zeroAndTinySpacingsDoNotHangOrCrash();
    void lineRasterDrawsAndClips();
    void redrawingOnlyTheLineMatchesAFullRedraw();
    void liveViewIsTheSameWithTheHistoryOn();
    void compressedViewKeepsAOneSampleSpike();
    void sampleAtFindsTheSampleDrawnThere();
    void viewCaptionShowsOnlyWhileNotLive();
    void heldViewIsDrawnAgainOnceItsCanvasWasBlanked_data();
    void heldViewIsDrawnAgainOnceItsCanvasWasBlanked();
    void overlayOfTheSameSamplesCoversTheLinesPixels_data();
    void overlayOfTheSameSamplesCoversTheLinesPixels();
    void overlayRunsAheadOfTheLiveLineFromTheRunsStart();
    void overlaysLeaveTheCanvasAndGoWithoutATrace();
    void overlayBreaksAtAGap_data();
    void overlayBreaksAtAGap();
};

void tst_ucHistogram::spacingsComeFromTheCanvas()
{
    const auto chart = smallChart();
    QCOMPARE(chart->spacings().PointStep, 17);
    QCOMPARE(chart->spacings().ColumnSpacing, 170);
    QCOMPARE(chart->spacings().RowSpacing, 225);

    ChartSpacings console =
        ChartGeometry::resize({}, (605 + 8) * 15, 329 * 15, 1700, 50, 100, 1200);
    QCOMPARE(console.PointStep, 5);
    QVERIFY((1700 + 1) * console.PointStep <= (605 + 8) * 15); // the newest sample is on the canvas
    QCOMPARE(console.ColumnSpacing, 5 * 50);
    QCOMPARE(console.RowSpacing, 411);
}

void tst_ucHistogram::newestSampleLandsInsideTheCanvas()
{
    for (const qint32 points : {1, 100, 1700}) {
        for (int faceWidth = 20; faceWidth <= 1000; ++faceWidth) {
            const int canvasPixels = faceWidth + 8;
            const ChartSpacings spacings =
                ChartGeometry::resize({}, canvasPixels * 15, 900, points, 10, 25, 100);
            const auto newestColumn = [&](qint64 pointStep) {
                return ChartGeometry::toPixels((points + 1) * pointStep + spacings.PointOffset);
            };
            const QByteArray where =
                QByteArray::number(points) + " points, face " + QByteArray::number(faceWidth);
            QVERIFY2(newestColumn(spacings.PointStep) <= canvasPixels - 1, where);
            if (canvasPixels * 15 - 8 < points + 1) {
                // Under a twip per point the newest sample takes the last column and the oldest
                // fall off the left.
                QVERIFY2(spacings.PointStep == 1, where);
                QVERIFY2(newestColumn(1) == canvasPixels - 1, where);
                continue;
            }
            QCOMPARE(spacings.PointOffset, 0);
            // No narrower than needed.
            QVERIFY2(newestColumn(spacings.PointStep + 1) > canvasPixels - 1, where);
        }
    }

    // Rendered: 1,700 points on borderless faces 559 and 60 pixels wide (the narrow one holds
    // fewer twips than points), full of samples at Max, then one at 50. That last sample is the
    // only line pixel below the top row.
    for (const int faceWidth : {559, 60}) {
        ucHistogram chart;
        chart.ReadProperties(PropertyBag{{"BorderStyle", 0}, {"BackColor", 0},
            {"ForeColor", 0x00FFFF}, {"NumberOfPoints", 1700}});
        chart.resize(faceWidth, 60);
        chart.show();
        for (int n = 0; n < 1800; ++n)
            chart.NextPoint(100);
        chart.NextPoint(50);
        const QImage image = face(chart);
        bool drawn = false;
        for (int x = 0; x < image.width(); ++x)
            drawn = drawn || image.pixelColor(x, 30) == kLine;
        QVERIFY2(drawn, QByteArray::number(faceWidth));
    }
}

void tst_ucHistogram::gridIsAnchoredAtBottomAndLeft_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<QList<int>>("gridRows");
    QTest::addColumn<QList<int>>("clearRows");
    QTest::addColumn<int>("sampleRow");
    // Rows at 675, 450, 225 and 0 twips; 40 lies 60 × 9 = 540 twips down.
    QTest::newRow("height a multiple of the spacing")
        << 60 << QList<int>{45, 30, 15, 0} << QList<int>{44, 46, 31, 59} << 36;
    // 975 / 4 = 243.75 rounds up to 244: rows at 731, 487 and 243, none at the top; 975 / 100 =
    // 9.75 rounds up to 10 twips per value unit.
    QTest::newRow("spacing and scale round up")
        << 65 << QList<int>{49, 32, 16} << QList<int>{0, 17, 33, 48, 50} << 40;
    // 1050 / 4 = 262.5 and 1050 / 100 = 10.5 round to the even 262 and 10: rows at 788, 526,
    // 264 and 2.
    QTest::newRow("halves to even")
        << 70 << QList<int>{53, 35, 18, 0} << QList<int>{52, 17, 34} << 40;
}

void tst_ucHistogram::gridIsAnchoredAtBottomAndLeft()
{
    QFETCH(int, height);
    QFETCH(QList<int>, gridRows);
    QFETCH(QList<int>, clearRows);
    QFETCH(int, sampleRow);
    const auto chart = smallChart(1, height);
    for (int n = 0; n < 20; ++n)
        chart->NextPoint(40);
    const QImage image = face(*chart);
    for (const int row : gridRows)
        QVERIFY2(image.pixelColor(50, row) == kGrid, QByteArray::number(row));
    for (const int row : clearRows)
        QVERIFY2(image.pixelColor(50, row) == kBack, QByteArray::number(row));
    // Samples lie (Max - value) × nearest(control height / Max) twips down.
    QCOMPARE(image.pixelColor(10, sampleRow), kLine);
    // Columns at 170 and 340 twips: canvas pixels 11 and 23, face pixels 3 and 15.
    for (const int column : {3, 15})
        QCOMPARE(image.pixelColor(column, 20), kGrid);
    for (const int column : {2, 4, 14, 16})
        QCOMPARE(image.pixelColor(column, 20), kBack);
}

void tst_ucHistogram::sampleAtMaxIsAtTheTopAndAboveMaxIsRefused()
{
    const auto chart = smallChart();
    for (int n = 0; n < 20; ++n)
        chart->NextPoint(100);
    QCOMPARE(chart->pointBuffer().filled(), 20);
    QCOMPARE(face(*chart).pixelColor(12, 0), kLine);

    (void)chart->setForeColor(0x0000FF);
    chart->NextPoint(101);
    QCOMPARE(chart->pointBuffer().filled(), 20);
    QCOMPARE(face(*chart).pixelColor(12, 0), kLine); // no redraw, so still the old colour
}

void tst_ucHistogram::fillsThenScrollsWithTheNewestSampleVisible()
{
    const auto chart = smallChart();
    for (int n = 1; n <= 100; ++n)
        chart->NextPoint(n % 2 == 0 ? 50 : 20);
    QCOMPARE(chart->pointBuffer().NextSlot(), 101);
    QCOMPARE(chart->pointBuffer().slot(0), 0);
    QCOMPARE(chart->pointBuffer().slot(1), 20);
    chart->NextPoint(100);
    QCOMPARE(chart->pointBuffer().NextSlot(), 101);
    // The anchor is the sample that scrolled out, not the 0 it started with.
    QCOMPARE(chart->pointBuffer().slot(0), 20);
    QCOMPARE(chart->pointBuffer().slot(1), 50);
    QCOMPARE(chart->pointBuffer().slot(100), 100);
    // The newest sample, at (100 + 1) × 17 twips, canvas pixel 114, face pixel 106: at the top.
    QCOMPARE(face(*chart).pixelColor(106, 0), kLine);
    QVERIFY(106 < chart->width());
    chart->NextPoint(30);
    QCOMPARE(chart->pointBuffer().slot(0), 50);
    QCOMPARE(chart->pointBuffer().slot(99), 100);
}

void tst_ucHistogram::negativeSampleDoesNotHideLaterOnes()
{
    const auto chart = smallChart();
    for (int n = 0; n < 30; ++n)
        chart->NextPoint(n == 15 ? -5 : 50);
    // The samples after the negative one are drawn at value 50, pixel row 30.
    const QImage image = face(*chart);
    QCOMPARE(image.pixelColor(22, 30), kLine);
}

void tst_ucHistogram::bufferResizedAtRunTimeKeepsTheNewestSamples()
{
    PointBuffer buffer(5);
    for (int value = 1; value <= 4; ++value)
        buffer.append(value * 10);
    buffer.resize(2);
    QCOMPARE(buffer.capacity(), 2);
    QCOMPARE(buffer.filled(), 2);
    QCOMPARE(buffer.slot(0), 20);
    QCOMPARE(buffer.slot(1), 30);
    QCOMPARE(buffer.slot(2), 40);
    buffer.append(50);
    QCOMPARE(buffer.slot(2), 50);
    buffer.resize(4);
    QCOMPARE(buffer.filled(), 2);
    QCOMPARE(buffer.NextSlot(), 3);

    const auto chart = smallChart();
    for (int n = 0; n < 100; ++n)
        chart->NextPoint(n);
    QVERIFY(chart->setNumberOfPoints(10));
    chart->NextPoint(7);
    QCOMPARE(chart->pointBuffer().capacity(), 10);
    QCOMPARE(chart->pointBuffer().slot(10), 7);
    QCOMPARE(chart->pointBuffer().slot(9), 99);
}

void tst_ucHistogram::pointCountsAboveTheLimitAreRefused()
{
    ucHistogram chart;
    QVERIFY(!chart.setNumberOfPoints(2000000000));
    QVERIFY(!chart.setNumberOfPoints(ucHistogram::kMaxNumberOfPoints + 1));
    QCOMPARE(chart.NumberOfPoints(), 100);
    QCOMPARE(chart.pointBuffer().capacity(), 100);
    QVERIFY(chart.setNumberOfPoints(ucHistogram::kMaxNumberOfPoints));
    QCOMPARE(chart.pointBuffer().capacity(), ucHistogram::kMaxNumberOfPoints);

    // A stored count beyond the limit loads as the default, like any value out of its range.
    chart.ReadProperties(PropertyBag{{"NumberOfPoints", 2000000000}});
    QCOMPARE(chart.NumberOfPoints(), 100);
    QCOMPARE(chart.pointBuffer().capacity(), 100);
}

void tst_ucHistogram::writesWaitForTheNextResizeOrRedraw()
{
    const auto chart = smallChart();
    chart->Refresh();
    QVERIFY(chart->setGridTickVertical(50));
    QCOMPARE(chart->spacings().RowSpacing, 225);
    (void)chart->setGridColour(0x0000FF);
    QCOMPARE(face(*chart).pixelColor(50, 45), kGrid);
    chart->Resize();
    QCOMPARE(chart->spacings().RowSpacing, 450);
    chart->Refresh();
    QCOMPARE(face(*chart).pixelColor(50, 30), QColor(255, 0, 0));
    QCOMPARE(face(*chart).pixelColor(50, 45), kBack);
}

void tst_ucHistogram::refreshRepeatsThePictureAndCarriesThePenWidthToTheGrid()
{
    const auto chart = smallChart();
    for (int n = 0; n < 40; ++n)
        chart->NextPoint(n);
    const QImage once = chart->picHist();
    chart->Refresh();
    QCOMPARE(chart->picHist(), once);

    const auto wide = smallChart(3);
    QCOMPARE(face(*wide).pixelColor(50, 44), kBack); // first redraw: grid 1 pixel wide
    wide->Refresh();
    QCOMPARE(face(*wide).pixelColor(50, 44), kGrid); // later ones: as wide as the data line
    QCOMPARE(face(*wide).pixelColor(50, 46), kGrid);
}

void tst_ucHistogram::gridTicksConvertOrFail()
{
    ucHistogram chart;
    QVERIFY(chart.setGridTickHorizontal(QStringLiteral(" 12.5 ")));
    QCOMPARE(chart.GridTickHorizontal(), QVariant(qint16(12)));
    QVERIFY(chart.setGridTickHorizontal(13.5));
    QCOMPARE(chart.GridTickHorizontal().toInt(), 14);
    QVERIFY(!chart.setGridTickHorizontal(QStringLiteral("abc")));
    QVERIFY(!chart.setGridTickVertical(40000));
    QCOMPARE(chart.GridTickHorizontal().toInt(), 14);
    QCOMPARE(chart.GridTickVertical().toInt(), 25);
}

void tst_ucHistogram::propertyStoreRoundTrip()
{
    ucHistogram chart;
    PropertyBag bag;
    chart.WriteProperties(bag);
    QCOMPARE(bag.size(), 0);

    QVERIFY(chart.setBackColor(0x00FF8080));
    chart.setMax(1200);
    QVERIFY(chart.setNumberOfPoints(1700));
    chart.WriteProperties(bag);
    QCOMPARE(bag.size(), 3);
    QVERIFY(bag.contains(QStringLiteral("backcolor")));

    ucHistogram copy;
    copy.ReadProperties(bag);
    QCOMPARE(copy.BackColor(), 0x00FF8080u);
    QCOMPARE(copy.Max(), 1200);
    QCOMPARE(copy.NumberOfPoints(), 1700);
    QCOMPARE(copy.pointBuffer().capacity(), 1700);
    QCOMPARE(copy.GridTickVertical().toInt(), 25);

    copy.ReadProperties(PropertyBag{{"MAX", 500}, {"gridTICKvertical", "40"}});
    QCOMPARE(copy.Max(), 500);
    QCOMPARE(copy.GridTickVertical().toInt(), 40);
    QCOMPARE(copy.BackColor(), quint32(SystemColor::ButtonText));
    QCOMPARE(copy.palette().color(QPalette::Window), *OleTranslateColor(SystemColor::ButtonText));
}

void tst_ucHistogram::everyPropertyIsStoredUnderItsName_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::newRow("Appearance") << QVariant(qint16(0));
    QTest::newRow("BorderStyle") << QVariant(qint16(0));
    QTest::newRow("DrawWidth") << QVariant(qint16(3));
    QTest::newRow("GridTickHorizontal") << QVariant(qint16(-7));
    QTest::newRow("GridTickVertical") << QVariant(qint16(32767));
    QTest::newRow("NumberOfPoints") << QVariant(qint32(1700));
    QTest::newRow("BackColor") << QVariant(quint32(0x80000005));
    QTest::newRow("GridColour") << QVariant(quint32(0xFFFFFFFF));
    QTest::newRow("Max") << QVariant(qint32(-1200));
    QTest::newRow("ForeColor") << QVariant(quint32(0x00123456));
}

void tst_ucHistogram::everyPropertyIsStoredUnderItsName()
{
    QFETCH(QVariant, value);
    const QByteArray name = QTest::currentDataTag();
    ucHistogram chart;
    QSignalSpy changed(&chart, &ucHistogram::PropertyChanged);
    QVERIFY(chart.setProperty(name, value));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toString(), QString::fromLatin1(name));
    PropertyBag bag;
    chart.WriteProperties(bag);
    QCOMPARE(bag.names(), QStringList{QString::fromLatin1(name)});

    ucHistogram copy;
    copy.ReadProperties(bag);
    QCOMPARE(copy.property(name).toLongLong(), value.toLongLong());
}

void tst_ucHistogram::storedColoursLoadSignedOrUnsigned_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<quint32>("loaded");
    QTest::newRow("system colour, signed")
        << QStringLiteral("GridColour") << QVariant(qint32(0x8000000F)) << 0x8000000Fu;
    QTest::newRow("system colour, unsigned")
        << QStringLiteral("GridColour") << QVariant(quint32(0x8000000F)) << 0x8000000Fu;
    QTest::newRow("all bits, signed") << QStringLiteral("ForeColor") << QVariant(-1) << 0xFFFFFFFFu;
    QTest::newRow("back, signed") << QStringLiteral("BackColor") << QVariant(qint32(0x80000005))
                                  << 0x80000005u;
    QTest::newRow("beyond 32 bits")
        << QStringLiteral("ForeColor") << QVariant(qint64(0x100000000)) << 0x00FF00u;
    QTest::newRow("below signed 32 bits")
        << QStringLiteral("GridColour") << QVariant(qint64(-0x80000001LL)) << 0x008000u;
}

void tst_ucHistogram::storedColoursLoadSignedOrUnsigned()
{
    QFETCH(QString, name);
    QFETCH(QVariant, stored);
    QFETCH(quint32, loaded);
    ucHistogram chart;
    chart.ReadProperties(PropertyBag{{name, stored}});
    QCOMPARE(chart.property(name.toLatin1()).value<quint32>(), loaded);
}

void tst_ucHistogram::zeroAndTinySpacingsDoNotHangOrCrash()
{
    const auto chart = smallChart();
    const ChartSpacings before = chart->spacings();
    chart->setMax(0);
    QVERIFY(chart->setGridTickVertical(0));
    QVERIFY(chart->setNumberOfPoints(0));
    chart->Resize();
    QCOMPARE(chart->spacings().PointStep, before.PointStep);
    QCOMPARE(chart->spacings().ColumnSpacing, before.ColumnSpacing);
    QCOMPARE(chart->spacings().RowSpacing, before.RowSpacing);
    chart->NextPoint(0);
    chart->Refresh();

    chart->setMax(1000000);
    QVERIFY(chart->setNumberOfPoints(100000));
    QVERIFY(chart->setGridTickVertical(1));
    chart->Resize();
    QCOMPARE(chart->spacings().ColumnSpacing, 0);
    QCOMPARE(chart->spacings().RowSpacing, 0);
    for (int n = 0; n < 10; ++n)
        chart->NextPoint(n);
    QVERIFY(ChartGeometry::columnLines(1000, 0).isEmpty());
    QVERIFY(ChartGeometry::rowLines(1000, -3).isEmpty());
}

void tst_ucHistogram::lineRasterDrawsAndClips()
{
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(kBack);
    const QRgb yellow = kLine.rgb();
    drawPolyline(image, {{2, 2}, {6, 2}, {6, 5}, {9, 8}}, yellow);
    for (const QPoint lit : {QPoint(2, 2), QPoint(4, 2), QPoint(6, 2), QPoint(6, 4), QPoint(6, 5),
             QPoint(7, 6), QPoint(8, 7), QPoint(9, 8)})
        QVERIFY2(image.pixel(lit) == yellow,
            qPrintable(QStringLiteral("%1,%2").arg(lit.x()).arg(lit.y())));
    for (const QPoint dark :
        {QPoint(1, 2), QPoint(7, 2), QPoint(5, 3), QPoint(7, 5), QPoint(10, 9)})
        QCOMPARE(image.pixel(dark), kBack.rgb());

    // Segments reaching far outside are clipped, not walked pixel by pixel.
    image.fill(kBack);
    drawPolyline(image, {{-2000000000, 4}, {2000000000, 4}, {2000000000, -2000000000}}, yellow);
    QCOMPARE(image.pixel(0, 4), yellow);
    QCOMPARE(image.pixel(19, 4), yellow);
    QCOMPARE(image.pixel(10, 3), kBack.rgb());
    drawPolyline(image, {{-50, -50}, {-10, -40}}, qRgb(255, 0, 0));
    drawPolyline(image, {{5, 5}}, qRgb(255, 0, 0));
    QCOMPARE(image.pixel(5, 5), kBack.rgb());
}

/// A chart fed thousands of random samples, through filling, scrolling, a pause, property
/// changes and a resize, shows after each checked sample the canvas and face of a chart that
/// redraws everything from the same samples.
void tst_ucHistogram::redrawingOnlyTheLineMatchesAFullRedraw()
{
    const PropertyBag settings{{"NumberOfPoints", 300}, {"Max", 1000}, {"GridTickVertical", 100},
        {"GridTickHorizontal", 20}, {"BackColor", 0}, {"ForeColor", 0x00FFFF}};
    ucHistogram live;
    ucHistogram full;
    for (ucHistogram *chart : {&live, &full}) {
        chart->ReadProperties(settings);
        chart->resize(200, 80);
        chart->show();
    }
    QRandomGenerator random(14);
    qint32 value = 500;
    int checked = 0;
    int firstDifferent = -1;
    const auto feed = [&](int count, bool still) {
        for (int n = 0; n < count && firstDifferent < 0; ++n) {
            if (!still)
                value = random.bounded(8) == 0 ? random.bounded(-50, 1100)
                                               : value + random.bounded(-40, 41);
            live.NextPoint(value);
            full.NextPoint(value);
            if (n % 7 != 0)
                continue;
            full.Resize(); // forgets the drawn line: the next redraw starts from scratch
            full.Refresh();
            if (live.picHist() != full.picHist())
                firstDifferent = checked;
            ++checked;
        }
    };
    feed(1000, false); // fills at 300, then scrolls
    QVERIFY(live.pointBuffer().isFull());
    live.Refresh(); // paused: nothing new, redrawn as it is
    feed(400, true); // the same value over and over: a flat line scrolling in
    feed(300, false);
    for (ucHistogram *chart : {&live, &full}) {
        (void)chart->setForeColor(0x0000FF);
        chart->setGridColour(0xFF0000);
    }
    feed(300, false);
    // Max together with a resize: the reference's resize would take a new Max's row spacing.
    for (ucHistogram *chart : {&live, &full}) {
        chart->setMax(1200);
        chart->resize(237, 91);
    }
    feed(1000, false);
    QCOMPARE(firstDifferent, -1);
    QCOMPARE(checked, 430);
    QCOMPARE(face(live), face(full));
}

/// The history changes nothing in the live view: with it on, the canvas is the one drawn
/// without it, through filling, scrolling, refused samples and a trip through other views.
void tst_ucHistogram::liveViewIsTheSameWithTheHistoryOn()
{
    const auto plain = smallChart();
    const auto recording = smallChart();
    recording->setHistoryEnabled(true);
    QRandomGenerator random(16);
    qint64 accepted = 0;
    const auto feed = [&](int count) {
        for (int n = 0; n < count; ++n) {
            const qint32 value = random.bounded(-20, 110); // above 100 is refused
            accepted += value <= 100 ? 1 : 0;
            plain->NextPoint(value);
            recording->NextPoint(value, n);
            if (n % 9 == 0 && plain->picHist() != recording->picHist())
                return false;
        }
        return plain->picHist() == recording->picHist();
    };
    QVERIFY(feed(150));
    plain->zoomIn(); // nothing to view without the history
    QVERIFY(plain->view().isLive());
    recording->zoomIn();
    QVERIFY(!recording->view().isLive());
    QVERIFY(plain->picHist() != recording->picHist());
    for (int n = 0; n < 20; ++n) {
        plain->NextPoint(n);
        recording->NextPoint(n);
    }
    recording->moveLeft();
    QVERIFY(!recording->view().isFollowing());
    for (int n = 0; n < 10; ++n) {
        plain->NextPoint(n);
        recording->NextPoint(n);
    }
    recording->resetView();
    QCOMPARE(recording->picHist(), plain->picHist());
    QVERIFY(feed(150));
    QVERIFY(recording->pointBuffer().isFull());
    QCOMPARE(recording->history()->count(), accepted + 30);
    QCOMPARE(face(*recording), face(*plain));
}

/// A view over eight samples a pixel column draws each column from its lowest to its highest
/// sample, so a single high sample among low ones still shows.
void tst_ucHistogram::compressedViewKeepsAOneSampleSpike()
{
    const auto chart = smallChart();
    chart->resize(100, 60); // 100 columns shown
    chart->setHistoryEnabled(true);
    for (int n = 0; n < 800; ++n)
        chart->NextPoint(n == 403 ? 100 : 10);
    QSignalSpy changed(chart.get(), &ucHistogram::viewChanged);
    for (int n = 0; n < 4; ++n)
        chart->compress();
    QCOMPARE(changed.count(), 3);
    QCOMPARE(chart->view().across(), 800);
    const QImage image = face(*chart);
    // Samples 400 to 407 share column 50; 100 is drawn on row 0, 10 on row 53.
    QCOMPARE(image.pixelColor(50, 0), kLine);
    QCOMPARE(image.pixelColor(50, 53), kLine);
    QCOMPARE(image.pixelColor(50, 30), kLine);
    for (const int column : {48, 52})
        QVERIFY2(image.pixelColor(column, 0) != kLine, QByteArray::number(column));
    QCOMPARE(image.pixelColor(10, 53), kLine);
}

void tst_ucHistogram::sampleAtFindsTheSampleDrawnThere()
{
    const auto chart = smallChart();
    chart->resize(100, 60);
    QVERIFY(!chart->sampleAt(QPoint(50, 30)));
    chart->setHistoryEnabled(true);
    for (qint32 n = 0; n < 10; ++n)
        chart->NextPoint(n, 1000 + n);
    // The newest of ten samples lies in face column 3; right of it no sample is named.
    QCOMPARE(chart->sampleAt(QPoint(3, 30))->stamp, 1009);
    QVERIFY(!chart->sampleAt(QPoint(50, 30)));
    chart->clearHistory();
    for (qint32 n = 0; n < 300; ++n)
        chart->NextPoint(n % 90, 1000 + n);
    const auto indexAt = [&](int x) {
        const std::optional<HistorySample> sample = chart->sampleAt(QPoint(x, 30));
        if (!sample)
            return qint64(-1);
        const qint64 index = sample->stamp - 1000;
        return sample->value == index % 90 ? index : qint64(-2);
    };
    // Live: 100 points 15 twips apart, slot j in canvas column j + 1, face column j - 7.
    QCOMPARE(chart->spacings().PointStep, 15);
    for (const int x : {0, 50, 93})
        QCOMPARE(indexAt(x), 206 + x);

    // 50 samples on 100 columns: sample q in column 2q + 1, a column between two samples
    // takes the newer.
    chart->stretch();
    QCOMPARE(chart->view().across(), 50);
    for (int x = 0; x < 100; ++x)
        QCOMPARE(indexAt(x), 250 + x / 2);
    chart->moveLeft();
    QCOMPARE(indexAt(0), 225);
    QCOMPARE(indexAt(99), 274);
    QVERIFY(!chart->sampleAt(QPoint(100, 30)));
    QVERIFY(!chart->sampleAt(QPoint(-1, 30)));
}

/// A view other than the live one says which it is and what it spans in its top right corner;
/// the live view stays as it always was.
void tst_ucHistogram::viewCaptionShowsOnlyWhileNotLive()
{
    const auto captioned = smallChart();
    const auto bare = smallChart();
    captioned->setViewCaptions(QStringLiteral("F %1–%2"), QStringLiteral("H %1–%2"));
    for (ucHistogram *chart : {captioned.get(), bare.get()}) {
        chart->setHistoryEnabled(true);
        for (qint32 n = 0; n < 300; ++n)
            chart->NextPoint(50, 10 * n); // a sample a second
    }
    QCOMPARE(face(*captioned), face(*bare));
    QVERIFY(captioned->viewCaption().isEmpty());

    // On screen the corner is repainted too, though the line alone would not reach it.
    QVERIFY(QTest::qWaitForWindowExposed(captioned.get()));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    const PaintedRegion painted(*captioned);
    captioned->zoomIn();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    QVERIFY(painted.region.contains(QPoint(captioned->width() - 6, 6)));
    bare->zoomIn();
    QCOMPARE(captioned->viewCaption(), QStringLiteral("F 200.0–299.0"));
    const QImage with = face(*captioned);
    const QImage without = face(*bare);
    int differing = 0;
    int lowest = 0;
    for (int y = 0; y < with.height(); ++y) {
        for (int x = 0; x < with.width(); ++x) {
            if (with.pixel(x, y) != without.pixel(x, y)) {
                ++differing;
                lowest = y;
            }
        }
    }
    QVERIFY(differing > 20);
    QVERIFY(lowest < 30); // above the line, which is not covered
    captioned->moveLeft();
    QCOMPARE(captioned->viewCaption(), QStringLiteral("H 150.0–249.0"));
    captioned->resetView();
    bare->resetView();
    QCOMPARE(face(*captioned), face(*bare));
}

void tst_ucHistogram::heldViewIsDrawnAgainOnceItsCanvasWasBlanked_data()
{
    QTest::addColumn<bool>("propertyLoad");
    QTest::newRow("resize") << false;
    QTest::newRow("property load") << true;
}

/// A view holding an earlier place is not redrawn for new samples, except when a resize or a
/// property load has blanked its canvas: then the next sample draws it again.
void tst_ucHistogram::heldViewIsDrawnAgainOnceItsCanvasWasBlanked()
{
    QFETCH(bool, propertyLoad);
    const auto chart = smallChart();
    chart->setHistoryEnabled(true);
    for (qint32 n = 0; n < 300; ++n)
        chart->NextPoint(50, n);
    chart->moveLeft();
    QVERIFY(!chart->view().isFollowing());
    const auto lineShown = [&chart] { return face(*chart).pixelColor(10, 30) == kLine; };
    QVERIFY(lineShown());
    if (propertyLoad)
        chart->ReadProperties(smallChartSettings());
    else
        chart->Resize();
    QVERIFY(!lineShown());
    chart->NextPoint(50, 300);
    QVERIFY(lineShown());
}

void tst_ucHistogram::overlayOfTheSameSamplesCoversTheLinesPixels_data()
{
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<int>("samples");
    QTest::addColumn<int>("pauseAt"); // where the stamps jump by 50, as after "暂停"; -1 for none
    QTest::newRow("live, filling") << QStringList{} << 60 << -1;
    QTest::newRow("live, scrolling") << QStringList{} << 240 << -1;
    QTest::newRow("live, a pause in sampling") << QStringList{} << 240 << 150;
    QTest::newRow("zoomed in and moved up") << QStringList{"zoomIn", "moveUp"} << 240 << -1;
    QTest::newRow("compressed to the whole run")
        << QStringList{"compress", "compress"} << 400 << 120;
    QTest::newRow("stretched and moved back")
        << QStringList{"stretch", "moveLeft", "moveLeft"} << 240 << -1;
    QTest::newRow("zoomed while the run is shorter than the width")
        << QStringList{"zoomIn"} << 70 << -1;
}

/// Drawn from the same samples, an overlay lands on exactly the pixels of the chart's own line,
/// whatever the view; the canvas under it does not change.
void tst_ucHistogram::overlayOfTheSameSamplesCoversTheLinesPixels()
{
    QFETCH(QStringList, actions);
    QFETCH(int, samples);
    QFETCH(int, pauseAt);
    const auto chart = smallChart();
    chart->setHistoryEnabled(true);
    QRandomGenerator random(24);
    ChartOverlay overlay;
    qint32 value = 50;
    for (int n = 0; n < samples; ++n) {
        value = std::clamp(value + random.bounded(-9, 10), 0, 100);
        const qint64 stamp = n + (pauseAt >= 0 && n >= pauseAt ? 50 : 0);
        chart->NextPoint(value, stamp);
        overlay.samples.push_back({value, stamp});
    }
    const QMap<QString, void (ucHistogram::*)()> views{{"zoomIn", &ucHistogram::zoomIn},
        {"moveUp", &ucHistogram::moveUp}, {"compress", &ucHistogram::compress},
        {"stretch", &ucHistogram::stretch}, {"moveLeft", &ucHistogram::moveLeft}};
    for (const QString &action : actions)
        (chart.get()->*views.value(action))();
    QCOMPARE(chart->view().isLive(), actions.isEmpty());
    const QImage canvas = chart->picHist();
    chart->setOverlays({overlay});
    QCOMPARE(chart->picHist(), canvas);
    const QList<QPoint> line = drawnOnFace(canvas, false);
    QVERIFY(line.size() > 50);
    QCOMPARE(drawnOnFace(chart->overlayLayer(), true), line);
    QCOMPARE(chart->overlayLayer().pixelColor(line.front()), ChartOverlay::colour(0));
    // A view change draws it again for the new view.
    chart->zoomOut();
    QCOMPARE(drawnOnFace(chart->overlayLayer(), true), drawnOnFace(chart->picHist(), false));
}

/// Run time 0 of an earlier run lies where the live run's does: the earlier run's curve goes on
/// ahead of the newest sample, and on the face it covers the live line where the two agree.
void tst_ucHistogram::overlayRunsAheadOfTheLiveLineFromTheRunsStart()
{
    const auto chart = smallChart();
    chart->setHistoryEnabled(true);
    ChartOverlay earlier;
    earlier.legend = QStringLiteral("09:30:05 · 60.0 ℃");
    // The earlier run's lines came every 5 samples; the chart held each value until the next.
    for (qint64 stamp = 0; stamp < 90; stamp += 5)
        earlier.samples.push_back({qint32(20 + stamp / 2), stamp});
    for (qint64 stamp = 0; stamp < 40; ++stamp)
        chart->NextPoint(20 + qint32(stamp / 5 * 5 / 2), stamp);
    chart->setOverlays({earlier});
    const QList<QPoint> line = drawnOnFace(chart->picHist(), false);
    const QList<QPoint> overlay = drawnOnFace(chart->overlayLayer(), true);
    const int newest = std::max_element(line.cbegin(), line.cend(), [](QPoint a, QPoint b) {
        return a.x() < b.x();
    })->x();
    QList<QPoint> overlayToNewest;
    int overlayRight = 0;
    for (const QPoint &point : overlay) {
        if (point.y() > 20) // below the legend
            overlayRight = std::max(overlayRight, point.x());
        if (point.x() <= newest && point.y() > 20)
            overlayToNewest.append(point);
    }
    QList<QPoint> lineBelowLegend;
    std::copy_if(line.cbegin(), line.cend(), std::back_inserter(lineBelowLegend),
        [](QPoint point) { return point.y() > 20; });
    QCOMPARE(overlayToNewest, lineBelowLegend);
    // Its last sample, stamped 85, in slot 86: (86 + 1) × 17 twips.
    QCOMPARE(overlayRight, (87 * 17 + 7) / 15);
    // The legend: the overlay's colour in the top left corner.
    int legendPixels = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 8; x < 60; ++x)
            legendPixels += chart->overlayLayer().pixelColor(x, y) == ChartOverlay::colour(0);
    }
    QVERIFY(legendPixels > 20);
    QCOMPARE(face(*chart).pixelColor(overlay.back() - QPoint(8, 0)), ChartOverlay::colour(0));
}

/// With overlays set and cleared the chart is what it was; while set, nothing of them is in the
/// canvas, and new samples and clearing the history keep them.
void tst_ucHistogram::overlaysLeaveTheCanvasAndGoWithoutATrace()
{
    const auto overlaid = smallChart();
    const auto plain = smallChart();
    ChartOverlay overlay{{{30, 0}, {60, 50}, {90, 100}}, QStringLiteral("run")};
    for (ucHistogram *chart : {overlaid.get(), plain.get()}) {
        chart->setHistoryEnabled(true);
        for (int n = 0; n < 150; ++n)
            chart->NextPoint(n % 70, n);
    }
    overlaid->setOverlays({overlay, overlay});
    QVERIFY(!overlaid->overlayLayer().isNull());
    QVERIFY(face(*overlaid) != face(*plain));
    for (ucHistogram *chart : {overlaid.get(), plain.get()}) {
        chart->NextPoint(5, 150);
        chart->compress();
    }
    QCOMPARE(overlaid->picHist(), plain->picHist());
    overlaid->clearHistory();
    plain->clearHistory();
    QCOMPARE(overlaid->overlays().size(), 2);
    QVERIFY(drawnOnFace(overlaid->overlayLayer(), true).size() > 50);
    overlaid->clearOverlays();
    QVERIFY(overlaid->overlayLayer().isNull());
    QCOMPARE(face(*overlaid), face(*plain));
    overlaid->setOverlays({});
    QVERIFY(overlaid->overlays().isEmpty());
}

void tst_ucHistogram::overlayBreaksAtAGap_data()
{
    QTest::addColumn<QStringList>("actions");
    QTest::newRow("live") << QStringList{};
    QTest::newRow("compressed") << QStringList{"compress"};
    QTest::newRow("stretched and moved back") << QStringList{"stretch", "moveLeft"};
}

/// A run whose link was lost is drawn up to the loss and again from its next sample, as two
/// runs would be, with nothing across the gap.
void tst_ucHistogram::overlayBreaksAtAGap()
{
    QFETCH(QStringList, actions);
    const auto chart = smallChart();
    chart->setHistoryEnabled(true);
    for (qint64 stamp = 0; stamp < 150; ++stamp)
        chart->NextPoint(qint32(30 + stamp % 40), stamp);
    const QMap<QString, void (ucHistogram::*)()> views{{"compress", &ucHistogram::compress},
        {"stretch", &ucHistogram::stretch}, {"moveLeft", &ucHistogram::moveLeft}};
    for (const QString &action : actions)
        (chart.get()->*views.value(action))();
    ChartOverlay before;
    ChartOverlay after;
    ChartOverlay lost;
    for (qint64 stamp = 0; stamp < 95; stamp += 5)
        before.samples.push_back({qint32(20 + stamp / 2), stamp});
    // Held up to the loss and no further.
    before.samples.push_back({before.samples.back().value, 96});
    for (qint64 stamp = 112; stamp < 140; stamp += 4)
        after.samples.push_back({qint32(90 - stamp / 4), stamp});
    lost.samples = before.samples;
    lost.samples.back() = {ChartOverlay::kGap, 97};
    lost.samples.insert(lost.samples.end(), after.samples.cbegin(), after.samples.cend());
    const auto drawn = [&chart](const ChartOverlay &overlay) {
        chart->setOverlays({overlay});
        const QList<QPoint> points = drawnOnFace(chart->overlayLayer(), true);
        return QSet<QPoint>(points.cbegin(), points.cend());
    };
    const QSet<QPoint> apart = drawn(before) | drawn(after);
    QVERIFY(drawn(before).size() > 10);
    QVERIFY(drawn(after).size() > 10);
    QCOMPARE(drawn(lost), apart);
}

QTEST_MAIN(tst_ucHistogram)
#include "tst_uc_histogram.moc"
