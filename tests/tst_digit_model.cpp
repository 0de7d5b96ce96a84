#include "digit_model.h"
#include "leading_number.h"

#include <QTest>

/// How a value's text is split over the cells and where its marks go.
class tst_DigitModel : public QObject
{
    Q_OBJECT

private slots:
    void normalizes();
    void leadingNumber_data();
    void leadingNumber();
    void splitsTheExponent_data();
    void splitsTheExponent();
    void rightAlignsInTheField();
    void marksThousands_data();
    void marksThousands();
    void markCells();
};

void tst_DigitModel::normalizes()
{
    QCOMPARE(DigitModel::normalized(QStringLiteral(".5")), QStringLiteral("0.5"));
    QCOMPARE(DigitModel::normalized(QStringLiteral("abc")), QStringLiteral("ABC"));
    QCOMPARE(DigitModel::normalized(QStringLiteral("1e+3")), QStringLiteral("1E+3"));
    QVERIFY(DigitModel::isNegative(QStringLiteral("-3.2")));
    QVERIFY(DigitModel::isNegative(QStringLiteral(" - 1")));
    QVERIFY(!DigitModel::isNegative(QStringLiteral("-0")));
    QVERIFY(!DigitModel::isNegative(QStringLiteral("ABC")));
}

void tst_DigitModel::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("digits") << "585" << 585.0;
    QTest::newRow("blanks anywhere") << " 1 2 . 5" << 12.5;
    QTest::newRow("stops at a letter") << "12AB" << 12.0;
    QTest::newRow("exponent") << "1.5E+3" << 1500.0;
    QTest::newRow("exponent with D") << "2d2" << 200.0;
    QTest::newRow("exponent without digits") << "7E" << 7.0;
    QTest::newRow("no digits") << "-." << 0.0;
    QTest::newRow("letters") << "ABC" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
}

void tst_DigitModel::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(::leadingNumber(text), value);
}

void tst_DigitModel::splitsTheExponent_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("mantissa");
    QTest::addColumn<QString>("exponent");
    QTest::addColumn<bool>("hasExponent");
    QTest::newRow("plain") << "12.5"
                           << "12.5"
                           << "    " << false;
    QTest::newRow("1.5E+3") << "1.5E+3"
                            << "1.5"
                            << " 003" << true;
    QTest::newRow("2E-12") << "2E-12"
                           << "2"
                           << "-012" << true;
    QTest::newRow("1E-7") << "1E-7"
                          << "1"
                          << "-007" << true;
    QTest::newRow("E+ wins over an earlier E-") << "1E-2E+3"
                                                << "1E-2"
                                                << " 003" << true;
    QTest::newRow("long exponent keeps its last digits") << "1E+12345"
                                                         << "1"
                                                         << " 345" << true;
    QTest::newRow("with a colon the digits fill the field") << "12:34E+5"
                                                            << "12:34"
                                                            << " 0005" << true;
}

void tst_DigitModel::splitsTheExponent()
{
    QFETCH(QString, text);
    QFETCH(QString, mantissa);
    QFETCH(QString, exponent);
    QFETCH(bool, hasExponent);
    const SplitValue split = DigitModel::SplitExponent(text, 4);
    QCOMPARE(split.mantissa, mantissa);
    QCOMPARE(split.hasExponent, hasExponent);
    QCOMPARE(split.exponent, exponent);
}

void tst_DigitModel::rightAlignsInTheField()
{
    QCOMPARE(DigitModel::rightAligned(QStringLiteral("125"), 6), QStringLiteral("   125"));
    QCOMPARE(DigitModel::rightAligned(QStringLiteral("123456789012345678901234"), 20),
        QStringLiteral("56789012345678901234"));
    QCOMPARE(DigitModel::rightAligned(QStringLiteral("1"), 0), QString());
}

void tst_DigitModel::marksThousands_data()
{
    QTest::addColumn<QString>("mantissa");
    QTest::addColumn<QList<int>>("cells");
    QTest::newRow("1234") << "1234" << QList<int>{16};
    QTest::newRow("123") << "123" << QList<int>{};
    QTest::newRow("-1234") << "-1234" << QList<int>{16};
    QTest::newRow("-123456") << "-123456" << QList<int>{16};
    QTest::newRow("seven digits, two decimals") << "1234567.89" << QList<int>{11, 14};
    QTest::newRow("longer than the field")
        << "123456789012345678901234" << QList<int>{1, 4, 7, 10, 13, 16};
}

void tst_DigitModel::marksThousands()
{
    QFETCH(QString, mantissa);
    QFETCH(QList<int>, cells);
    const std::vector<bool> flags = DigitModel::MarkThousands(mantissa, 20, 3);
    QList<int> marked;
    for (int cell = 0; cell < int(flags.size()); ++cell) {
        if (flags[std::size_t(cell)])
            marked.append(cell);
    }
    QCOMPARE(marked, cells);
    QVERIFY(std::none_of(DigitModel::MarkThousands(mantissa, 20, 0).begin(),
        DigitModel::MarkThousands(mantissa, 20, 0).end(), [](bool f) { return f; }));
}

void tst_DigitModel::markCells()
{
    // 12.5 in 20 cells: the point follows cell 18, the cell of the 2.
    QCOMPARE(DigitModel::markCell(20, 3, 4), 18);
    // 12:34: the colon follows the 2, in cell 17.
    QCOMPARE(DigitModel::markCell(20, 3, 5), 17);
}

QTEST_GUILESS_MAIN(tst_DigitModel)
#include "tst_digit_model.moc"
