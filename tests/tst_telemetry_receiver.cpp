#include "telemetry/controller_state.h"
#include "telemetry/display_format.h"
#include "telemetry/run_state.h"
#include "telemetry/telemetry_receiver.h"

#include <QTest>

Q_DECLARE_METATYPE(ModeWord)

namespace {
QString line(int set, int current)
{
    return QStringLiteral("st=%1 pv=%2 out= 128 pid= 010, 005, 002\r\n")
        .arg(set, 4, 10, QLatin1Char('0'))
        .arg(current, 4, 10, QLatin1Char('0'));
}

/// The receiver with the states it changes.
struct Receiving
{
    /// Feeds text one character at a time, as the serial component delivers it.
    ReceiverChanges feed(const QString &text, qsizetype *lines = nullptr)
    {
        ReceiverChanges last;
        for (const QChar c : text) {
            last = receiver.receive(QString(c), controller, run);
            if (lines && last.line)
                ++*lines;
        }
        return last;
    }
    void setRunTime(qint64 tenths)
    {
        run.RunSeconds = tenths / 10;
        run.RunTenths = int(tenths % 10);
    }

    TelemetryReceiver receiver;
    ControllerState controller;
    RunState run;
};

/// The four figures as their boxes show them: rise, overshoot, peak and settling time.
QStringList shown(const StepFigures &figures)
{
    const auto time = [](std::optional<qint64> tenths) {
        return tenths ? DisplayFormat::stampedTime(*tenths) : QString();
    };
    return {time(figures.riseTenths),
        figures.overshootPercent ? DisplayFormat::percentage(*figures.overshootPercent) : QString(),
        time(figures.peakTenths), time(figures.settlingTenths)};
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
    void rangesDecideWhatIsAccepted_data();
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

    Receiving receiving;
    const ControllerState &state = receiving.controller;
    qsizetype completed = 0;
    receiving.feed(input, &completed);
    QCOMPARE(state.Mode, mode);
    QCOMPARE(state.FollowCurrentTemp, follow);
    QCOMPARE(state.Lamps.normal, normal);
    QCOMPARE(state.Lamps.alarm, alarm);
    QVERIFY(!state.Lamps.setting);
    QCOMPARE(state.CurTempTenths, current);
    QCOMPARE(state.MaxTempTenths, highest);
    QCOMPARE(state.FrameCount, lines);
    QCOMPARE(completed, lines);
    QVERIFY(receiving.receiver.collected().text().isEmpty() || lines == 0);
}

void tst_TelemetryReceiver::completedLineCarriesItsTextAndFigures()
{
    Receiving receiving;
    receiving.setRunTime(123);
    const ReceiverChanges changes = receiving.feed(line(600, 600));
    QVERIFY(changes.line);
    QCOMPARE(changes.line->text, line(600, 600));
    QCOMPARE(changes.line->runTenths, 123);
    QCOMPARE(changes.line->values.outputLevel, std::optional<double>(128));
    QCOMPARE(changes.line->figures.riseTenths, std::optional<qint64>(123));
    const RunState &run = receiving.run;
    QCOMPARE(shown(run.Figures), (QStringList{"12.3s", "0.00%", "12.3s", ""}));
    QCOMPARE(changes.line->runFigures, run.Figures);
    QCOMPARE(receiving.controller.ShownMaxTempTenths, std::optional<qint16>(600));
    QCOMPARE(receiving.controller.OutputLevel, std::optional<double>(128));
    QVERIFY(!run.ReachPending);
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
        << 0 << QStringList{line(250, 250), line(250, 260)}
        << QStringList{"1.0s", "4.00%", "2.0s", ""};
    QTest::newRow("held at the old set point until the step is taken")
        << 600 << QStringList{line(250, 250), line(600, 280), line(600, 600)}
        << QStringList{"3.0s", "0.00%", "3.0s", "2.0s"};
    QTest::newRow("above the old set point")
        << 600 << QStringList{line(200, 250), line(200, 251), line(600, 280), line(600, 600)}
        << QStringList{"4.0s", "0.00%", "4.0s", "3.0s"};
    QTest::newRow("never taken") << 600 << QStringList{line(250, 250), line(250, 260)}
                                 << QStringList{"", "", "", ""};
    QTest::newRow("a line without a set point is none of the step's")
        << 600 << QStringList{line(250, 250), "st=     pv=0250\r\n", line(600, 580), line(600, 600)}
        << QStringList{"4.0s", "0.00%", "4.0s", ""};
}

/// The lines a step test's command has not reached yet stamp no figures; from the first line
/// that shows the step's set point on, they stamp as always.
void tst_TelemetryReceiver::stepWaitsForItsSetPoint()
{
    QFETCH(int, pending);
    QFETCH(QStringList, input);
    QFETCH(QStringList, figures);
    Receiving receiving;
    if (pending)
        receiving.run.StepPendingTenths = qint16(pending);
    for (qsizetype at = 0; at < input.size(); ++at) {
        receiving.setRunTime(10 * (at + 1));
        receiving.feed(input[at]);
    }
    QCOMPARE(shown(receiving.run.Figures), figures);
    QCOMPARE(shown(receiving.run.ThisRun.figures), figures);
    QCOMPARE(receiving.run.StepPendingTenths.has_value(), figures.front().isEmpty() && pending);
}

void tst_TelemetryReceiver::rangesDecideWhatIsAccepted_data()
{
    // Whole degrees or P, I and D; -1 for none.
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<int>("target"); // what slider 0 takes from the last line
    QTest::addColumn<QList<int>>("sliders"); // what sliders 3 to 5 take from the last line
    QTest::addColumn<QList<int>>("reported"); // what the last line reports
    QTest::addColumn<QList<int>>("held"); // what the controller holds after every line
    QTest::newRow("the sliders' ends; 101.5 rounds to 102")
        << QStringList{"st=1015 pv=0585 out= 128 pid= 101, 100, -01\r\n"} << -1
        << QList<int>{-1, 100, -1} << QList<int>{101, 100, -1} << QList<int>{101, 100, -1};
    QTest::newRow("100.5 to the even neighbour")
        << QStringList{"st=1005 pv=0585\r\n"} << 100 << QList<int>{-1, -1, -1}
        << QList<int>{-1, -1, -1} << QList<int>{-1, -1, -1};
    QTest::newRow("gains above 100: the sliders keep theirs, the controller holds them")
        << QStringList{"st=0450 pv=0450 out= 128 pid= 159, 079, 107\r\n"} << 45
        << QList<int>{-1, 79, -1} << QList<int>{159, 79, 107} << QList<int>{159, 79, 107};
    QTest::newRow("the command's ends")
        << QStringList{"st=0450 pv=0450 out= 128 pid= 999, 000,  0 \r\n"} << 45
        << QList<int>{-1, 0, 0} << QList<int>{999, 0, 0} << QList<int>{999, 0, 0};
    QTest::newRow("below 0 or no number: none, the last one held")
        << QStringList{"st=0450 pv=0450 out= 128 pid= 159, 079, 107\r\n",
               "st=0450 pv=0450 out= 128 pid= -01, 1e2, abc\r\n"}
        << 45 << QList<int>{-1, -1, -1} << QList<int>{-1, -1, -1} << QList<int>{159, 79, 107};
}

/// The sliders' ranges, each end included, decide what a line gives the sliders; the command's
/// range, 0 to 999, what it reports of P, I and D, which the record and the advice take.
void tst_TelemetryReceiver::rangesDecideWhatIsAccepted()
{
    QFETCH(QStringList, input);
    QFETCH(int, target);
    QFETCH(QList<int>, sliders);
    QFETCH(QList<int>, reported);
    QFETCH(QList<int>, held);
    const auto values = [](const std::optional<qint16> &p, const std::optional<qint16> &i,
                            const std::optional<qint16> &d) {
        QList<int> given;
        for (const std::optional<qint16> &value : {p, i, d})
            given.append(value.value_or(-1));
        return given;
    };
    Receiving receiving;
    std::optional<CompletedLine> last;
    for (const QString &line : input)
        last = receiving.feed(line).line;
    QVERIFY(last);
    const AcceptedParameters &accepted = last->accepted;
    QCOMPARE(accepted.targetDegrees.value_or(-1), target);
    QCOMPARE(values(accepted.p, accepted.i, accepted.d), sliders);
    QCOMPARE(values(last->gains.p, last->gains.i, last->gains.d), reported);
    const ReportedGains &kept = receiving.controller.Gains;
    QCOMPARE(values(kept.p, kept.i, kept.d), held);
}

void tst_TelemetryReceiver::overlongLineIsReportedNotProcessed()
{
    Receiving receiving;
    const ReceiverChanges changes = receiving.feed(QString(5000, u'x') + QStringLiteral("\r\n"));
    QCOMPARE(changes.droppedLength, std::optional<qsizetype>(5000));
    QVERIFY(!changes.line);
    QCOMPARE(receiving.controller.FrameCount, 0);
    QCOMPARE(receiving.feed(line(600, 585)).line->values.currentTenths, std::optional<qint16>(585));
}

QTEST_GUILESS_MAIN(tst_TelemetryReceiver)
#include "tst_telemetry_receiver.moc"
