#include "morph_display.h"
#include "property_bag.h"

#include <QMetaProperty>
#include <QPainter>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <limits>

namespace {
std::unique_ptr<MorphDisplay> displayOfSize(int width, int height)
{
    auto display = std::make_unique<MorphDisplay>();
    display->resize(width, height);
    display->show();
    return display;
}

QRgb pixel(const MorphDisplay &display, int x, int y)
{
    return display.surface().pixel(x, y);
}

/// A 4 × 2 picture: red, green, blue, white on top; black, grey, yellow, cyan below.
QPixmap smallPicture()
{
    QImage image(4, 2, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255),
        qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(255, 255, 0), qRgb(0, 255, 255)};
    for (int n = 0; n < 8; ++n)
        image.setPixel(n % 4, n / 4, colours[n]);
    return QPixmap::fromImage(image);
}

QPixmap filledPicture(QSize size, const QColor &colour)
{
    QPixmap picture(size);
    picture.fill(colour);
    return picture;
}

/// How many pixels of area, outside except, are not of the colour.
int pixelsOtherThan(
    const MorphDisplay &display, const QRect &area, const QRect &except, QRgb colour)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += !except.contains(x, y) && pixel(display, x, y) != colour ? 1 : 0;
    }
    return count;
}

/// A setting other than the one every theme gives, for each property a theme sets.
PropertyBag awayFromEveryTheme()
{
    return PropertyBag{{"BackAngle", 45.0f}, {"BackColor1", 0x123456}, {"BackColor2", 0x654321},
        {"BackMiddleOut", false}, {"BorderColor", 0x40}, {"BorderWidth", 2},
        {"BurnInColor", 0x111111}, {"BurnInColorNeg", 0x222222}, {"CurveBottomLeft", 3},
        {"CurveBottomRight", 3}, {"CurveTopLeft", 3}, {"CurveTopRight", 3}, {"DecimalSeparator", 0},
        {"InterDigitGap", 9}, {"InterDigitGapExp", 5}, {"InterSegmentGap", 2},
        {"InterSegmentGapExp", 1}, {"NumDigits", 7}, {"NumDigitsExp", 2},
        {"Picture", smallPicture()}, {"PictureMode", 2}, {"SegmentFillStyle", 0},
        {"SegmentHeight", 10}, {"SegmentHeightExp", 7}, {"SegmentLitColor", 0x333333},
        {"SegmentLitColorNeg", 0x444444}, {"SegmentStyleExp", 0}, {"SegmentWidth", 6},
        {"SegmentWidthExp", 5}, {"ShowBurnIn", false}, {"ShowExponent", false},
        {"ShowThousandsSeparator", true}, {"ThousandsGrouping", 2}, {"ThousandsSeparator", 1},
        {"XOffset", 9}, {"XOffsetExp", 300}, {"YOffset", 2}, {"YOffsetExp", 2}};
}
} // namespace

/// The display's background, border, shape, properties, persistence and themes.
class tst_MorphDisplayLook : public QObject
{
    Q_OBJECT

private slots:
    void gradientFillsInsideTheRing();
    void roundedCornerCutsTheWindowAndTheRingFollows();
    void noBorder();
    void pictureModes();
    void backgroundChangeReachesEveryCell_data();
    void backgroundChangeReachesEveryCell();
    void surfaceIsFilledBeforeThePicture_data();
    void surfaceIsFilledBeforeThePicture();
    void pictureBackgroundHoldsNoDigits();
    void themeThreeIsLightWithBlackTrapezoids();
    void everyThemeSetsItsLook_data();
    void everyThemeSetsItsLook();
    void defaultsSaveNothingAndAnEmptyStoreGivesTheNewLook();
    void roundTripAndOddWidths();
    void oversizedLoadKeepsTheLastGoodLayout_data();
    void oversizedLoadKeepsTheLastGoodLayout();
    void malformedStoredValuesAreReported_data();
    void malformedStoredValuesAreReported();
    void settersTellTheHost();
    void everyPropertyIsStoredUnderItsName_data();
    void everyPropertyIsStoredUnderItsName();
    void helpTexts();
    void manyChangesKeepTheLookIntact();
};

