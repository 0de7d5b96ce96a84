#include "controller_simulator.h"
#include "dialogs/step_test_dialog.h"
#include "offline_console.h"
#include "panels/step_test_launcher.h"
#include "records/csv_format.h"
#include "records/run_recorder.h"
#include "records/run_verification.h"
#include "telemetry/display_format.h"
#include "telemetry/step_response.h"
#include "telemetry/telemetry_line.h"
#include "tuning/step_command.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

namespace {
/// Stands in for the window: takes the commands the dialog starts, or refuses them.
struct Starts
{
    StepTestDialog::Start start()
    {
        return [this](const QString &command) {
            commands.append(command);
            return refusal;
        };
    }
    QStringList commands;
    std::optional<QString> refusal;
};

const QStringList kFigureBoxes{
    "perfor_index_0", "perfor_index_1", "perfor_index_2", "perfor_index_3"};

QStringList figures(const OfflineConsole &console)
{
    QStringList shown;
    for (const QString &box : kFigureBoxes)
        shown.append(console.text(box));
    return shown;
}

/// Gains 10, 5, 2 predicted on a plant of 120 s and 6 s, as the advice hands them on.
AppliedPrediction predictedStep(double from, double to)
{
    AppliedPrediction applied;
    applied.model.gain = 0.25;
    applied.model.timeConstant = 120.0;
    applied.model.deadTime = 6.0;
    applied.model.offset = 25.0;
    applied.model.rms = 0.05;
    applied.gains = GainSet{10, 5, 2};
    applied.plan.from = from;
    applied.plan.to = to;
    applied.plan.restingGains = applied.gains;
    applied.plan = LoopPrediction::completed(applied.plan, applied.model);
    applied.prediction =
        LoopPrediction::of(applied.model, ControllerLaw(), applied.gains, applied.plan);
    return applied;
}

/// The dialog the window opened, while it is shown.
StepTestDialog *openDialog(const OfflineConsole &console)
{
    auto *dialog = console.control<StepTestDialog>(QStringLiteral("stepTestDialog"));
    return dialog && dialog->isVisible() ? dialog : nullptr;
}
} // namespace

/// The step test's command from what the operator types, and its dialog.
class tst_StepTest : public QObject
{
    Q_OBJECT

private slots:
    void command_data();
    void command();
    void dialogShowsTheCommandAsItIsTyped();
    void dialogRefusesWhatDoesNotFit();
    void stepSendsAndRestartsTheRun_data();
    void stepSendsAndRestartsTheRun();
    void figuresAreMeasuredFromTheSend();
    void restartAfterAStepNeverTakenStampsAgain();
    void predictionGoesWithARunFromItsStart_data();
    void predictionGoesWithARunFromItsStart();
};

void tst_StepTest::command_data()
{
    QTest::addColumn<QStringList>("typed"); // target, P, I, D, T
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("problem");
    QTest::newRow("a step to 60 with gains")
        << QStringList{"60", "10", "5", "2", ""} << "S0600 P010 I005 D002"
        << "";
    QTest::newRow("one decimal, T given")
        << QStringList{"60.5", "14", "", "", "40"} << "S0605 P014 T040"
        << "";
    QTest::newRow("target alone") << QStringList{" 45.0 ", "", "", "", ""} << "S0450"
                                  << "";
    QTest::newRow("edges") << QStringList{"999.9", "999", "0", "000", "-0"}
                           << "S9999 P999 I000 D000 T000"
                           << "";
    QTest::newRow("zero and leading zeros") << QStringList{"0", "007", "", "", ""} << "S0000 P007"
                                            << "";
    QTest::newRow("more leading zeros than the field has digits")
        << QStringList{"0060", "0010", "0005", "0000", ""} << "S0600 P010 I005 D000"
        << "";
    QTest::newRow("no target") << QStringList{"", "10", "", "", ""} << ""
                               << "请填写目标温度";
    QTest::newRow("two decimals") << QStringList{"60.25", "", "", "", ""} << ""
                                  << "目标温度须为数字，最多一位小数";
    QTest::newRow("not a number") << QStringList{"sixty", "", "", "", ""} << ""
                                  << "目标温度须为数字，最多一位小数";
    QTest::newRow("above 999.9") << QStringList{"1000", "", "", "", ""} << ""
                                 << "目标温度不能高于 999.9 ℃";
    QTest::newRow("far above") << QStringList{"123456789012345", "", "", "", ""} << ""
                               << "目标温度不能高于 999.9 ℃";
    QTest::newRow("below 0") << QStringList{"-0.1", "", "", "", ""} << ""
                             << "目标温度不能低于 0 ℃";
    QTest::newRow("gain above 999") << QStringList{"60", "1000", "", "", ""} << ""
                                    << "P 不能大于 999";
    QTest::newRow("gain below 0") << QStringList{"60", "", "-1", "", ""} << ""
                                  << "I 不能小于 0";
    QTest::newRow("gain with a decimal") << QStringList{"60", "", "", "2.5", ""} << ""
                                         << "D 须为整数";
    QTest::newRow("T above 999") << QStringList{"60", "", "", "", "1000"} << ""
                                 << "T 不能大于 999";
    QTest::newRow("the first problem is named") << QStringList{"60.25", "1000", "", "", ""} << ""
                                                << "目标温度须为数字，最多一位小数";
}

