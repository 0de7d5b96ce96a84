#include "telemetry/line_collector.h"
#include "telemetry/telemetry_line.h"

#include <QTest>

Q_DECLARE_METATYPE(LineCollector::Outcome)

/// Taking a line's fields out of their positions, and collecting lines character by character.
class tst_TelemetryLine : public QObject
{
    Q_OBJECT

private slots:
    void readsEveryField();
    void shortLineGivesShortOrEmptyFields();
    void signalBeforeALineShiftsItsFields();
    void onlyCarriageReturnLineFeedEndsALine();
    void overlongLineIsDroppedWithItsLineEnd_data();
    void overlongLineIsDroppedWithItsLineEnd();
    void discardForgetsWhatWasCollected_data();
    void discardForgetsWhatWasCollected();
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
    QCOMPARE(values.currentTenths, std::nullopt); // "12\r\n": a line end is not a blank
    QCOMPARE(TelemetryLine::parse(u"xyz0600xxxx58  \r\n").currentTenths, std::optional<qint16>(58));
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

namespace {
using Outcome = LineCollector::Outcome;

/// Feeds text in pieces, one character at a time unless told, as the receiver does; the outcomes
/// other than Collecting.
QList<Outcome> feed(LineCollector &line, QStringView text, qsizetype piece = 1)
{
    QList<Outcome> outcomes;
    for (qsizetype at = 0; at < text.size(); at += piece) {
        if (const Outcome outcome = line.append(text.mid(at, piece));
            outcome != Outcome::Collecting)
            outcomes.append(outcome);
    }
    return outcomes;
}
} // namespace

void tst_TelemetryLine::onlyCarriageReturnLineFeedEndsALine()
{
    LineCollector line;
    QVERIFY(feed(line, u"ab\rcd\n\re\r").isEmpty());
    QCOMPARE(line.append(u"\n"), Outcome::Completed);
    QCOMPARE(line.text(), QStringLiteral("ab\rcd\n\re\r\n"));
    line.clear();
    QVERIFY(line.text().isEmpty());
    QVERIFY(feed(line, u"\n\r").isEmpty());
}

void tst_TelemetryLine::overlongLineIsDroppedWithItsLineEnd_data()
{
    QTest::addColumn<qsizetype>("length");
    QTest::addColumn<qsizetype>("piece");
    QTest::addColumn<QList<Outcome>>("outcomes");
    QTest::newRow("fits with its line end")
        << LineCollector::kCap - 2 << qsizetype(1) << QList{Outcome::Completed};
    QTest::newRow("line end straddles the cap")
        << LineCollector::kCap - 1 << qsizetype(1) << QList{Outcome::Dropped};
    QTest::newRow("text reaches the cap")
        << LineCollector::kCap << qsizetype(1) << QList{Outcome::Dropped};
    QTest::newRow("far past the cap")
        << 3 * LineCollector::kCap << qsizetype(1) << QList{Outcome::Dropped};
    QTest::newRow("pieces each past the cap")
        << qsizetype(10000) << qsizetype(5000) << QList{Outcome::Dropped};
    QTest::newRow("pieces past the cap, the last with the line end")
        << qsizetype(10000) << qsizetype(5001) << QList{Outcome::Dropped};
}

void tst_TelemetryLine::overlongLineIsDroppedWithItsLineEnd()
{
    QFETCH(qsizetype, length);
    QFETCH(qsizetype, piece);
    QFETCH(QList<Outcome>, outcomes);
    LineCollector line;
    // A lone carriage return inside the overlong text does not end it.
    QString text(length, u'x');
    text[length / 2] = u'\r';
    QCOMPARE(feed(line, QString(text + QStringLiteral("\r\n")), piece), outcomes);
    if (outcomes.front() == Outcome::Dropped)
        QCOMPARE(line.droppedLength(), length);
    line.clear();
    const QString next = QStringLiteral("st=0600 pv=0585 out= 128 pid= 011, 005, 002\r\n");
    QCOMPARE(feed(line, next), QList{Outcome::Completed});
    QCOMPARE(line.text(), next);
}

void tst_TelemetryLine::discardForgetsWhatWasCollected_data()
{
    QTest::addColumn<QString>("held");
    QTest::newRow("part of a line") << QStringLiteral("st=0600 pv=05");
    QTest::newRow("up to the carriage return") << QStringLiteral("st=0600 pv=0585\r");
    QTest::newRow("an overlong line being skipped")
        << QString(LineCollector::kCap + 1, u'x') + u'\r';
}

/// What follows a discard is a line of its own: no prefix joined to it, no line end of an
/// overlong line found in it.
void tst_TelemetryLine::discardForgetsWhatWasCollected()
{
    QFETCH(QString, held);
    LineCollector line;
    QVERIFY(feed(line, held).isEmpty());
    line.discard();
    QVERIFY(line.text().isEmpty());
    const QString next = QStringLiteral("\nst=0600 pv=0585\r\n");
    QCOMPARE(feed(line, next), QList{Outcome::Completed});
    QCOMPARE(line.text(), next);
}

QTEST_GUILESS_MAIN(tst_TelemetryLine)
#include "tst_telemetry_line.moc"
