#include "gradient.h"
#include "rounded_region.h"

#include <QTest>

#include <algorithm>
#include <array>
#include <set>

namespace {

constexpr quint32 kRed = 0x000000FF;
constexpr quint32 kBlue = 0x00FF0000;
constexpr quint32 kFailedColour = 0xFFFFFFFF;

QRgb screenColour(quint32 bgr)
{
    return qRgb(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

// The gradient's lines along its direction, first line first: rows from the bottom up for a
// vertical ramp, columns from left to right for a horizontal one. Each line must be one colour.
QList<QRgb> rampAlong(const QImage &image, bool vertical)
{
    QList<QRgb> colours;
    const int length = vertical ? image.height() : image.width();
    const int breadth = vertical ? image.width() : image.height();
    for (int step = 0; step < length; ++step) {
        const auto pixelAt = [&](int across) {
            return vertical ? image.pixel(across, image.height() - 1 - step)
                            : image.pixel(step, across);
        };
        const QRgb first = pixelAt(0);
        for (int across = 1; across < breadth; ++across) {
            if (pixelAt(across) != first)
                return {};
        }
        colours.append(first);
    }
    return colours;
}

bool strictlyMonotonic(const QList<int> &values, bool rising)
{
    for (int i = 1; i < values.size(); ++i) {
        if (rising ? values[i] <= values[i - 1] : values[i] >= values[i - 1])
            return false;
    }
    return true;
}

QList<int> channel(const QList<QRgb> &colours, int (*component)(QRgb))
{
    QList<int> values;
    for (const QRgb colour : colours)
        values.append(component(colour));
    return values;
}

} // namespace

class tst_Gradient : public QObject
{
    Q_OBJECT

private slots:
    void defaultsAreUniformlyBlack();
    void emptySizeGivesNullImage_data();
    void emptySizeGivesNullImage();
    void axisRamps_data();
    void axisRamps();
    void halfDegreesRoundToEven_data();
    void halfDegreesRoundToEven();
    void fallingChannelTruncatesTowardZero();
    void singleEntryHalvesEachColour_data();
    void singleEntryHalvesEachColour();
    void failedColourSplitsIntoWhite();
    void middleOutWithOddCount_data();
    void middleOutWithOddCount();
    void obliqueAnglesStayBetweenTheColours_data();
    void obliqueAnglesStayBetweenTheColours();

    void roundedCorners_data();
    void roundedCorners();
    void topLeftCurveKeepsItsEdges();
    void noCurveGivesThePlainRectangle_data();
    void noCurveGivesThePlainRectangle();
};

void tst_Gradient::defaultsAreUniformlyBlack()
{
    const QImage image = ComputeGradient(40, 25, 0, 0, 90.0f, true);
    QCOMPARE(image.size(), QSize(40, 25));
    QCOMPARE(image.format(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            QCOMPARE(image.pixel(x, y), qRgb(0, 0, 0));
    }
}

void tst_Gradient::emptySizeGivesNullImage_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("no width") << 0 << 10;
    QTest::newRow("no height") << 10 << 0;
    QTest::newRow("negative") << -3 << 5;
}

void tst_Gradient::emptySizeGivesNullImage()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QVERIFY(ComputeGradient(width, height, kRed, kBlue, 90.0f, false).isNull());
}

void tst_Gradient::axisRamps_data()
{
    QTest::addColumn<float>("angle");
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<QRgb>("start");
    QTest::addColumn<QRgb>("end");
    const QRgb red = screenColour(kRed);
    const QRgb blue = screenColour(kBlue);
    QTest::newRow("90 bottom to top") << 90.0f << true << red << blue;
    QTest::newRow("270 top to bottom") << 270.0f << true << blue << red;
    QTest::newRow("-90 like 270") << -90.0f << true << blue << red;
    QTest::newRow("0 left to right") << 0.0f << false << red << blue;
    QTest::newRow("180 right to left") << 180.0f << false << blue << red;
    QTest::newRow("360 like 0") << 360.0f << false << red << blue;
    QTest::newRow("90.4 rounds to 90") << 90.4f << true << red << blue;
}

void tst_Gradient::axisRamps()
{
    QFETCH(float, angle);
    QFETCH(bool, vertical);
    QFETCH(QRgb, start);
    QFETCH(QRgb, end);

    // Width and height differ so that a ramp laid along the wrong axis shows in its length.
    const QImage image = ComputeGradient(10, 30, kRed, kBlue, angle, false);
    const QList<QRgb> ramp = rampAlong(image, vertical);
    QCOMPARE(ramp.size(), vertical ? 30 : 10);
    QCOMPARE(ramp.first(), start);
    QCOMPARE(ramp.last(), end);
    QVERIFY(qGreen(ramp.first()) == 0 && qGreen(ramp.last()) == 0);
    const bool blueRises = qBlue(start) < qBlue(end);
    QVERIFY(strictlyMonotonic(channel(ramp, qBlue), blueRises));
    QVERIFY(strictlyMonotonic(channel(ramp, qRed), !blueRises));
}

void tst_Gradient::halfDegreesRoundToEven_data()
{
    QTest::addColumn<float>("angle");
    QTest::addColumn<float>("sameAs");
    QTest::addColumn<float>("otherNeighbour");
    // The direction is counted from 90 degrees, so 44.5 becomes 45.5 and rounds to 46.
    QTest::newRow("44.5") << 44.5f << 44.0f << 45.0f;
    QTest::newRow("45.5") << 45.5f << 46.0f << 45.0f;
    QTest::newRow("-0.5") << -0.5f << 0.0f << -1.0f;
}

void tst_Gradient::halfDegreesRoundToEven()
{
    QFETCH(float, angle);
    QFETCH(float, sameAs);
    QFETCH(float, otherNeighbour);
    const auto gradient = [](float degrees) {
        return ComputeGradient(60, 40, kRed, kBlue, degrees, false);
    };
    QCOMPARE(gradient(angle), gradient(sameAs));
    QVERIFY(gradient(angle) != gradient(otherNeighbour));
}

void tst_Gradient::fallingChannelTruncatesTowardZero()
{
    // Over 30 entries red falls by 255 / 29 = 8.79 per step: truncated, the first step is 8.
    const QImage image = ComputeGradient(10, 30, kRed, kBlue, 90.0f, false);
    QCOMPARE(image.pixel(0, 28), qRgb(247, 0, 8));
}

void tst_Gradient::singleEntryHalvesEachColour_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<float>("angle");
    QTest::newRow("one pixel") << QSize(1, 1) << 90.0f;
    QTest::newRow("one column, horizontal") << QSize(1, 6) << 0.0f;
    QTest::newRow("one row, vertical") << QSize(6, 1) << 90.0f;
}