void tst_StepTest::command()
{
    QFETCH(QStringList, typed);
    QFETCH(QString, command);
    QFETCH(QString, problem);
    const StepCommand step =
        StepCommand::fromText(typed[0], typed[1], typed[2], typed[3], typed[4]);
    QCOMPARE(step.text(), command);
    QCOMPARE(step.problem(), problem);
    QCOMPARE(step.isValid(), problem.isEmpty());
    if (step.isValid())
        QCOMPARE(CommandFields::read(step.text()), std::optional(step.fields()));
}

/// Prefilled from the newest values, the dialog shows the command it will send as the fields
/// change and hands it on at "开始".
void tst_StepTest::dialogShowsTheCommandAsItIsTyped()
{
    Starts started;
    StepTestDialog dialog(CommandFields{600, 10, 5, 2, {}}, started.start());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("阶跃测试"));
    auto *target = dialog.findChild<QLineEdit *>(QStringLiteral("target"));
    auto *p = dialog.findChild<QLineEdit *>(QStringLiteral("p"));
    auto *t = dialog.findChild<QLineEdit *>(QStringLiteral("t"));
    const auto *shown = dialog.findChild<QLabel *>(QStringLiteral("command"));
    auto *start = dialog.findChild<QPushButton *>(QStringLiteral("start"));
    QVERIFY(target && p && t && shown && start);
    QCOMPARE(target->text(), QStringLiteral("60.0"));
    QCOMPARE(t->text(), QString()); // no T sent before: none sent now
    QCOMPARE(start->text(), QStringLiteral("开始"));
    QCOMPARE(shown->text(), QStringLiteral("将发送：S0600 P010 I005 D002"));

    p->selectAll();
    QTest::keyClicks(p, QStringLiteral("14"));
    QTest::keyClicks(t, QStringLiteral("40"));
    QCOMPARE(shown->text(), QStringLiteral("将发送：S0600 P014 I005 D002 T040"));
    // A step that cannot start keeps what was typed and says why.
    started.refusal = QStringLiteral("串口未打开，未发送");
    QTest::mouseClick(start, Qt::LeftButton);
    QCOMPARE(started.commands, QStringList{"S0600 P014 I005 D002 T040"});
    QVERIFY(dialog.isVisible());
    QCOMPARE(shown->text(), QStringLiteral("串口未打开，未发送"));
    QCOMPARE(p->text(), QStringLiteral("14"));
    started.refusal.reset();
    QTest::mouseClick(start, Qt::LeftButton);
    QCOMPARE(started.commands.size(), 2);
    QCOMPARE(started.commands.back(), QStringLiteral("S0600 P014 I005 D002 T040"));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());

    Starts cancelled;
    StepTestDialog withT(CommandFields{450, {}, {}, {}, 40}, cancelled.start());
    QCOMPARE(withT.command(), QStringLiteral("S0450 T040"));
    withT.show();
    QTest::keyClick(&withT, Qt::Key_Escape);
    QVERIFY(cancelled.commands.isEmpty());
    QCOMPARE(withT.result(), int(QDialog::Rejected));
}