void tst_MorphDisplayLook::gradientFillsInsideTheRing()
{
    const auto display = displayOfSize(40, 30);
    QVERIFY(display->setValue(QString()));
    QVERIFY(display->setShowBurnIn(false));
    QVERIFY(display->setBackMiddleOut(false));
    QVERIFY(display->setBackColor1(0x0000FF));
    QVERIFY(display->setBackColor2(0xFF0000));
    // 90 degrees: red at the bottom row inside the ring, blue at the top.
    QVERIFY(QColor(pixel(*display, 20, 28)).red() > 240);
    QVERIFY(QColor(pixel(*display, 20, 28)).blue() < 15);
    QVERIFY(QColor(pixel(*display, 20, 1)).blue() > 200);
    QVERIFY(QColor(pixel(*display, 20, 1)).red() < 50);
    QCOMPARE(pixel(*display, 0, 15), qRgb(0, 0, 255)); // the ring keeps its colour
    QVERIFY(display->setBackAngle(0));
    QVERIFY(QColor(pixel(*display, 1, 15)).red() > 200);
    QVERIFY(QColor(pixel(*display, 38, 15)).blue() > 200);
}

void tst_MorphDisplayLook::roundedCornerCutsTheWindowAndTheRingFollows()
{
    const auto display = displayOfSize(100, 40);
    QVERIFY(display->setCurveTopLeft(10));
    const QRegion shape = display->mask();
    QVERIFY(!shape.contains(QPoint(0, 0)));
    QVERIFY(!shape.contains(QPoint(2, 2)));
    QVERIFY(shape.contains(QPoint(5, 5)));
    QVERIFY(shape.contains(QPoint(10, 0)));
    QVERIFY(shape.contains(QPoint(99, 0)));
    // Along the curve the ring is drawn where the window begins.
    QCOMPARE(pixel(*display, 10, 0), qRgb(0, 0, 255));
    QCOMPARE(pixel(*display, 0, 10), qRgb(0, 0, 255));
    QCOMPARE(pixel(*display, 6, 6), qRgb(0, 0, 0));
    QVERIFY(display->setCurveTopLeft(0));
    QVERIFY(display->mask().contains(QPoint(0, 0)));
}

void tst_MorphDisplayLook::noBorder()
{
    const auto display = displayOfSize(60, 30);
    QVERIFY(display->setValue(QString()));
    QVERIFY(display->setShowBurnIn(false));
    QVERIFY(display->setBorderWidth(0));
    QCOMPARE(pixel(*display, 0, 0), qRgb(0, 0, 0));
    QCOMPARE(pixel(*display, 59, 29), qRgb(0, 0, 0));
    QVERIFY(display->setBorderWidth(3));
    QCOMPARE(pixel(*display, 2, 15), qRgb(0, 0, 255));
    QCOMPARE(pixel(*display, 3, 15), qRgb(0, 0, 0));
}

void tst_MorphDisplayLook::pictureModes()
{
    const auto display = displayOfSize(20, 10);
    QVERIFY(display->setValue(QString()));
    QVERIFY(display->setShowBurnIn(false));
    QVERIFY(display->setBorderWidth(0));
    QVERIFY(display->setPicture(smallPicture()));
    // Regular: at its natural size from the top left, the gradient beyond it.
    QCOMPARE(pixel(*display, 0, 0), qRgb(255, 0, 0));
    QCOMPARE(pixel(*display, 3, 1), qRgb(0, 255, 255));
    QCOMPARE(pixel(*display, 10, 5), qRgb(0, 0, 0));
    // Tiled: repeated across the whole face.
    QVERIFY(display->setPictureMode(2));
    QCOMPARE(pixel(*display, 4, 0), qRgb(255, 0, 0));
    QCOMPARE(pixel(*display, 9, 3), qRgb(128, 128, 128));
    // Stretched: four columns over twenty pixels.
    QVERIFY(display->setPictureMode(1));
    QCOMPARE(pixel(*display, 2, 1), qRgb(255, 0, 0));
    QCOMPARE(pixel(*display, 17, 8), qRgb(0, 255, 255));
    // Digits are erased to the picture, not to the gradient.
    QVERIFY(display->setValue(QStringLiteral("8")));
    QVERIFY(display->setValue(QString()));
    QCOMPARE(pixel(*display, 17, 8), qRgb(0, 255, 255));
    QVERIFY(display->setPicture(QPixmap()));
    QCOMPARE(pixel(*display, 2, 1), qRgb(0, 0, 0));
}

