#include "morph_display.h"
#include "property_bag.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

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
    void themeThreeIsLightWithBlackTrapezoids();
    void defaultsSaveNothingAndAnEmptyStoreGivesTheNewLook();
    void roundTripAndOddWidths();
    void settersTellTheHost();
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
