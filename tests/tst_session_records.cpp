#include "named_rows.h"
#include "record_checks.h"
#include "records/run_recorder.h"
#include "session_harness.h"
#include "telemetry/display_format.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace RecordChecks;

namespace {
QString onlyRecord(const SessionHarness &harness)
{
    const QStringList files = recordFiles(harness.recordsDirectory());
    return files.size() == 1 ? QDir(harness.recordsDirectory()).filePath(files.front()) : QString();
}

QString runsFile(const SessionHarness &harness)
{
    return QDir(harness.recordsDirectory()).filePath(RunRecorder::runsFileName());
}

/// A figure's run time as runs.csv gives it, or nothing.
QString seconds(std::optional<qint64> tenths)
{
    return tenths ? DisplayFormat::runClock(*tenths) : QString();
}

} // namespace

/// What the session records of a connection and its runs, driven as the window drives it but
/// without one.
class tst_SessionRecords : public QObject
{
    Q_OBJECT

private slots:
    void sessionGivesOneRowPerEvent();
    void textColumnIsInert_data();
    void textColumnIsInert();
    void runEndsWithOneHistoryRow_data();
    void runEndsWithOneHistoryRow();
    void runAfterReconnectHoldsOnlyItsOwnFigures_data();
    void runAfterReconnectHoldsOnlyItsOwnFigures();
    void rowsReachTheFileWithinASecond_data();
    void rowsReachTheFileWithinASecond();
    void repeatedCommandIsCheckedEachTime();
};

void tst_SessionRecords::sessionGivesOneRowPerEvent()
{
    SessionHarness console;
    const QDateTime start(QDate(2026, 12, 8), QTime(10, 38, 11, 250));
    console.time().setNow(start);
    console.connectPort();
    console.receive(line(600, 585));
    console.tick(3);
    console.receive("O");
    console.receive("st=0600 pv=abcd, \"x\"\r\n");
    QVERIFY(!console.session().sendText(QStringLiteral("S0450 P009")));
    console.receive(QByteArray(5000, 'x') + "\r\n");
    console.session().closePort();

    const QList<QMap<QString, QString>> rows = namedRows(onlyRecord(console));
    QCOMPARE(rows.size(), 5);
    QCOMPARE(rows[0].value("kind"), QStringLiteral("line"));
    QCOMPARE(rows[0].value("run_s"), QStringLiteral("0"));
    QCOMPARE(rows[0].value("set_c"), QStringLiteral("60.0"));
    QCOMPARE(rows[0].value("current_c"), QStringLiteral("58.5"));
    QCOMPARE(rows[0].value("output_pct"), QStringLiteral("50.20"));
    QCOMPARE(rows[0].value("p"), QStringLiteral("10"));
    QCOMPARE(rows[0].value("text"), QString::fromLatin1(line(600, 585).chopped(2)));
    QCOMPARE(rows[1].value("kind"), QStringLiteral("mode"));
    QCOMPARE(rows[1].value("text"), QStringLiteral("O"));
    QCOMPARE(rows[1].value("run_s"), QStringLiteral("0.3"));
    QCOMPARE(rows[2].value("current_c"), QString());
    QCOMPARE(rows[2].value("output_pct"), QString());
    // The mode signal just before it became the line's first character.
    QCOMPARE(rows[2].value("text"), QStringLiteral("Ost=0600 pv=abcd, \"x\""));
    QCOMPARE(rows[3].value("kind"), QStringLiteral("sent"));
    QCOMPARE(rows[3].value("text"), QStringLiteral("S0450 P009"));
    QCOMPARE(rows[4].value("kind"), QStringLiteral("dropped"));
    QCOMPARE(rows[4].value("text"), QStringLiteral("5000"));
    for (const QMap<QString, QString> &row : rows)
        QVERIFY2(isRecordTime(row.value("time")), qPrintable(row.value("time")));
    QCOMPARE(QDateTime::fromString(rows[0].value("time"), Qt::ISODateWithMs), start);
    QCOMPARE(QDateTime::fromString(rows[1].value("time"), Qt::ISODateWithMs), start.addMSecs(300));
}