void tst_StepTest::dialogRefusesWhatDoesNotFit()
{
    Starts started;
    StepTestDialog dialog(CommandFields{}, started.start());
    dialog.show();
    auto *target = dialog.findChild<QLineEdit *>(QStringLiteral("target"));
    const auto *shown = dialog.findChild<QLabel *>(QStringLiteral("command"));
    auto *start = dialog.findChild<QPushButton *>(QStringLiteral("start"));
    QCOMPARE(shown->text(), QStringLiteral("请填写目标温度"));
    QVERIFY(!start->isEnabled());
    QTest::keyClicks(target, QStringLiteral("1000"));
    QCOMPARE(shown->text(), QStringLiteral("目标温度不能高于 999.9 ℃"));
    QVERIFY(!start->isEnabled());
    QTest::keyClick(target, Qt::Key_Return);
    QVERIFY(started.commands.isEmpty());
    QVERIFY(dialog.isVisible());
    QTest::keyClick(target, Qt::Key_Backspace);
    QCOMPARE(shown->text(), QStringLiteral("将发送：S1000"));
    QTest::keyClick(target, Qt::Key_Return);
    QCOMPARE(started.commands, QStringList{"S1000"});
}

void tst_StepTest::stepSendsAndRestartsTheRun_data()
{
    QTest::addColumn<bool>("portOpen");
    QTest::addColumn<bool>("byShortcut");
    QTest::newRow("sent, from the button") << true << false;
    QTest::newRow("sent, from the shortcut") << true << true;
    QTest::newRow("refused while the port is closed") << false << false;
}

/// The dialog starts from the controller's newest values and the last T sent; "开始" sends its
/// command as "发送数据" would and restarts the run as "时间清零" does, or is refused and stays.
void tst_StepTest::stepSendsAndRestartsTheRun()
{
    QFETCH(bool, portOpen);
    QFETCH(bool, byShortcut);
    OfflineConsole console(OfflineConsole::Visibility::Shown);
    console.connectPort();
    QVERIFY(console.type(QStringLiteral("send"), QStringLiteral("T040")));
    QVERIFY(console.click(QStringLiteral("comm_send")));
    // P 150 is past the slider's end; the controller's own value is what the step starts from.
    console.receive("st=0450 pv=0460 out= 128 pid= 150, 004, 002\r\n");
    console.tick(20);
    const QStringList stamped = figures(console);
    QVERIFY(stamped != QStringList(4, QStringLiteral("0")));
    if (!portOpen)
        QVERIFY(console.click(QStringLiteral("cmdDisconnect")));
    const QByteArray sentBefore = console.port().sent();

    if (byShortcut) {
        console.window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&console.window()));
        QTest::keyClick(&console.window(), Qt::Key_T, Qt::ControlModifier);
    } else {
        QCOMPARE(console.text(QStringLiteral("stepTest")), QStringLiteral("阶跃测试…"));
        QVERIFY(console.click(QStringLiteral("stepTest")));
    }
    StepTestDialog *dialog = openDialog(console);
    QVERIFY(dialog);
    const auto field = [dialog](const char *name) {
        return dialog->findChild<QLineEdit *>(QLatin1String(name))->text();
    };
    QCOMPARE((QStringList{field("target"), field("p"), field("i"), field("d"), field("t")}),
        (QStringList{"45.0", "150", "4", "2", "40"}));
    QVERIFY(console.type(QStringLiteral("target"), QStringLiteral("60")));
    QVERIFY(console.click(QStringLiteral("start")));

    if (!portOpen) {
        QCOMPARE(console.port().sent(), sentBefore);
        QCOMPARE(openDialog(console), dialog);
        QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("command"))->text(),
            QStringLiteral("串口未打开，未发送"));
        QCOMPARE(console.text(QStringLiteral("lblStatus")), QStringLiteral("串口未打开，未发送"));
        QCOMPARE(console.window().session().run().runTimeTenths(), 20);
        QCOMPARE(figures(console), stamped);
        return;
    }
    QCOMPARE(console.port().sent(), sentBefore + "S0600 P150 I004 D002 T040");
    QVERIFY(!openDialog(console));
    QCOMPARE(console.window().session().run().runTimeTenths(), 0);
    QCOMPARE(figures(console), QStringList(4, QStringLiteral("0")));
    console.tick(1);
    QCOMPARE(console.text(QStringLiteral("run")), QStringLiteral("0.1"));
}

