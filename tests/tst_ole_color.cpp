#include "ole_color.h"

#include <QTest>

class tst_OleColor : public QObject
{
    Q_OBJECT

private slots:
    void translatesPlainColours();
    void translatesSystemColoursThroughThePalette();
    void failsForUnknownValues();
};

void tst_OleColor::translatesPlainColours()
{
    QCOMPARE(OleTranslateColor(0x00C0FFFF, QPalette()), QColor(255, 255, 192));
    QCOMPARE(OleTranslateColor(0x00FF8080, QPalette()), QColor(128, 128, 255));
    QCOMPARE(OleTranslateColor(0x00000000, QPalette()), QColor(0, 0, 0));
}

void tst_OleColor::translatesSystemColoursThroughThePalette()
{
    QPalette palette;
    palette.setColor(QPalette::ButtonText, QColor(1, 2, 3));
    palette.setColor(QPalette::Active, QPalette::Highlight, QColor(4, 5, 6));
    palette.setColor(QPalette::Button, QColor(7, 8, 9));
    palette.setColor(QPalette::Shadow, QColor(10, 11, 12));
    QCOMPARE(OleTranslateColor(SystemColor::ButtonText, palette), QColor(1, 2, 3));
    QCOMPARE(OleTranslateColor(SystemColor::Highlight, palette), QColor(4, 5, 6));
    QCOMPARE(OleTranslateColor(SystemColor::ButtonFace, palette), QColor(7, 8, 9));
    QCOMPARE(OleTranslateColor(SystemColor::WindowFrame, palette), QColor(10, 11, 12));
}

void tst_OleColor::failsForUnknownValues()
{
    QVERIFY(!OleTranslateColor(0x80000019, QPalette()));
    QVERIFY(!OleTranslateColor(0x8000FFFF, QPalette()));
    QVERIFY(!OleTranslateColor(0x01000000, QPalette()));
    QVERIFY(!OleTranslateColor(0xFFFFFFFF, QPalette()));
}

QTEST_MAIN(tst_OleColor)
#include "tst_ole_color.moc"