void tst_MorphDisplayLook::backgroundChangeReachesEveryCell_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("BackColor1") << QByteArray("BackColor1") << QVariant::fromValue(0x00FF00u);
    QTest::newRow("BackColor2") << QByteArray("BackColor2") << QVariant::fromValue(0x00FF00u);
    QTest::newRow("BackAngle") << QByteArray("BackAngle") << QVariant::fromValue(0.0f);
    QTest::newRow("BackMiddleOut") << QByteArray("BackMiddleOut") << QVariant(true);
    QTest::newRow("resize") << QByteArray("size") << QVariant(QSize(403, 45));
}

/// The hollows of the cells show the new background, as on a display loaded with it.
void tst_MorphDisplayLook::backgroundChangeReachesEveryCell()
{
    QFETCH(QByteArray, property);
    QFETCH(QVariant, value);
    const PropertyBag redToBlue{
        {"BackColor1", 0xFF}, {"BackColor2", 0xFF0000}, {"BackMiddleOut", false}};
    const auto display = displayOfSize(403, 31);
    QVERIFY(display->ReadProperties(redToBlue));
    QVERIFY(display->setProperty(property.constData(), value));

    PropertyBag changed = redToBlue;
    if (property != "size")
        changed.WriteProperty(QString::fromLatin1(property), value, QVariant());
    const auto expected = displayOfSize(display->width(), display->height());
    QVERIFY(expected->ReadProperties(changed));
    // Above and below the middle segment of cells 0, 10 and 19.
    for (const int x : {6 + 5, 6 + 17 * 10 + 5, 6 + 17 * 19 + 5}) {
        for (const int y : {10, 19})
            QCOMPARE(pixel(*display, x, y), pixel(*expected, x, y));
    }
}

void tst_MorphDisplayLook::surfaceIsFilledBeforeThePicture_data()
{
    QTest::addColumn<QPixmap>("picture");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QRect>("covered");
    const QPixmap green = filledPicture(QSize(20, 10), Qt::green);
    QTest::newRow("regular") << green << 0 << QRect(0, 0, 20, 10);
    QTest::newRow("transparent") << filledPicture(QSize(20, 10), Qt::transparent) << 0 << QRect();
    QTest::newRow("unknown mode") << green << 5 << QRect();
}

/// Grown with a picture, the display shows its gradient wherever the picture does not cover.
void tst_MorphDisplayLook::surfaceIsFilledBeforeThePicture()
{
    QFETCH(QPixmap, picture);
    QFETCH(int, mode);
    QFETCH(QRect, covered);
    const auto display = displayOfSize(100, 30);
    QVERIFY(display->setValue(QString()));
    QVERIFY(display->setShowBurnIn(false));
    QVERIFY(display->setBackColor1(0xFF));
    QVERIFY(display->setBackColor2(0xFF));
    QVERIFY(display->setPictureMode(mode));
    QVERIFY(display->setPicture(picture));
    display->resize(180, 50);
    QCOMPARE(pixelsOtherThan(*display, QRect(1, 1, 178, 48), covered, qRgb(255, 0, 0)), 0);
}