void tst_Gradient::singleEntryHalvesEachColour()
{
    QFETCH(QSize, size);
    QFETCH(float, angle);
    const QImage image =
        ComputeGradient(size.width(), size.height(), 0x00FFFF01, 0x00FF0101, angle, false);
    QCOMPARE(image.size(), size);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            QCOMPARE(image.pixel(x, y), qRgb(0, 127, 254));
    }
}

void tst_Gradient::failedColourSplitsIntoWhite()
{
    const QImage image = ComputeGradient(12, 4, kFailedColour, 0, 0.0f, false);
    QCOMPARE(image.pixel(0, 0), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(0, 3), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(11, 2), qRgb(0, 0, 0));
}

void tst_Gradient::middleOutWithOddCount_data()
{
    QTest::addColumn<float>("angle");
    QTest::addColumn<bool>("vertical");
    QTest::newRow("90") << 90.0f << true;
    QTest::newRow("0") << 0.0f << false;
    // Both swaps apply here and cancel: the edges stay colour 1.
    QTest::newRow("180") << 180.0f << false;
    QTest::newRow("270") << 270.0f << true;
}

void tst_Gradient::middleOutWithOddCount()
{
    QFETCH(float, angle);
    QFETCH(bool, vertical);

    const int length = 31;
    const QImage image = vertical ? ComputeGradient(9, length, kRed, kBlue, angle, true)
                                  : ComputeGradient(length, 9, kRed, kBlue, angle, true);
    const QList<QRgb> ramp = rampAlong(image, vertical);
    QCOMPARE(ramp.size(), length);
    const int middle = (length - 1) / 2;
    QCOMPARE(ramp.first(), screenColour(kRed));
    QCOMPARE(ramp.at(middle), screenColour(kBlue));
    // One step of 255 / 30 away from red.
    QCOMPARE(ramp.last(), qRgb(247, 0, 8));
    QVERIFY(strictlyMonotonic(channel(ramp.mid(0, middle + 1), qBlue), true));
    QVERIFY(strictlyMonotonic(channel(ramp.mid(middle), qBlue), false));
}

void tst_Gradient::obliqueAnglesStayBetweenTheColours_data()
{
    QTest::addColumn<float>("angle");
    QTest::addColumn<bool>("middleOut");
    QTest::addColumn<bool>("originAtBottom");
    QTest::addColumn<bool>("originIsColour1");
    QTest::newRow("45") << 45.0f << false << true << true;
    QTest::newRow("135") << 135.0f << false << false << false;
    QTest::newRow("270") << 270.0f << false << true << false;
    QTest::newRow("-30") << -30.0f << false << false << true;
    QTest::newRow("400") << 400.0f << false << true << true;
    QTest::newRow("45 middle-out") << 45.0f << true << true << true;
    QTest::newRow("225 middle-out") << 225.0f << true << true << true;
    QTest::newRow("-30 middle-out") << -30.0f << true << false << true;
}

