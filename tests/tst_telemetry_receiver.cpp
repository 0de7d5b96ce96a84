#include "telemetry/telemetry_receiver.h"
#include "telemetry/window_state.h"

#include <QTest>

Q_DECLARE_METATYPE(ModeWord)

namespace {
QString line(int set, int current)
{
    return QStringLiteral("st=%1 pv=%2 out= 128 pid= 010, 005, 002\r\n")
        .arg(set, 4, 10, QLatin1Char('0'))
        .arg(current, 4, 10, QLatin1Char('0'));
}

/// Feeds text one character at a time, as the serial component delivers it.
ReceiverChanges feed(WindowState &state, const QString &text, qsizetype *lines = nullptr)
{
    ReceiverChanges last;
    for (const QChar c : text) {
        last = TelemetryReceiver::receive(state, QString(c));
        if (lines && last.line)
            ++*lines;
    }
    return last;
}
} // namespace

/// The receiver's state changes from received characters alone, with no window.
class tst_TelemetryReceiver : public QObject
{
    Q_OBJECT

private slots:
    void linesAndSignalsChangeTheState_data();
    void linesAndSignalsChangeTheState();
    void completedLineCarriesItsTextAndFigures();
    void stepWaitsForItsSetPoint_data();
    void stepWaitsForItsSetPoint();
    void rangesDecideWhatIsAccepted();
    void overlongLineIsReportedNotProcessed();
};

void tst_TelemetryReceiver::linesAndSignalsChangeTheState_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<ModeWord>("mode");
    QTest::addColumn<int>("follow");
    QTest::addColumn<bool>("normal");
    QTest::addColumn<bool>("alarm");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("highest");
    QTest::addColumn<int>("lines");

    QTest::newRow("one line") << line(600, 585) << ModeWord::None << 1 << true << false << 585
                              << 585 << 1;
    QTest::newRow("excess of 15 degrees is no alarm")
        << line(600, 750) << ModeWord::None << 1 << true << false << 750 << 750 << 1;
    QTest::newRow("excess past 15 degrees alarms")
        << line(600, 751) << ModeWord::None << 1 << false << true << 751 << 751 << 1;
    QTest::newRow("setting mode overrides the alarm")
        << QString("O\r\n" + line(600, 800)) << ModeWord::Ok << 1 << true << false << 800 << 800
        << 2;
    QTest::newRow("back from setting mode")
        << QString("O\r\nN\r\n" + line(600, 800)) << ModeWord::Exit << 0 << false << true << 800
        << 800 << 3;
    QTest::newRow("signal alone lights the lamp")
        << QStringLiteral("O") << ModeWord::Ok << 1 << true << false << 0 << 0 << 0;
    QTest::newRow("field that is no number keeps the value")
        << QString(line(600, 612) + "st=0600 pv=x605\r\n") << ModeWord::None << 1 << true << false
        << 612 << 612 << 2;
    QTest::newRow("highest is never lowered")
        << QString(line(600, 612) + line(600, 605)) << ModeWord::None << 1 << true << false << 605
        << 612 << 2;
}

void tst_TelemetryReceiver::linesAndSignalsChangeTheState()
{
    QFETCH(QString, input);
    QFETCH(ModeWord, mode);
    QFETCH(int, follow);
    QFETCH(bool, normal);
    QFETCH(bool, alarm);
    QFETCH(int, current);
    QFETCH(int, highest);
    QFETCH(int, lines);

    WindowState state;
    state.FollowCurrentTemp = 1;
    qsizetype completed = 0;
    feed(state, input, &completed);
    QCOMPARE(state.Mode, mode);
    QCOMPARE(state.FollowCurrentTemp, follow);
    QCOMPARE(state.Lamps.normal, normal);
    QCOMPARE(state.Lamps.alarm, alarm);
    QVERIFY(!state.Lamps.setting);
    QCOMPARE(state.CurTempTenths, current);
    QCOMPARE(state.MaxTempTenths, highest);
    QCOMPARE(state.FrameCount, lines);
    QCOMPARE(completed, lines);
    QVERIFY(state.RxLine.text().isEmpty() || lines == 0);
}

