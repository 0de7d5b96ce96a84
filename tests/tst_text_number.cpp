#include "telemetry/display_format.h"
#include "telemetry/text_number.h"

#include <QTest>

#include <limits>

class tst_TextNumber : public QObject
{
    Q_OBJECT

private slots:
    void toInt16_data();
    void toInt16();
    void toInt32Range();
    void toDouble_data();
    void toDouble();
    void degrees_data();
    void degrees();
    void percentage();
};

void tst_TextNumber::toInt16_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("padded") << " 0585" << true << 585;
    QTest::newRow("blanks around") << "  42  " << true << 42;
    QTest::newRow("tab is not a blank") << "42\t" << false << 0;
    QTest::newRow("line end is not a blank") << "58\r\n" << false << 0;
    QTest::newRow("plus sign") << "+7" << true << 7;
    QTest::newRow("minus sign") << "-052" << true << -52;
    QTest::newRow("half to even, down") << "12.5" << true << 12;
    QTest::newRow("half to even, up") << "13.5" << true << 14;
    QTest::newRow("negative half") << "-2.5" << true << -2;
    QTest::newRow("just above half") << "12.5000001" << true << 13;
    QTest::newRow("below half") << "12.49999" << true << 12;
    QTest::newRow("fraction only") << ".6" << true << 1;
    QTest::newRow("trailing point") << "7." << true << 7;
    QTest::newRow("highest") << "32767" << true << 32767;
    QTest::newRow("lowest") << "-32768" << true << -32768;
    QTest::newRow("rounds past the top") << "32767.5" << false << 0;
    QTest::newRow("out of range") << "40000" << false << 0;
    QTest::newRow("below range") << "-32769" << false << 0;
    QTest::newRow("huge") << "99999999999999999999999" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("blank") << "   " << false << 0;
    QTest::newRow("sign alone") << "-" << false << 0;
    QTest::newRow("point alone") << "." << false << 0;
    QTest::newRow("blank inside") << "05 85" << false << 0;
    QTest::newRow("letters") << "x?.?" << false << 0;
    QTest::newRow("exponent") << "1e3" << false << 0;
    QTest::newRow("grouping") << "1,200" << false << 0;
    QTest::newRow("two points") << "1.2.3" << false << 0;
    QTest::newRow("two signs") << "--5" << false << 0;
    QTest::newRow("mode signal inside") << "0O60" << false << 0;
}

void tst_TextNumber::toInt16()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    const std::optional<qint16> result = TextNumber::toInt16(text);
    QCOMPARE(result.has_value(), ok);
    if (ok)
        QCOMPARE(int(*result), value);
}

void tst_TextNumber::toInt32Range()
{
    QCOMPARE(TextNumber::toInt32(QStringLiteral("40000")), std::optional<qint32>(40000));
    QCOMPARE(TextNumber::toInt32(QStringLiteral("2147483647")), std::optional<qint32>(2147483647));
    QCOMPARE(TextNumber::toInt32(QStringLiteral("-2147483648.4")),
        std::optional<qint32>(-2147483647 - 1));
    QVERIFY(!TextNumber::toInt32(QStringLiteral("2147483648")));
}

void tst_TextNumber::toDouble_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::newRow("integer") << "128" << true << 128.0;
    QTest::newRow("padded") << " 007" << true << 7.0;
    QTest::newRow("fraction") << "-1.25" << true << -1.25;
    QTest::newRow("negative zero is zero") << "-000" << true << 0.0;
    QTest::newRow("no whole part") << ".5" << true << 0.5;
    QTest::newRow("no fraction after the point") << "12." << true << 12.0;
    QTest::newRow("longer than a field")
        << "123456789012345678.25" << true << 123456789012345678.25;
    QTest::newRow("too large is infinite")
        << QString(u'9').repeated(400) << true << std::numeric_limits<double>::infinity();
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("exponent") << "1e2" << false << 0.0;
    QTest::newRow("not a number") << "nan" << false << 0.0;
}

void tst_TextNumber::toDouble()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    const std::optional<double> result = TextNumber::toDouble(text);
    QCOMPARE(result.has_value(), ok);
    if (ok)
        QCOMPARE(*result, value);
}

void tst_TextNumber::degrees_data()
{
    QTest::addColumn<int>("tenths");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 600 << "60";
    QTest::newRow("tenths") << 585 << "58.5";
    QTest::newRow("zero") << 0 << "0";
    QTest::newRow("below one") << 5 << "0.5";
    QTest::newRow("negative") << -52 << "-5.2";
    QTest::newRow("negative below one") << -5 << "-0.5";
    QTest::newRow("lowest") << -32768 << "-3276.8";
}

void tst_TextNumber::degrees()
{
    QFETCH(int, tenths);
    QFETCH(QString, text);
    QCOMPARE(DisplayFormat::tenthsAsDegrees(tenths), text);
}

void tst_TextNumber::percentage()
{
    QCOMPARE(DisplayFormat::percentage(255 / 2.55), QStringLiteral("100.00%"));
    QCOMPARE(DisplayFormat::percentage(128 / 2.55), QStringLiteral("50.20%"));
    QCOMPARE(DisplayFormat::percentage(0.0), QStringLiteral("0.00%"));
    QCOMPARE(DisplayFormat::percentage(1 / 2.55), QStringLiteral("0.39%"));
}

QTEST_GUILESS_MAIN(tst_TextNumber)
#include "tst_text_number.moc"