void tst_Gradient::obliqueAnglesStayBetweenTheColours()
{
    QFETCH(float, angle);
    QFETCH(bool, middleOut);
    QFETCH(bool, originAtBottom);
    QFETCH(bool, originIsColour1);

    const QRgb colour1 = screenColour(0x00204080);
    const QRgb colour2 = screenColour(0x00F0C010);
    const QImage image = ComputeGradient(37, 23, 0x00204080, 0x00F0C010, angle, middleOut);
    QCOMPARE(image.size(), QSize(37, 23));

    const auto within = [](int value, int a, int b) {
        return value >= std::min(a, b) && value <= std::max(a, b);
    };
    std::set<QRgb> distinct;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            QVERIFY2(within(qRed(pixel), qRed(colour1), qRed(colour2))
                    && within(qGreen(pixel), qGreen(colour1), qGreen(colour2))
                    && within(qBlue(pixel), qBlue(colour1), qBlue(colour2)),
                qPrintable(QStringLiteral("pixel %1,%2 is #%3")
                               .arg(x)
                               .arg(y)
                               .arg(pixel & 0xFFFFFF, 6, 16, QLatin1Char('0'))));
            distinct.insert(pixel);
        }
    }
    QVERIFY(distinct.size() > 10);

    const QRgb origin = image.pixel(0, originAtBottom ? image.height() - 1 : 0);
    QCOMPARE(origin, originIsColour1 ? colour1 : colour2);
}

void tst_Gradient::roundedCorners_data()
{
    QTest::addColumn<int>("corner");
    QTest::addColumn<QPoint>("cutInside");
    QTest::addColumn<QPoint>("keptInside");
    // Corners in the order top-left, top-right, bottom-left, bottom-right of 0,0,100,40.
    QTest::newRow("top-left") << 0 << QPoint(2, 2) << QPoint(5, 5);
    QTest::newRow("top-right") << 1 << QPoint(98, 1) << QPoint(95, 5);
    QTest::newRow("bottom-left") << 2 << QPoint(1, 38) << QPoint(5, 35);
    QTest::newRow("bottom-right") << 3 << QPoint(98, 38) << QPoint(95, 35);
}

void tst_Gradient::roundedCorners()
{
    QFETCH(int, corner);
    QFETCH(QPoint, cutInside);
    QFETCH(QPoint, keptInside);

    std::array<int, 4> amounts{};
    amounts[corner] = 10;
    const QRegion region =
        RoundedRegion(0, 0, 100, 40, amounts[0], amounts[1], amounts[2], amounts[3]);

    const std::array<QPoint, 4> cornerPixels{
        QPoint(0, 0), QPoint(99, 0), QPoint(0, 39), QPoint(99, 39)};
    for (int other = 0; other < 4; ++other)
        QCOMPARE(region.contains(cornerPixels[other]), other != corner);
    QVERIFY(!region.contains(cutInside));
    QVERIFY(region.contains(keptInside));
    QCOMPARE(region.boundingRect(), QRect(0, 0, 100, 40));
}

void tst_Gradient::topLeftCurveKeepsItsEdges()
{
    const QRegion region = RoundedRegion(0, 0, 100, 40, 10, 0, 0, 0);
    QVERIFY(!region.contains(QPoint(0, 0)));
    QVERIFY(!region.contains(QPoint(2, 2)));
    QVERIFY(region.contains(QPoint(10, 0)));
    QVERIFY(region.contains(QPoint(0, 10)));
    QVERIFY(region.contains(QPoint(5, 5)));
    // Only the corner square is touched.
    QCOMPARE(
        region.subtracted(QRegion(0, 0, 10, 10)), QRegion(0, 0, 100, 40) - QRegion(0, 0, 10, 10));
}

void tst_Gradient::noCurveGivesThePlainRectangle_data()
{
    QTest::addColumn<int>("amount");
    QTest::newRow("zero") << 0;
    QTest::newRow("negative") << -5;
}

void tst_Gradient::noCurveGivesThePlainRectangle()
{
    QFETCH(int, amount);
    const QRegion region = RoundedRegion(5, 7, 25, 17, amount, amount, amount, amount);
    QCOMPARE(region, QRegion(QRect(5, 7, 20, 10)));
    QVERIFY(region.contains(QPoint(5, 7)));
    QVERIFY(region.contains(QPoint(24, 16)));
    QVERIFY(!region.contains(QPoint(25, 10)));
    QVERIFY(!region.contains(QPoint(10, 17)));
    QVERIFY(!region.contains(QPoint(4, 10)));
    QVERIFY(!region.contains(QPoint(10, 6)));
}

QTEST_GUILESS_MAIN(tst_Gradient)
#include "tst_gradient.moc"