void tst_MorphDisplayLook::pictureBackgroundHoldsNoDigits()
{
    const auto display = displayOfSize(120, 40);
    QVERIFY(display->setNumDigits(6));
    QVERIFY(display->setShowBurnIn(false));
    QVERIFY(display->setValue(QStringLiteral("-8.8.8")));
    QVERIFY(display->setPicture(filledPicture(QSize(20, 10), Qt::green)));
    QVERIFY(display->setValue(QString()));
    // Nothing lit is left: the picture at the top left, black elsewhere inside the ring.
    const QRect picture(0, 0, 20, 10);
    QCOMPARE(pixelsOtherThan(*display, QRect(1, 1, 118, 38), picture, qRgb(0, 0, 0)), 0);
    QCOMPARE(pixelsOtherThan(*display, picture.adjusted(1, 1, 0, 0), {}, qRgb(0, 255, 0)), 0);
}

void tst_MorphDisplayLook::themeThreeIsLightWithBlackTrapezoids()
{
    const auto display = displayOfSize(100, 20);
    QVERIFY(display->setTheme(3));
    QCOMPARE(display->size(), QSize(6525 / 15, 570 / 15));
    QCOMPARE(display->SegmentStyle(), int(segTrapezoidal));
    QCOMPARE(display->SegmentHeight(), 12);
    QCOMPARE(display->BackColor1(), 0xE0E0E0u);
    QCOMPARE(pixel(*display, 3, 20), qRgb(0xE0, 0xE0, 0xE0));
    // The default value's last digit, 0, in the last cell: segment a black on top.
    const int lastCell = 1 + 5 + 19 * (12 + 4);
    QCOMPARE(pixel(*display, lastCell + 6, 5), qRgb(0, 0, 0));
    QCOMPARE(pixel(*display, 1 + 5 + 6, 5), qRgb(0xD0, 0xD0, 0xD0)); // a blank cell's burn-in
    QVERIFY(display->setTheme(9));
    QCOMPARE(display->Theme(), 9);
    QCOMPARE(display->SegmentStyle(), int(segTrapezoidal));
}

void tst_MorphDisplayLook::everyThemeSetsItsLook_data()
{
    QTest::addColumn<int>("theme");
    QTest::addColumn<quint32>("back");
    QTest::addColumn<quint32>("lit");
    QTest::addColumn<quint32>("burnIn");
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("heightExp");
    QTest::addColumn<int>("widthExp");
    QTest::addColumn<int>("digitGap");
    QTest::addColumn<int>("digitGapExp");
    QTest::addColumn<int>("segmentGap");
    QTest::addColumn<int>("xOffsetExp");
    QTest::addColumn<QSize>("twips");
    QTest::newRow("1 red hexagons") << 1 << 0x0u << 0xFFu << 0x60u << int(segHexagonal) << 8 << 4
                                    << 5 << 3 << 4 << 2 << 0 << 335 << QSize(5715, 450);
    QTest::newRow("2 large red hexagons") << 2 << 0x0u << 0xFFu << 0x60u << int(segHexagonal) << 12
                                          << 4 << 8 << 4 << 6 << 2 << 1 << 490 << QSize(8355, 630);
    QTest::newRow("3 black trapezoids")
        << 3 << 0xE0E0E0u << 0x0u << 0xD0D0D0u << int(segTrapezoidal) << 12 << 4 << 6 << 3 << 4 << 2
        << 1 << 370 << QSize(6525, 570);
    QTest::newRow("4 large black trapezoids")
        << 4 << 0xE0E0E0u << 0x0u << 0xD0D0D0u << int(segTrapezoidal) << 14 << 4 << 8 << 4 << 6 << 2
        << 1 << 455 << QSize(7875, 630);
    QTest::newRow("5 cyan rectangles")
        << 5 << 0x0u << 0xFFFF00u << 0x505000u << int(segRectangular) << 8 << 3 << 6 << 3 << 6 << 2
        << 0 << 355 << QSize(6045, 465);
    QTest::newRow("6 small yellow rectangles")
        << 6 << 0x0u << 0xFFFFu << 0x5050u << int(segRectangular) << 4 << 2 << 4 << 2 << 4 << 3 << 0
        << 195 << QSize(3525, 300);
}

