#include "command_parser.h"
#include "telemetry_format.h"

#include <QTest>

Q_DECLARE_METATYPE(ParameterCommand)

/// The simulator's side of the link: the telemetry line layout and the commands it understands.
class tst_SimProtocol : public QObject
{
    Q_OBJECT

private slots:
    void fieldsStandAtTheirPositions_data();
    void fieldsStandAtTheirPositions();
    void fillerHoldsNoModeSignal();
    void badFieldDoesNotConvert();
    void parsesParameterCommands_data();
    void parsesParameterCommands();
    void rejectsMalformedCommands_data();
    void rejectsMalformedCommands();
    void parsesBandDigits();
};

namespace {
/// The field at 1-based positions first to last, as the console reads it.
int field(const QString &line, int first, int last, bool *ok)
{
    return line.mid(first - 1, last - first + 1).trimmed().toInt(ok);
}
} // namespace

void tst_SimProtocol::fieldsStandAtTheirPositions_data()
{
    QTest::addColumn<int>("set");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("output");
    QTest::addColumn<int>("p");
    QTest::addColumn<int>("i");
    QTest::addColumn<int>("d");
    QTest::addColumn<int>("shownSet");
    QTest::addColumn<int>("shownCurrent");
    QTest::newRow("sample") << 600 << 585 << 128 << 10 << 5 << 2 << 600 << 585;
    QTest::newRow("zero") << 0 << 0 << 0 << 0 << 0 << 0 << 0 << 0;
    QTest::newRow("widest") << 9999 << 1200 << 255 << 999 << 100 << 999 << 9999 << 1200;
    QTest::newRow("below zero") << 600 << -52 << 0 << 1 << 2 << 3 << 600 << -52;
    QTest::newRow("clamped") << 12345 << -5000 << 300 << 1000 << -4 << 7 << 9999 << -999;
}

void tst_SimProtocol::fieldsStandAtTheirPositions()
{
    QFETCH(int, set);
    QFETCH(int, current);
    QFETCH(int, output);
    QFETCH(int, p);
    QFETCH(int, i);
    QFETCH(int, d);
    QFETCH(int, shownSet);
    QFETCH(int, shownCurrent);
    const QString line =
        QString::fromStdString(formatTelemetryLine({set, current, output, p, i, d}));
    QVERIFY(line.endsWith(QLatin1String("\r\n")));
    QCOMPARE(line.size(), 45);
    bool ok = false;
    QCOMPARE(field(line, 4, 7, &ok), shownSet);
    QVERIFY(ok);
    QCOMPARE(field(line, 12, 15, &ok), shownCurrent);
    QCOMPARE(field(line, 22, 24, &ok), qBound(0, output, 999));
    QCOMPARE(field(line, 31, 33, &ok), qBound(0, p, 999));
    QCOMPARE(field(line, 36, 38, &ok), qBound(0, i, 999));
    QCOMPARE(field(line, 41, 43, &ok), qBound(0, d, 999));
}

void tst_SimProtocol::fillerHoldsNoModeSignal()
{
    const QString line = QString::fromStdString(formatTelemetryLine({600, 585, 128, 10, 5, 2}));
    QVERIFY(!line.contains(u'O'));
    QVERIFY(!line.contains(u'N'));
    QCOMPARE(line, QStringLiteral("st=0600 pv=0585 out= 128 pid= 010, 005, 002\r\n"));
}

void tst_SimProtocol::badFieldDoesNotConvert()
{
    const TelemetrySample sample{600, 585, 128, 10, 5, 2};
    const QString bad = QString::fromStdString(formatLineWithBadField(sample));
    const QString good = QString::fromStdString(formatTelemetryLine(sample));
    bool ok = true;
    field(bad, 12, 15, &ok);
    QVERIFY(!ok);
    QCOMPARE(bad.left(11), good.left(11));
    QCOMPARE(bad.mid(15), good.mid(15));
    QVERIFY(!bad.contains(u'O') && !bad.contains(u'N'));
}

void tst_SimProtocol::parsesParameterCommands_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<ParameterCommand>("expected");
    QTest::newRow("sample") << "S0450 P009 I004 D002 T040" << ParameterCommand{450, 9, 4, 2, 40};
    QTest::newRow("lower case") << "s0450 p009 i004 d002 t040"
                                << ParameterCommand{450, 9, 4, 2, 40};
    QTest::newRow("partial") << "P012" << ParameterCommand{{}, 12, {}, {}, {}};
    QTest::newRow("any order, blanks and line breaks") << "  d003\r\nS0600   t5 \n"
                                                       << ParameterCommand{600, {}, {}, 3, 5};
}

void tst_SimProtocol::parsesParameterCommands()
{
    QFETCH(QString, text);
    QFETCH(ParameterCommand, expected);
    const ParsedCommand parsed = parseCommand(text.toStdString());
    const auto *command = std::get_if<ParameterCommand>(&parsed);
    QVERIFY(command);
    QCOMPARE(command->setTenths, expected.setTenths);
    QCOMPARE(command->p, expected.p);
    QCOMPARE(command->i, expected.i);
    QCOMPARE(command->d, expected.d);
    QCOMPARE(command->compensation, expected.compensation);
}

void tst_SimProtocol::rejectsMalformedCommands_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "  \r\n";
    QTest::newRow("unknown letter") << "S0450 X009";
    QTest::newRow("too many digits") << "S04500";
    QTest::newRow("too many digits for P") << "P0090";
    QTest::newRow("letter alone") << "S0450 P";
    QTest::newRow("not digits") << "P0a9";
    QTest::newRow("sign") << "S-450";
    QTest::newRow("given twice") << "S0450 s0500";
    QTest::newRow("glued fields") << "S0450P009";
}

void tst_SimProtocol::rejectsMalformedCommands()
{
    QFETCH(QString, text);
    const ParsedCommand parsed = parseCommand(text.toStdString());
    QVERIFY(std::holds_alternative<MalformedCommand>(parsed));
    QVERIFY(!std::get<MalformedCommand>(parsed).reason.empty());
}

void tst_SimProtocol::parsesBandDigits()
{
    const auto bands = [](const std::string &text) {
        const ParsedCommand parsed = parseCommand(text);
        const auto *selection = std::get_if<BandSelection>(&parsed);
        return selection ? selection->bands : std::vector<int>{-1};
    };
    QCOMPARE(bands(std::string(11, '1')), std::vector<int>{1});
    QCOMPARE(bands(std::string(22, '9')), (std::vector<int>{9, 9}));
    QCOMPARE(bands(std::string(11, '3') + std::string(11, '7')), (std::vector<int>{3, 7}));
    QCOMPARE(bands(std::string(10, '5')), std::vector<int>{-1});
    QCOMPARE(bands(std::string(11, '0')), std::vector<int>{-1});
}

QTEST_GUILESS_MAIN(tst_SimProtocol)
#include "tst_sim_protocol.moc"
