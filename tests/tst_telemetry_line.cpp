#include "line_collector.h"
#include "telemetry_line.h"

#include <QTest>

/// Taking a line's fields out of their positions, and collecting lines character by character.
class tst_TelemetryLine : public QObject
{
    Q_OBJECT

private slots:
    void readsEveryField();
    void shortLineGivesShortOrEmptyFields();
    void signalBeforeALineShiftsItsFields();
    void onlyCarriageReturnLineFeedEndsALine();
    void collectionStartsOverPastTheCap();
};

void tst_TelemetryLine::readsEveryField()
{
    const TelemetryLine values =
        TelemetryLine::parse(u"st=0600 pv=0585 out= 128 pid= 010, 005, 002\r\n");
    QCOMPARE(values.setTenths, std::optional<qint16>(600));
    QCOMPARE(values.currentTenths, std::optional<qint16>(585));
    QCOMPARE(values.outputLevel, std::optional<double>(128));
    QCOMPARE(values.p, std::optional<qint16>(10));
    QCOMPARE(values.i, std::optional<qint16>(5));
    QCOMPARE(values.d, std::optional<qint16>(2));
}

void tst_TelemetryLine::shortLineGivesShortOrEmptyFields()
{
    QCOMPARE(TelemetryLine::field(u"abc0600\r\n", 4, 7), QStringView(u"0600"));
    QCOMPARE(TelemetryLine::field(u"abc06", 4, 7), QStringView(u"06"));
    QVERIFY(TelemetryLine::field(u"abc", 4, 7).isEmpty());
    const TelemetryLine values = TelemetryLine::parse(u"xyz0600xxxx12\r\n");
    QCOMPARE(values.setTenths, std::optional<qint16>(600));
    QCOMPARE(values.currentTenths, std::optional<qint16>(12));
    QVERIFY(!values.outputLevel && !values.p && !values.i && !values.d);
    QVERIFY(!TelemetryLine::parse(u"\r\n").setTenths);
}

void tst_TelemetryLine::signalBeforeALineShiftsItsFields()
{
    const TelemetryLine values =
        TelemetryLine::parse(u"Ost=0600 pv=0585 out= 128 pid= 010, 005, 002\r\n");
    QVERIFY(!values.setTenths); // "=060"
    QCOMPARE(values.currentTenths, std::nullopt); // "=058"
    QCOMPARE(values.outputLevel, std::optional<double>(12)); // " 12"
}

void tst_TelemetryLine::onlyCarriageReturnLineFeedEndsALine()
{
    LineCollector line;
    for (const QChar c : QStringView(u"ab\rcd\n\re"))
        QVERIFY(!line.append(QStringView(&c, 1)));
    QVERIFY(!line.append(u"\r"));
    QVERIFY(line.append(u"\n"));
    QCOMPARE(line.text(), QStringLiteral("ab\rcd\n\re\r\n"));
    line.clear();
    QVERIFY(line.text().isEmpty());
    QVERIFY(!line.append(u"\n"));
    QVERIFY(!line.append(u"\r"));
}

void tst_TelemetryLine::collectionStartsOverPastTheCap()
{
    LineCollector line;
    for (qsizetype n = 0; n < LineCollector::kCap; ++n)
        QVERIFY(!line.append(u"x"));
    QCOMPARE(line.text().size(), LineCollector::kCap);
    QVERIFY(!line.append(u"y"));
    QCOMPARE(line.text(), QStringLiteral("y"));
    QVERIFY(!line.append(u"\r"));
    QVERIFY(line.append(u"\n"));
    QCOMPARE(line.text(), QStringLiteral("y\r\n"));
}

QTEST_GUILESS_MAIN(tst_TelemetryLine)
#include "tst_telemetry_line.moc"