/// Each theme sets its own look and the settings all themes share, whatever came before.
void tst_MorphDisplayLook::everyThemeSetsItsLook()
{
    QFETCH(int, theme);
    QFETCH(quint32, back);
    QFETCH(quint32, lit);
    QFETCH(quint32, burnIn);
    QFETCH(int, style);
    QFETCH(int, height);
    QFETCH(int, width);
    QFETCH(int, heightExp);
    QFETCH(int, widthExp);
    QFETCH(int, digitGap);
    QFETCH(int, digitGapExp);
    QFETCH(int, segmentGap);
    QFETCH(int, xOffsetExp);
    QFETCH(QSize, twips);
    const auto display = displayOfSize(100, 20);
    QVERIFY(display->ReadProperties(awayFromEveryTheme()));
    QVERIFY(display->setTheme(theme));

    QCOMPARE(display->size(), twips / 15);
    QCOMPARE(display->BackColor1(), back);
    QCOMPARE(display->BackColor2(), back);
    QCOMPARE(display->SegmentLitColor(), lit);
    QCOMPARE(display->SegmentLitColorNeg(), lit);
    QCOMPARE(display->BurnInColor(), burnIn);
    QCOMPARE(display->BurnInColorNeg(), burnIn);
    QCOMPARE(display->SegmentStyle(), style);
    QCOMPARE(display->SegmentHeight(), height);
    QCOMPARE(display->SegmentWidth(), width);
    QCOMPARE(display->SegmentHeightExp(), heightExp);
    QCOMPARE(display->SegmentWidthExp(), widthExp);
    QCOMPARE(display->InterDigitGap(), digitGap);
    QCOMPARE(display->InterDigitGapExp(), digitGapExp);
    QCOMPARE(display->InterSegmentGap(), segmentGap);
    QCOMPARE(display->XOffsetExp(), xOffsetExp);
    QVERIFY(display->Picture().isNull());
    const std::pair<const char *, qlonglong> shared[] = {{"BackAngle", 90}, {"BackMiddleOut", 1},
        {"BorderColor", 0xFF0000}, {"BorderWidth", 1}, {"CurveBottomLeft", 0},
        {"CurveBottomRight", 0}, {"CurveTopLeft", 0}, {"CurveTopRight", 0},
        {"DecimalSeparator", sepPeriod}, {"InterSegmentGapExp", 0}, {"NumDigits", 20},
        {"NumDigitsExp", 4}, {"PictureMode", 0}, {"SegmentFillStyle", fillSolid},
        {"SegmentStyleExp", segRectangular}, {"ShowBurnIn", 1}, {"ShowExponent", 1},
        {"ShowThousandsSeparator", 0}, {"ThousandsGrouping", 3}, {"ThousandsSeparator", sepComma},
        {"XOffset", 5}, {"YOffset", 5}, {"YOffsetExp", 5}};
    for (const auto &[name, value] : shared)
        QVERIFY2(display->property(name).toLongLong() == value, name);
}

void tst_MorphDisplayLook::defaultsSaveNothingAndAnEmptyStoreGivesTheNewLook()
{
    const auto fresh = displayOfSize(403, 31);
    PropertyBag bag;
    fresh->WriteProperties(bag);
    QCOMPARE(bag.size(), 0);

    const auto loaded = displayOfSize(403, 31);
    QVERIFY(loaded->setSegmentStyle(segHexagonal));
    QVERIFY(loaded->setValue(QStringLiteral("42")));
    QVERIFY(loaded->ReadProperties(PropertyBag()));
    QCOMPARE(loaded->SegmentStyle(), int(segRectangular));
    QCOMPARE(loaded->Value(), QStringLiteral("1234567890"));
    QCOMPARE(loaded->surface(), fresh->surface());
}