/// The window against the simulator's controller, byte for byte and on one clock: the figures
/// after a step test are the ones the simulator's lines give when their run starts at the send,
/// from the first line that shows the step.
void tst_StepTest::figuresAreMeasuredFromTheSend()
{
    OfflineConsole console;
    console.time().setNow(QDateTime(QDate(2026, 12, 8), QTime(9, 30)));
    ControllerSimulator::Options options;
    options.noise = false;
    options.setTenths = 250; // holding at the ambient 25 °C
    std::string accepted;
    ControllerSimulator controller(options, [&accepted](const std::string &message) {
        if (message.rfind("accepted", 0) == 0)
            accepted = message;
    });
    console.connectPort();
    double now = 0.0;
    qsizetype handedOn = 0;
    std::optional<qint64> sinceSend;
    QString afterSend;
    struct Line
    {
        qint64 runTenths;
        TelemetryLine values;
    };
    std::vector<Line> lines;
    const auto run = [&](int ticks) {
        for (int tick = 0; tick < ticks; ++tick) {
            console.tick(1);
            now += 0.1;
            if (const QByteArray sent = console.port().sent(); sent.size() > handedOn) {
                controller.receive(std::string_view(sent).substr(std::size_t(handedOn)), now);
                handedOn = sent.size();
            }
            controller.advance(now);
            const QByteArray received = QByteArray::fromStdString(controller.outbox());
            controller.outbox().clear();
            if (sinceSend) {
                ++*sinceSend;
                afterSend += QString::fromLatin1(received);
                for (qsizetype end; (end = afterSend.indexOf(QLatin1String("\r\n"))) >= 0;) {
                    const QString line = afterSend.left(end);
                    afterSend.remove(0, end + 2);
                    if (line.startsWith(QLatin1String("st=")))
                        lines.push_back({*sinceSend, TelemetryLine::parse(line)});
                }
            }
            console.receive(received);
        }
    };
    run(55);
    QCOMPARE(console.text(QStringLiteral("perfor_index_1")), QStringLiteral("0.00%"));

    QVERIFY(console.click(QStringLiteral("stepTest")));
    QVERIFY(console.type(QStringLiteral("target"), QStringLiteral("60")));
    QVERIFY(console.click(QStringLiteral("start")));
    QVERIFY(console.port().sent().endsWith("S0600 P010 I005 D002"));
    sinceSend = 0;
    run(2500);
    QCOMPARE(
        QString::fromStdString(accepted), QStringLiteral("accepted: set 600 P 10 I 5 D 2 T 0"));

    // The controller takes a command once the line has been quiet for a while: the first line
    // after the send still shows the old set point, and the step's figures start after it.
    QCOMPARE(lines.front().values.setTenths, std::optional<qint16>(250));
    StepFigures expected;
    bool reachPending = true;
    for (const Line &line : lines) {
        if (line.values.setTenths != 600)
            continue;
        const StepResponseUpdate update = StepResponse::update(*line.values.currentTenths,
            *line.values.setTenths, reachPending, line.runTenths, expected.overshootPercent);
        reachPending = reachPending && !update.reached;
        expected.take(update.stamped);
    }
    const QStringList boxes{DisplayFormat::stampedTime(expected.riseTenths.value_or(0)),
        DisplayFormat::percentage(expected.overshootPercent.value_or(0)),
        DisplayFormat::stampedTime(expected.peakTenths.value_or(0)),
        DisplayFormat::stampedTime(expected.settlingTenths.value_or(0))};
    QVERIFY(expected.riseTenths && expected.overshootPercent && expected.peakTenths
        && expected.settlingTenths);
    QCOMPARE(figures(console), boxes);
}

/// A step the controller never takes holds the figures back only until the run restarts.
void tst_StepTest::restartAfterAStepNeverTakenStampsAgain()
{
    OfflineConsole console;
    console.connectPort();
    const QByteArray held("st=0250 pv=0250 out= 000 pid= 010, 005, 002\r\n");
    console.receive(held);
    console.tick(10);
    QVERIFY(console.click(QStringLiteral("stepTest")));
    QVERIFY(console.type(QStringLiteral("target"), QStringLiteral("60")));
    QVERIFY(console.click(QStringLiteral("start")));
    console.tick(30);
    console.receive(held);
    QCOMPARE(figures(console), QStringList(4, QStringLiteral("0")));
    QVERIFY(console.click(QStringLiteral("runtimeclear")));
    console.tick(5);
    console.receive(held);
    QCOMPARE(figures(console), (QStringList{"0.5s", "0.00%", "0.5s", "0"}));
}