/// The same command sent again is recorded and checked again: the controller may have dropped
/// it the second time as easily as the first.
void tst_SessionRecords::repeatedCommandIsCheckedEachTime()
{
    SessionHarness console;
    console.time().setNow(QDateTime(QDate(2026, 12, 8), QTime(10, 38, 11, 250)));
    console.connectPort();
    console.receive(line(600, 585));
    for (const int shownP : {12, 10}) {
        QVERIFY(!console.session().sendText(QStringLiteral("S0600 P012")));
        for (int sent = 0; sent < 6; ++sent) {
            console.tick(10);
            console.receive(line(600, 585, shownP));
        }
    }
    console.session().closePort();
    QStringList kinds;
    for (const QMap<QString, QString> &row : namedRows(onlyRecord(console))) {
        if (row.value("kind") != u"line")
            kinds << row.value("kind");
    }
    QCOMPARE(kinds, (QStringList{"sent", "confirm", "sent", "unconfirmed"}));
}

void tst_SessionRecords::textColumnIsInert_data()
{
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << QByteArray("st=0600 pv=0585") << QStringLiteral("st=0600 pv=0585");
    QTest::newRow("formula") << QByteArray("=SUM(A1:A9)*\"x\"")
                             << QStringLiteral("'=SUM(A1:A9)*\"x\"");
    QTest::newRow("plus") << QByteArray("+1") << QStringLiteral("'+1");
    QTest::newRow("minus") << QByteArray("-1+2") << QStringLiteral("'-1+2");
    QTest::newRow("at") << QByteArray("@SUM(A1)") << QStringLiteral("'@SUM(A1)");
    QTest::newRow("NUL and bare CR") << QByteArray("a\0b\rc", 5) << QStringLiteral("a\\x00b\\rc");
    QTest::newRow("tab, escape, DEL")
        << QByteArray("\t\x1b[0m\x7f") << QStringLiteral("\\t\\x1b[0m\\x7f");
    QTest::newRow("C1 controls, 0x80 to 0x9f") << QByteArray("a\x80\x85\x9f"
                                                             "b")
                                               << QStringLiteral("a\\x80\\x85\\x9fb");
    QTest::newRow("backslash") << QByteArray("a\\x00") << QStringLiteral("a\\\\x00");
    QTest::newRow("control first, then =") << QByteArray("\r=1") << QStringLiteral("\\r=1");
}

/// Whatever the device sends, a spreadsheet shows it as text and the file holds no control
/// character.
void tst_SessionRecords::textColumnIsInert()
{
    QFETCH(QByteArray, received);
    QFETCH(QString, text);
    SessionHarness console;
    console.connectPort();
    console.receive(received + "\r\n");
    console.session().closePort();
    QFile file(onlyRecord(console));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));
    QVERIFY(!bytes.contains('\0'));
    const QList<QMap<QString, QString>> rows = namedRows(file.fileName());
    const auto recorded = std::find_if(rows.cbegin(), rows.cend(),
        [](const QMap<QString, QString> &row) { return row.value("kind") == "line"; });
    QVERIFY(recorded != rows.cend());
    QCOMPARE(recorded->value("text"), text);
}