void tst_TelemetryReceiver::completedLineCarriesItsTextAndFigures()
{
    WindowState state;
    state.ReachPending = true;
    state.RunTimeText = QStringLiteral("12.3");
    const ReceiverChanges changes = feed(state, line(600, 600));
    QVERIFY(changes.line);
    QCOMPARE(changes.line->text, line(600, 600));
    QCOMPARE(changes.line->values.outputLevel, std::optional<double>(128));
    QCOMPARE(changes.line->figures.riseTime, std::optional<QString>("12.3s"));
    QCOMPARE(state.Figures.riseTime, QStringLiteral("12.3s"));
    QCOMPARE(state.Figures.overshoot, std::optional<double>(0.0));
    QCOMPARE(state.Figures.peakTime, QStringLiteral("12.3s"));
    QCOMPARE(state.ShownMaxTempTenths, std::optional<qint16>(600));
    QCOMPARE(state.OutputLevel, std::optional<double>(128));
    QVERIFY(!state.ReachPending);
    QCOMPARE(changes.line->accepted.targetDegrees, std::optional<qint16>(60));
    QCOMPARE(changes.line->accepted.p, std::optional<qint16>(10));
    QCOMPARE(changes.line->accepted.d, std::optional<qint16>(2));
}

void tst_TelemetryReceiver::stepWaitsForItsSetPoint_data()
{
    QTest::addColumn<int>("pending"); // the step's set temperature, 0 for none
    QTest::addColumn<QStringList>("input"); // a line at run time 1, 2, 3 …
    QTest::addColumn<QStringList>("figures"); // rise, overshoot, peak, settling
    QTest::newRow("no step: a line at its set point is reached")
        << 0 << QStringList{line(250, 250), line(250, 260)} << QStringList{"1s", "4.00%", "2s", ""};
    QTest::newRow("held at the old set point until the step is taken")
        << 600 << QStringList{line(250, 250), line(600, 280), line(600, 600)}
        << QStringList{"3s", "0.00%", "3s", "2s"};
    QTest::newRow("above the old set point")
        << 600 << QStringList{line(200, 250), line(200, 251), line(600, 280), line(600, 600)}
        << QStringList{"4s", "0.00%", "4s", "3s"};
    QTest::newRow("never taken") << 600 << QStringList{line(250, 250), line(250, 260)}
                                 << QStringList{"", "", "", ""};
    QTest::newRow("a line without a set point is none of the step's")
        << 600 << QStringList{line(250, 250), "st=     pv=0250\r\n", line(600, 580), line(600, 600)}
        << QStringList{"4s", "0.00%", "4s", ""};
}

/// The lines a step test's command has not reached yet stamp no figures; from the first line
/// that shows the step's set point on, they stamp as always.
void tst_TelemetryReceiver::stepWaitsForItsSetPoint()
{
    QFETCH(int, pending);
    QFETCH(QStringList, input);
    QFETCH(QStringList, figures);
    WindowState state;
    state.ReachPending = true;
    if (pending)
        state.StepPendingTenths = qint16(pending);
    for (qsizetype at = 0; at < input.size(); ++at) {
        state.RunTimeText = QString::number(at + 1);
        feed(state, input[at]);
    }
    const StepFigures &shown = state.Figures;
    QCOMPARE((QStringList{shown.riseTime,
                 shown.overshoot ? QString::number(*shown.overshoot, 'f', 2) + u'%' : QString(),
                 shown.peakTime, shown.settlingTime}),
        figures);
    QCOMPARE(state.StepPendingTenths.has_value(), figures.front().isEmpty() && pending);
}

/// The sliders' ranges, each end included, decide what a line gives the sliders and the record.
void tst_TelemetryReceiver::rangesDecideWhatIsAccepted()
{
    WindowState state;
    const AcceptedParameters accepted =
        feed(state, QStringLiteral("st=1015 pv=0585 out= 128 pid= 101, 100, -01\r\n"))
            .line->accepted;
    QCOMPARE(accepted.targetDegrees, std::nullopt); // 101.5 rounds to 102
    QCOMPARE(accepted.p, std::nullopt);
    QCOMPARE(accepted.i, std::optional<qint16>(100));
    QCOMPARE(accepted.d, std::nullopt);
    QCOMPARE(feed(state, QStringLiteral("st=1005 pv=0585\r\n")).line->accepted.targetDegrees,
        std::optional<qint16>(100)); // 100.5 to the even neighbour
}

void tst_TelemetryReceiver::overlongLineIsReportedNotProcessed()
{
    WindowState state;
    const ReceiverChanges changes = feed(state, QString(5000, u'x') + QStringLiteral("\r\n"));
    QCOMPARE(changes.droppedLength, std::optional<qsizetype>(5000));
    QVERIFY(!changes.line);
    QCOMPARE(state.FrameCount, 0);
    QCOMPARE(feed(state, line(600, 585)).line->values.currentTenths, std::optional<qint16>(585));
}

QTEST_GUILESS_MAIN(tst_TelemetryReceiver)
#include "tst_telemetry_receiver.moc"