void tst_StepTest::predictionGoesWithARunFromItsStart_data()
{
    QTest::addColumn<double>("predictedFrom"); // to 60 °C; the loop rests at 46.0 °C
    QTest::addColumn<bool>("predictAgain");
    QTest::addColumn<double>("checkedFrom"); // the start of the prediction the run carries, or 0
    QTest::addColumn<QString>("typedD"); // typed over the prefill before the start, or left
    QTest::newRow("at its start") << 46.0 << false << 46.0 << QString();
    QTest::newRow("within a tenth of the step: 1.5 of 15.5 °C")
        << 44.5 << false << 44.5 << QString();
    QTest::newRow("beyond it, started as it is: no prediction")
        << 44.4 << false << 0.0 << QString();
    QTest::newRow("far, predicted again from where the loop is")
        << 35.0 << true << 46.0 << QString();
    // Predicted for D 2: a step with D 3 is not held to it.
    QTest::newRow("D changed after the prefill") << 46.0 << false << 0.0 << QStringLiteral("3");
}

/// "应用并阶跃测试" from a loop resting elsewhere than the prediction's start: the run is not
/// held to a step that never happened, and the prediction can be made again from where it is.
void tst_StepTest::predictionGoesWithARunFromItsStart()
{
    QFETCH(double, predictedFrom);
    QFETCH(bool, predictAgain);
    QFETCH(double, checkedFrom);
    QFETCH(QString, typedD);
    OfflineConsole console;
    console.connectPort();
    const QByteArray resting("st=0460 pv=0460 out= 040 pid= 010, 005, 002\r\n");
    console.receive(resting);
    console.tick(10);
    QSignalSpy carried(&console.window().session(), &ConsoleSession::runPredicted);
    auto *launcher = console.window().findChild<StepTestLauncher *>();
    QVERIFY(launcher);
    launcher->openPredictedStep(predictedStep(predictedFrom, 60.0));
    const QByteArray sentBefore = console.port().sent();
    if (!typedD.isEmpty())
        QVERIFY(console.type(QStringLiteral("d"), typedD));
    QVERIFY(console.click(QStringLiteral("start")));

    const auto *note = console.control<QLabel>(QStringLiteral("predictionNote"));
    const bool far = (checkedFrom == 0 && typedD.isEmpty()) || predictAgain;
    QCOMPARE(note && note->isVisibleTo(openDialog(console)), far);
    if (far) {
        QCOMPARE(note->text(),
            QStringLiteral("现在 46.0 ℃，预测是从 %1 ℃ 开始的：这次运行不按预测核对。")
                .arg(predictedFrom, 0, 'f', 1));
        QCOMPARE(console.port().sent(), sentBefore);
        QCOMPARE(console.text(QStringLiteral("start")), QStringLiteral("照样开始"));
        if (predictAgain) {
            QVERIFY(console.click(QStringLiteral("predictAgain")));
            QVERIFY2(note->text().startsWith(QStringLiteral("从 46.0 ℃ 重新预测：超调 ")),
                qPrintable(note->text()));
            QCOMPARE(console.text(QStringLiteral("start")), QStringLiteral("开始"));
        }
        QVERIFY(console.click(QStringLiteral("start")));
    }
    QCOMPARE(console.port().sent(),
        sentBefore + "S0600 P010 I005 D00" + (typedD.isEmpty() ? "2" : typedD).toLatin1());
    QVERIFY(!openDialog(console));
    QCOMPARE(carried.count(), checkedFrom > 0 ? 1 : 0);
    if (checkedFrom > 0) {
        const AppliedPrediction applied = carried.front().front().value<AppliedPrediction>();
        QCOMPARE(applied.plan.from, checkedFrom);
        QCOMPARE(applied.plan.to, 60.0);
        QCOMPARE(applied.gains, (GainSet{10, 5, 2}));
        const AppliedPrediction again = predictedStep(checkedFrom, 60.0);
        QCOMPARE(applied.prediction.figures.overshoot, again.prediction.figures.overshoot);
        QCOMPARE(applied.prediction.lines.size(), again.prediction.lines.size());
    }

    // The run's row holds a prediction to check it against only when it carried one.
    console.receive(resting);
    QVERIFY(console.click(QStringLiteral("runtimeclear")));
    QFile runs(QDir(console.window().recordsDirectory()).filePath(RunRecorder::runsFileName()));
    QVERIFY(runs.open(QIODevice::ReadOnly));
    const QList<QStringList> rows = CsvFormat::parse(QString::fromUtf8(runs.readAll()));
    QCOMPARE(rows.size(), 3);
    QCOMPARE(RunVerification::fromRow(rows.front(), rows.back()).has_value(), checkedFrom > 0);
}

QTEST_MAIN(tst_StepTest)
#include "tst_step_test.moc"