void tst_SessionRecords::runEndsWithOneHistoryRow_data()
{
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QByteArray>("gains"); // P, I and D of the run's last line, after P 12 I 5 D 2
    QTest::addColumn<QStringList>("kept"); // p, i, d of that line's row, of the run's, in use
    QTest::newRow("reset") << QStringLiteral("restart") << QByteArray()
                           << QByteArray("014, 005, 002")
                           << QStringList{"14", "5", "2", "14", "5", "2", "14", "5", "2"};
    QTest::newRow("disconnect") << QStringLiteral("close") << QByteArray()
                                << QByteArray("014, 005, 002")
                                << QStringList{"14", "5", "2", "14", "5", "2", "14", "5", "2"};
    QTest::newRow("lost device, not waited for")
        << QStringLiteral("vanish") << QByteArray("[PORTS]\r\nRECONNECT=0\r\n")
        << QByteArray("014, 005, 002")
        << QStringList{"14", "5", "2", "14", "5", "2", "14", "5", "2"};
    QTest::newRow("disconnect while waiting for the lost device")
        << QStringLiteral("vanish close") << QByteArray() << QByteArray("014, 005, 002")
        << QStringList{"14", "5", "2", "14", "5", "2", "14", "5", "2"};
    QTest::newRow("gains past the sliders' 100, as the controller reports them")
        << QStringLiteral("restart") << QByteArray() << QByteArray("159, 079, 107")
        << QStringList{"159", "79", "107", "159", "79", "107", "159", "79", "107"};
    QTest::newRow("a gain no command can send is none: the one before stays")
        << QStringLiteral("close") << QByteArray() << QByteArray("159, 079, -07")
        << QStringList{"159", "79", "", "159", "79", "2", "159", "79", "2"};
}

void tst_SessionRecords::runEndsWithOneHistoryRow()
{
    QFETCH(QString, ending);
    QFETCH(QByteArray, settings);
    QFETCH(QByteArray, gains);
    QFETCH(QStringList, kept);
    SessionHarness console(settings);
    console.connectPort();
    for (const int current : {500, 600, 612, 605, 600})
        console.receive(line(600, current, 12));
    console.tick(5);
    console.receive("st=0600 pv=0601 out= 128 pid= " + gains + "\r\n");
    const std::optional<GainSet> inUse = console.session().adviceStart().current;
    QVERIFY(inUse);
    QCOMPARE((QStringList{
                 QString::number(inUse->p), QString::number(inUse->i), QString::number(inUse->d)}),
        kept.mid(6));
    for (const QString &step : ending.split(u' ')) {
        if (step == QLatin1String("vanish"))
            console.port().vanish();
        else if (step == QLatin1String("restart"))
            console.session().restartRun();
        else
            console.session().closePort();
        // While the device is awaited the run goes on.
        if (step == QLatin1String("vanish") && settings.isEmpty())
            QVERIFY(namedRows(runsFile(console)).isEmpty());
    }
    const StepFigures shown = console.session().run().Figures;
    if (ending == QLatin1String("restart"))
        console.session().closePort();

    QTRY_COMPARE(namedRows(runsFile(console)).size(), 1);
    const QMap<QString, QString> run = namedRows(runsFile(console)).front();
    QCOMPARE(run.value("port"), QStringLiteral("COM1"));
    QCOMPARE(run.value("set_c"), QStringLiteral("60.0"));
    QCOMPARE((QStringList{run.value("p"), run.value("i"), run.value("d")}), kept.mid(3, 3));
    const QMap<QString, QString> lastLine = namedRows(onlyRecord(console)).value(5);
    QCOMPARE(lastLine.value("kind"), QStringLiteral("line"));
    QCOMPARE((QStringList{lastLine.value("p"), lastLine.value("i"), lastLine.value("d")}),
        kept.mid(0, 3));
    QCOMPARE(run.value("highest_c"), QStringLiteral("61.2"));
    QCOMPARE(run.value("overshoot_pct"), QStringLiteral("2.00"));
    QCOMPARE(run.value("lines"), QStringLiteral("6"));
    QCOMPARE(run.value("record"), QFileInfo(onlyRecord(console)).fileName());
    QVERIFY(isRecordTime(run.value("start")) && isRecordTime(run.value("end")));
    if (ending != QLatin1String("restart")) {
        QCOMPARE(run.value("rise_s"), seconds(shown.riseTenths));
        QCOMPARE(run.value("peak_s"), seconds(shown.peakTenths));
        QCOMPARE(run.value("settling_s"), seconds(shown.settlingTenths));
    }
    QVERIFY(run.value("start") <= run.value("end"));
}