void tst_MorphDisplayLook::roundTripAndOddWidths()
{
    const auto display = displayOfSize(403, 31);
    QVERIFY(display->setBorderColor(0x40));
    QVERIFY(display->setBackAngle(30.5f));
    QVERIFY(display->setValue(QStringLiteral("abc")));
    QVERIFY(display->setPicture(smallPicture()));
    PropertyBag bag;
    display->WriteProperties(bag);
    QCOMPARE(bag.names().size(), 4);
    QCOMPARE(
        bag.ReadProperty(QStringLiteral("VALUE"), QString()).toString(), QStringLiteral("ABC"));

    const auto copy = displayOfSize(403, 31);
    QVERIFY(copy->ReadProperties(bag));
    QCOMPARE(copy->BorderColor(), 0x40u);
    QCOMPARE(copy->BackAngle(), 30.5f);
    QCOMPARE(copy->Picture().size(), QSize(4, 2));
    QCOMPARE(copy->surface(), display->surface());

    QVERIFY(copy->ReadProperties(
        PropertyBag{{"segmentstyle", 0}, {"SegmentWidth", 3}, {"segmentHEIGHT", 9}}));
    QCOMPARE(copy->SegmentWidth(), 4);
    QCOMPARE(copy->SegmentHeight(), 10);
    QVERIFY(copy->ReadProperties(
        PropertyBag{{"SegmentStyle", 2}, {"SegmentWidth", 3}, {"SegmentHeight", 9}}));
    QCOMPARE(copy->SegmentWidth(), 3);
    QVERIFY(copy->ReadProperties(PropertyBag{{"Theme", 3}}));
    QCOMPARE(copy->Theme(), 3);
    QCOMPARE(copy->SegmentStyle(), int(segRectangular)); // loading never applies a preset
}

void tst_MorphDisplayLook::oversizedLoadKeepsTheLastGoodLayout_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("property");
    QTest::addColumn<qint32>("value");
    const qint32 largest = std::numeric_limits<qint32>::max();
    QTest::newRow("trapezoid height")
        << int(segTrapezoidal) << QStringLiteral("SegmentHeight") << largest;
    QTest::newRow("hexagon width")
        << int(segHexagonal) << QStringLiteral("SegmentWidth") << largest;
    QTest::newRow("too many digits") << int(segRectangular) << QStringLiteral("NumDigits") << 51;
}

/// An oversized stored size is kept as stored, and the display keeps what it showed.
void tst_MorphDisplayLook::oversizedLoadKeepsTheLastGoodLayout()
{
    QFETCH(int, style);
    QFETCH(QString, property);
    QFETCH(qint32, value);
    const auto display = displayOfSize(403, 31);
    const QImage before = display->surface();
    QVERIFY(!display->ReadProperties(PropertyBag{{"SegmentStyle", style}, {property, value}}));
    QCOMPARE(display->property(qPrintable(property)).toLongLong(), qlonglong(value));
    QCOMPARE(display->surface(), before);
}

void tst_MorphDisplayLook::malformedStoredValuesAreReported_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("stored");
    QTest::newRow("digits as text")
        << QStringLiteral("NumDigits") << QVariant(QStringLiteral("abc"));
    QTest::newRow("angle as text") << QStringLiteral("BackAngle") << QVariant(QStringLiteral("x"));
    QTest::newRow("border beyond 16 bits") << QStringLiteral("BorderWidth") << QVariant(70000);
    QTest::newRow("switch as text")
        << QStringLiteral("ShowBurnIn") << QVariant(QStringLiteral("abc"));
}

/// A value that cannot be read is named and taken as the default; the others still load.
void tst_MorphDisplayLook::malformedStoredValuesAreReported()
{
    QFETCH(QString, property);
    QFETCH(QVariant, stored);
    const auto fresh = displayOfSize(403, 31);
    const auto display = displayOfSize(403, 31);
    QStringList unread;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(property));
    QVERIFY(!display->ReadProperties(
        PropertyBag{{property, stored}, {"Value", "42"}, {"SegmentLitColor", 0xFF}}, &unread));
    QCOMPARE(unread, QStringList{property});
    QCOMPARE(display->property(qPrintable(property)), fresh->property(qPrintable(property)));
    QCOMPARE(display->Value(), QStringLiteral("42"));
    QCOMPARE(pixel(*display, 6 + 17 * 19 + 5, 5), qRgb(255, 0, 0)); // the 2, in the loaded colour
}