void tst_SessionRecords::runAfterReconnectHoldsOnlyItsOwnFigures_data()
{
    QTest::addColumn<QList<int>>("currents"); // a second apart, from run time 1.5
    QTest::addColumn<QStringList>("figures"); // rise_s, overshoot_pct, peak_s, settling_s
    QTest::newRow("never at its set point")
        << QList<int>{400, 450, 420} << QStringList{"", "", "", "3.5"};
    QTest::newRow("at it, with less overshoot than the run before")
        << QList<int>{590, 606, 600} << QStringList{"3.5", "1.00", "2.5", ""};
}

/// The figures shown may be an earlier run's after 断开 and 连接, but the new run's row holds what
/// its own lines gave.
void tst_SessionRecords::runAfterReconnectHoldsOnlyItsOwnFigures()
{
    QFETCH(QList<int>, currents);
    QFETCH(QStringList, figures);
    SessionHarness console;
    console.connectPort();
    for (const int current : {500, 600, 612, 605, 600})
        console.receive(line(600, current));
    console.session().restartRun();
    console.tick(10);
    for (const int current : {590, 616, 600})
        console.receive(line(600, current));
    const QString riseBefore = seconds(console.session().run().Figures.riseTenths);
    console.session().closePort();
    console.connectPort();
    console.tick(5);
    for (const int current : currents) {
        console.receive(line(600, current));
        console.tick(10);
    }
    const StepFigures &shown = console.session().run().Figures;
    QCOMPARE(
        DisplayFormat::percentage(shown.overshootPercent.value_or(-1)), QStringLiteral("2.67%"));
    QCOMPARE(seconds(shown.riseTenths), riseBefore);
    console.session().shutDown();

    const QList<QMap<QString, QString>> runs = namedRows(runsFile(console));
    QCOMPARE(runs.size(), 3);
    QCOMPARE(runs[1].value("overshoot_pct"), QStringLiteral("2.67"));
    QCOMPARE(runs[1].value("highest_c"), QStringLiteral("61.6"));
    QCOMPARE(runs[1].value("rise_s"), riseBefore);
    const QMap<QString, QString> &last = runs[2];
    QCOMPARE(last.value("lines"), QStringLiteral("3"));
    QCOMPARE(last.value("set_c"), QStringLiteral("60.0"));
    QCOMPARE(last.value("highest_c"),
        QString::number(*std::max_element(currents.cbegin(), currents.cend()) / 10.0, 'f', 1));
    QCOMPARE((QStringList{last.value("rise_s"), last.value("overshoot_pct"), last.value("peak_s"),
                 last.value("settling_s")}),
        figures);
}

void tst_SessionRecords::rowsReachTheFileWithinASecond_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("onDiskAtOnce");
    QTest::newRow("a line: within a second") << 1 << 0;
    // About 107 bytes a row: 700 rows pass 64 KiB once.
    QTest::newRow("a burst beyond 64 KiB: at once") << 700 << 1;
}

void tst_SessionRecords::rowsReachTheFileWithinASecond()
{
    QFETCH(int, lines);
    QFETCH(int, onDiskAtOnce);
    SessionHarness console;
    console.connectPort();
    QByteArray burst;
    for (int count = 0; count < lines; ++count)
        burst += line(600, 585);
    console.receive(burst);
    QCOMPARE(namedRows(onlyRecord(console)).size() > 0, onDiskAtOnce > 0);
    console.tick(10);
    QCOMPARE(namedRows(onlyRecord(console)).size(), lines);
}

QTEST_MAIN(tst_SessionRecords)
#include "tst_session_records.moc"