void tst_MorphDisplayLook::settersTellTheHost()
{
    const auto display = displayOfSize(100, 30);
    QSignalSpy changed(display.get(), &MorphDisplay::PropertyChanged);
    QVERIFY(display->setCurveTopRight(4));
    QVERIFY(display->setValue(QStringLiteral("1")));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.at(0).at(0).toString(), QStringLiteral("CurveTopRight"));
    QCOMPARE(changed.at(1).at(0).toString(), QStringLiteral("Value"));
}

void tst_MorphDisplayLook::everyPropertyIsStoredUnderItsName_data()
{
    QTest::addColumn<QVariant>("value");
    const MorphDisplay defaults;
    const QMetaObject &meta = MorphDisplay::staticMetaObject;
    for (int index = meta.propertyOffset(); index < meta.propertyCount(); ++index) {
        const QMetaProperty property = meta.property(index);
        const QVariant initial = property.read(&defaults);
        QVariant changed;
        switch (initial.typeId()) {
        case QMetaType::Float:
            changed = initial.toFloat() + 1.5f;
            break;
        case QMetaType::Bool:
            changed = !initial.toBool();
            break;
        case QMetaType::Short:
            changed = QVariant::fromValue(qint16(initial.toInt() + 2));
            break;
        case QMetaType::Int:
            changed = initial.toInt() + 2;
            break;
        case QMetaType::UInt:
            changed = initial.toUInt() ^ 0x010101u;
            break;
        case QMetaType::QString:
            changed = QStringLiteral("42");
            break;
        default:
            changed = smallPicture();
        }
        QTest::newRow(property.name()) << changed;
    }
}

/// Each generated setter reaches its own stored value, name and key.
void tst_MorphDisplayLook::everyPropertyIsStoredUnderItsName()
{
    QFETCH(QVariant, value);
    const QByteArray name = QTest::currentDataTag();
    const auto display = displayOfSize(100, 30);
    QSignalSpy changed(display.get(), &MorphDisplay::PropertyChanged);
    QVERIFY(display->setProperty(name, value));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toString(), QString::fromLatin1(name));
    PropertyBag bag;
    display->WriteProperties(bag);
    QCOMPARE(bag.names(), QStringList{QString::fromLatin1(name)});

    const auto copy = displayOfSize(100, 30);
    copy->ReadProperties(bag);
    const QVariant loaded = copy->property(name);
    if (value.typeId() == QMetaType::QPixmap)
        QCOMPARE(loaded.value<QPixmap>().size(), value.value<QPixmap>().size());
    else
        QCOMPARE(loaded, value);
}

void tst_MorphDisplayLook::helpTexts()
{
    QCOMPARE(MorphDisplay::PropertyHelp(QStringLiteral("ShowBurnIn")),
        QStringLiteral("If True, unlit segments are displayed with a faint \"burn-in' color to "
                       "simulate a physical LED/LCD display."));
    QCOMPARE(MorphDisplay::PropertyHelp(QStringLiteral("BurnInColor")),
        QStringLiteral("The color of 'burned-in' segments.  If the .ShowBurnIn property is "
                       "True, this helps the display look more like a physical LED/LCD."));
    QCOMPARE(MorphDisplay::PropertyCategory(QStringLiteral("SegmentHeightExp")),
        QStringLiteral("Exponent Value"));
    QVERIFY(MorphDisplay::PropertyHelp(QStringLiteral("NoSuchProperty")).isEmpty());
}

void tst_MorphDisplayLook::manyChangesKeepTheLookIntact()
{
    const auto display = displayOfSize(403, 31);
    for (int n = 0; n < 10000; ++n)
        display->setValue(QString::number(n - 5000));
    for (int n = 0; n < 100; ++n)
        QVERIFY(display->setTheme(n % 6 + 1));
    QVERIFY(display->setTheme(5));
    display->setValue(QStringLiteral("1234567890"));
    const auto fresh = displayOfSize(403, 31);
    QCOMPARE(display->size(), fresh->size());
    QCOMPARE(display->surface(), fresh->surface());
}

QTEST_MAIN(tst_MorphDisplayLook)
#include "tst_morph_display_look.moc"
