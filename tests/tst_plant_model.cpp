#include "controller_simulator.h"
#include "dialogs/plant_model_dialog.h"
#include "dialogs/runs_dialog.h"
#include "dialogs/tuning_advice_dialog.h"
#include "offline_console.h"
#include "record_text.h"
#include "records/csv_format.h"
#include "records/run_recorder.h"
#include "records/run_verification.h"
#include "uc_histogram.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

/// The console connected to the simulator's controller, in-process on the console's own time.
class ConsoleOnController
{
public:
    explicit ConsoleOnController(
        const ControllerSimulator::Options &options, const QString &applicationDir = {})
        : m_console(OfflineConsole::Visibility::Hidden, applicationDir)
        , m_controller(options, [](const std::string &) {})
    {
        m_console.time().setNow(QDateTime::fromString(
            QStringLiteral("2026-12-08T09:30:00.000+08:00"), Qt::ISODateWithMs));
        m_console.connectPort();
    }

    OfflineConsole &console() { return m_console; }

    /// A step test to the target with the gains in use, then the lines of the seconds after.
    bool stepTo(const QString &target, double seconds)
    {
        if (!m_console.click(QStringLiteral("stepTest"))
            || !m_console.type(QStringLiteral("target"), target)
            || !m_console.click(QStringLiteral("start")))
            return false;
        run(seconds);
        return true;
    }

    void run(double seconds)
    {
        for (int tick = 0; tick < int(seconds * 10); ++tick) {
            m_console.tick(1);
            m_now += 0.1;
            const QByteArray sent = m_console.port().sent();
            if (sent.size() > m_handedOn) {
                m_controller.receive(std::string_view(sent).substr(std::size_t(m_handedOn)), m_now);
                m_handedOn = sent.size();
            }
            m_controller.advance(m_now);
            m_console.receive(QByteArray::fromStdString(m_controller.outbox()));
            m_controller.outbox().clear();
        }
    }

private:
    OfflineConsole m_console;
    ControllerSimulator m_controller;
    double m_now = 0.0;
    qsizetype m_handedOn = 0;
};

struct Tuned
{
    int exitCode = -1;
    QByteArray out;
    QByteArray error;
    QJsonObject json() const { return QJsonDocument::fromJson(out).object(); }
};

Tuned tune(const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TERMIVA_TUNE_BINARY), arguments);
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

PlantModelDialog *plantModelOfNewestRun(OfflineConsole &console)
{
    if (!console.choose(QStringLiteral("perfor_index_2"), QStringLiteral("运行记录…")))
        return nullptr;
    auto *history = console.window().findChild<RunsDialog *>();
    if (!history || !QTest::qWaitFor([history] { return !history->isReading(); })
        || !console.selectRows(QStringLiteral("runs"), {1}))
        return nullptr;
    history->findChild<QPushButton *>(QStringLiteral("plantModel"))->click();
    auto *dialog = history->findChild<PlantModelDialog *>();
    return dialog && QTest::qWaitFor([dialog] { return !dialog->isFitting(); }, 30000) ? dialog
                                                                                       : nullptr;
}

} // namespace

/// The plant model as a user reaches it: from the record the window wrote, in the run history's
/// dialog and from termiva-tune, which must agree.
class tst_PlantModel : public QObject
{
    Q_OBJECT

private slots:
    void stepTestRunGivesThePlant();
    void runThatNeverMovedGetsTheReason();
    void adviceAppliedIsVerified();
    void disputedLawIsConfirmedFirst();
    void adviceFieldsRefuseLikeTheStepTest_data();
    void adviceFieldsRefuseLikeTheStepTest();
    void tuneSaysWhatItCannotRead_data();
    void tuneSaysWhatItCannotRead();
    void tuneShowsOnlyFiniteFigures_data();
    void tuneShowsOnlyFiniteFigures();
};

/// A step test on a plant of 120 s and 6 s: the run starts at the step, so the lines before it,
/// from the run before, tell the state the plant started from.
void tst_PlantModel::stepTestRunGivesThePlant()
{
    ControllerSimulator::Options options;
    options.setTenths = 0; // the heater off, at rest at the ambient
    options.plant.timeConstant = 120;
    options.plant.deadTime = 6;
    options.seed = 7;
    ConsoleOnController bench(options);
    OfflineConsole &console = bench.console();
    bench.run(30);
    QVERIFY(bench.stepTo(QStringLiteral("60"), 600));

    PlantModelDialog *dialog = plantModelOfNewestRun(console);
    QVERIFY(dialog);
    QVERIFY2(dialog->plant()->model, qPrintable(dialog->plant()->refusal));
    const PlantModel &model = *dialog->plant()->model;
    QVERIFY2(std::abs(model.timeConstant / 120 - 1) < 0.05,
        qPrintable(QString::number(model.timeConstant)));
    QVERIFY2(std::abs(model.deadTime - 6) < 0.5, qPrintable(QString::number(model.deadTime)));
    QVERIFY2(std::abs(model.fullOutputGain() / 50 - 1) < 0.05,
        qPrintable(QString::number(model.fullOutputGain())));
    QVERIFY(dialog->findChild<QWidget *>(QStringLiteral("modelPlot"))->isVisible());
    QVERIFY(dialog->findChild<QLabel *>(QStringLiteral("lawCheck"))
                ->text()
                .contains(u"P_SCALE 1 与记录相符"));

    const QStringList records = QDir(console.window().recordsDirectory()).entryList({"*_COM*.csv"});
    QCOMPARE(records.size(), 1);
    const Tuned tuned =
        tune({QDir(console.window().recordsDirectory()).filePath(records.front()), "--json"});
    QCOMPARE(tuned.exitCode, 0);
    const QJsonObject printed = tuned.json().value("model").toObject();
    QCOMPARE(printed.value("tau_s").toDouble(), model.timeConstant);
    QCOMPARE(printed.value("dead_time_s").toDouble(), model.deadTime);
    QCOMPARE(printed.value("gain_c_per_count").toDouble(), model.gain);
    QCOMPARE(printed.value("tau_sd").toDouble(), model.timeConstantSd);
    QCOMPARE(printed.value("lines").toInt(), model.lines);
    // Times as the record writes them, so that a script finds the lines fitted.
    QFile record(QDir(console.window().recordsDirectory()).filePath(records.front()));
    QVERIFY(record.open(QIODevice::ReadOnly));
    const QByteArray rows = record.readAll();
    QVERIFY(rows.contains(printed.value("from").toString().toUtf8() + ','));
    QVERIFY(rows.contains(printed.value("to").toString().toUtf8() + ','));

    // Advice on the same model: the gains in use, the rules and the recommended set; one set
    // predicted alone gives the figures the table gave it.
    const QString recordPath = QDir(console.window().recordsDirectory()).filePath(records.front());
    // Kept for the next step, any integral this heater needs winds past 0.5 °C: 1 °C is allowed.
    const Tuned advised =
        tune({recordPath, "--json", "--advise", "--step", "50:60", "--overshoot", "1"});
    QCOMPARE(advised.exitCode, 0);
    QStringList names;
    QJsonObject current;
    for (const QJsonValue &candidate : advised.json().value("candidates").toArray()) {
        names << candidate["name"].toString();
        if (names.back() == u"current")
            current = candidate.toObject();
        if (names.back() == u"recommended") {
            QVERIFY(candidate["predicted"]["overshoot_c"].toDouble() <= 1);
            QVERIFY(candidate["predicted_kept"]["overshoot_c"].toDouble() <= 1);
        }
    }
    QCOMPARE(names,
        QStringList({"current", "simc_tight", "simc_smooth", "amigo_pi", "amigo_pid", "relay_zn",
            "recommended"}));
    QCOMPARE(QList<int>({current["p"].toInt(), current["i"].toInt(), current["d"].toInt()}),
        QList<int>({10, 5, 2}));
    const Tuned alone = tune({recordPath, "--json", "--predict", "10,5,2", "--step", "50:60"});
    QCOMPARE(alone.json().value("candidates").toArray().at(0)["predicted"].toObject(),
        current["predicted"].toObject());
    // Resting under a set itself is the kept use the advice gave beside the applied one.
    const QJsonObject kept =
        tune({recordPath, "--json", "--predict", "999,3,0", "--step", "50:60", "--resting", "self"})
            .json()
            .value("candidates")
            .toArray()
            .at(0)
            .toObject();
    const QJsonObject both = tune({recordPath, "--json", "--predict", "999,3,0", "--step", "50:60"})
                                 .json()
                                 .value("candidates")
                                 .toArray()
                                 .at(0)
                                 .toObject();
    QCOMPARE(kept["predicted"].toObject(), both["predicted_kept"].toObject());
    QVERIFY(!kept.contains("predicted_kept"));
}

void tst_PlantModel::runThatNeverMovedGetsTheReason()
{
    ControllerSimulator::Options options;
    options.setTenths = 0;
    ConsoleOnController bench(options);
    bench.run(60);
    PlantModelDialog *dialog = plantModelOfNewestRun(bench.console());
    QVERIFY(dialog);
    QVERIFY(!dialog->plant()->model);
    const QString refusal = dialog->findChild<QLabel *>(QStringLiteral("refusal"))->text();
    QCOMPARE(refusal, QStringLiteral("无法拟合：输出一直在 0（极限），看不出过程的响应"));

    const QString directory = bench.console().window().recordsDirectory();
    const Tuned tuned = tune(
        {QDir(directory).filePath(QDir(directory).entryList({"*_COM*.csv"}).value(0)), "--json"});
    QCOMPARE(tuned.exitCode, 3);
    QCOMPARE(tuned.json().value("refused").toString(),
        QStringLiteral("输出一直在 0（极限），看不出过程的响应"));
}

/// The loop as a user closes it: a heat-up with the default gains, 整定建议… on it, the
/// recommended set applied with a step from 50 to 60 °C, its predicted curve on the chart, and
/// the history holding what was predicted beside what the step measured.
void tst_PlantModel::adviceAppliedIsVerified()
{
    ControllerSimulator::Options options;
    options.setTenths = 0;
    options.seed = 11;
    ConsoleOnController bench(options);
    OfflineConsole &console = bench.console();
    bench.run(30);
    QVERIFY(bench.stepTo(QStringLiteral("60"), 400));
    QVERIFY(bench.stepTo(QStringLiteral("50"), 400));
    // The run in progress, the cooling, is advised on from the figures' menu.
    QVERIFY(console.choose(QStringLiteral("perfor_index_2"), QStringLiteral("整定建议…")));
    auto *onRunInProgress = console.window().findChild<TuningAdviceDialog *>();
    QVERIFY(onRunInProgress
        && QTest::qWaitFor([onRunInProgress] { return !onRunInProgress->isWorking(); }, 30000));
    QVERIFY2(onRunInProgress->plant()->model, qPrintable(onRunInProgress->plant()->refusal));
    QCOMPARE(onRunInProgress->advice()->candidates.size(), std::size_t(7));
    // Resting at the set point: a step up to it from 10 °C below is offered.
    QCOMPARE(onRunInProgress->findChild<QLineEdit *>(QStringLiteral("stepFrom"))->text(),
        QStringLiteral("40.0"));
    delete onRunInProgress;

    QVERIFY(console.choose(QStringLiteral("perfor_index_2"), QStringLiteral("运行记录…")));
    auto *history = console.window().findChild<RunsDialog *>();
    QVERIFY(history && QTest::qWaitFor([history] { return !history->isReading(); }));
    QVERIFY(console.selectRows(QStringLiteral("runs"), {2})); // the heat-up, under the cooling
    QVERIFY(console.click(QStringLiteral("tuningAdvice")));
    auto *advice = console.window().findChild<TuningAdviceDialog *>();
    QVERIFY(advice && QTest::qWaitFor([advice] { return !advice->isWorking(); }, 30000));
    QVERIFY(console.type(QStringLiteral("stepFrom"), QStringLiteral("50")));
    QVERIFY(console.type(QStringLiteral("stepTo"), QStringLiteral("60")));
    QVERIFY(console.click(QStringLiteral("recalculate")));
    QVERIFY(QTest::qWaitFor([advice] { return !advice->isWorking(); }, 30000));
    QVERIFY2(advice->plant() && advice->plant()->model,
        qPrintable(advice->plant() ? advice->plant()->refusal : QString()));
    const TuningAdvice::Candidate *chosen = advice->chosen();
    QVERIFY(chosen && chosen->kind == TuningAdvice::Kind::Recommended);
    QCOMPARE(advice->advice()->candidates.size(), std::size_t(7));
    const GainSet gains = chosen->gains;
    const ResponseFigures predicted = chosen->prediction.figures;
    QVERIFY(predicted.overshoot <= 0.5);
    QTemporaryDir reports;
    QVERIFY(!advice->exportReport(reports.filePath("report.html")));
    QVERIFY(QFileInfo(reports.filePath("report.pdf")).size() > 0);

    QVERIFY(console.click(QStringLiteral("apply")));
    QCOMPARE(console.text(QStringLiteral("target")), QStringLiteral("60.0"));
    QCOMPARE(console.text(QStringLiteral("p")), QString::number(gains.p));
    QVERIFY(console.click(QStringLiteral("start")));
    bench.run(5);
    QCOMPARE(console.text(QStringLiteral("lblStatus")),
        QStringLiteral("控制器已确认：设定 60.0 ℃，P %1，I %2，D %3")
            .arg(gains.p)
            .arg(gains.i)
            .arg(gains.d));
    const QList<ChartOverlay> overlays =
        console.control<ucHistogram>(QStringLiteral("ucHistogram1"))->overlays();
    QCOMPARE(overlays.size(), 1);
    QVERIFY(overlays.front().legend.startsWith(u"预测"));
    bench.run(chosen->prediction.lines.back().milliseconds / 1000.0 + 5);
    QVERIFY(console.choose(QStringLiteral("ucHistogram1"), QStringLiteral("清除对比")));
    QVERIFY(console.control<ucHistogram>(QStringLiteral("ucHistogram1"))->overlays().isEmpty());
    QVERIFY(console.click(QStringLiteral("runtimeclear")));

    const QString runsFile =
        QDir(console.window().recordsDirectory()).filePath(RunRecorder::runsFileName());
    QFile runs(runsFile);
    QVERIFY(runs.open(QIODevice::ReadOnly));
    const QList<QStringList> rows = CsvFormat::parse(QString::fromUtf8(runs.readAll()));
    QCOMPARE(rows.front(), RunRecorder::runColumns());
    const std::optional<RunVerification> verified = RunVerification::fromRow(rows[0], rows.back());
    QVERIFY2(verified && verified->measuredIae && verified->measuredSettling,
        qPrintable(rows.back().join(u',')));
    QVERIFY2(verified->strayed().isEmpty(), qPrintable(verified->strayed().join(", ")));
    QVERIFY(!RunVerification::fromRow(rows[0], rows[1])); // a run with no prediction

    // The report from a shell, of the verified run, holds its predicted and measured figures.
    const QString record = QDir(console.window().recordsDirectory())
                               .filePath(rows.back().value(rows[0].indexOf("record")));
    const QString report = reports.filePath("verified.html");
    const Tuned reported =
        tune({record, "--run-start", rows.back().value(0), "--step", "50:60", "--report", report});
    QCOMPARE(reported.exitCode, 0);
    QCOMPARE(reported.error, QByteArray());
    QFile html(report);
    QVERIFY(html.open(QIODevice::ReadOnly));
    const QString written = QString::fromUtf8(html.readAll());
    QVERIFY(written.contains(u"预测与实测"));
    QVERIFY(written.contains(QString::number(*verified->measuredIae, 'f', 1)));
    QVERIFY(QFileInfo(reports.filePath("verified.pdf")).size() > 0);

    // runs.csv is read from its end back to the run's row: an old row broken mid-quote, which
    // read whole swallowed every row after it, keeps nothing from the report.
    runs.close();
    QVERIFY(runs.open(QIODevice::ReadOnly));
    QByteArray runsText = runs.readAll();
    runs.close();
    runsText.insert(runsText.indexOf('\n') + 1, "2026-12-08T08:00:00.000+08:00,\"never closed\r\n");
    QVERIFY(runs.open(QIODevice::WriteOnly | QIODevice::Truncate));
    runs.write(runsText);
    runs.close();
    QCOMPARE(
        tune({record, "--run-start", rows.back().value(0), "--step", "50:60", "--report", report})
            .exitCode,
        0);
    html.close();
    QVERIFY(html.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(html.readAll()).contains(u"预测与实测"));
}

/// Settings whose I scale is five times too small: the advice says the record disputes them and
/// recommends nothing until the operator confirms them. Advised on while disconnected, the step
/// is the run's own.
void tst_PlantModel::disputedLawIsConfirmedFirst()
{
    QTemporaryDir applicationDir;
    QFile settings(QDir(applicationDir.path()).filePath(QStringLiteral("tarvex.ini")));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("[TUNING]\nI_SCALE=0.04\n");
    settings.close();
    ControllerSimulator::Options options;
    options.setTenths = 500;
    options.seed = 5;
    ConsoleOnController bench(options, applicationDir.path());
    OfflineConsole &console = bench.console();
    bench.run(600);
    QVERIFY(bench.stepTo(QStringLiteral("65"), 300));
    QVERIFY(console.click(QStringLiteral("cmdDisconnect")));

    QVERIFY(console.choose(QStringLiteral("perfor_index_2"), QStringLiteral("运行记录…")));
    auto *history = console.window().findChild<RunsDialog *>();
    QVERIFY(history && QTest::qWaitFor([history] { return !history->isReading(); }));
    QVERIFY(console.selectRows(QStringLiteral("runs"), {1}));
    QVERIFY(console.click(QStringLiteral("tuningAdvice")));
    auto *advice = console.window().findChild<TuningAdviceDialog *>();
    QVERIFY(advice && QTest::qWaitFor([advice] { return !advice->isWorking(); }, 30000));
    QVERIFY2(advice->plant()->model, qPrintable(advice->plant()->refusal));
    QVERIFY(std::abs(console.text(QStringLiteral("stepFrom")).toDouble() - 50) <= 0.3);
    QCOMPARE(console.text(QStringLiteral("stepTo")), QStringLiteral("65.0"));
    QVERIFY2(console.text(QStringLiteral("lawCheck")).contains(u"I_SCALE 0.04 与记录不符"),
        qPrintable(console.text(QStringLiteral("lawCheck"))));
    QVERIFY(advice->findChild<QWidget *>(QStringLiteral("lawWarning"))->isVisibleTo(advice));
    QVERIFY(!advice->advice()->recommended());
    QVERIFY(advice->advice()->weighed.contains(u"刻度与记录不符"));

    QVERIFY(console.click(QStringLiteral("confirmLaw")));
    QVERIFY(QTest::qWaitFor([advice] { return !advice->isWorking(); }, 30000));
    QVERIFY(!advice->findChild<QWidget *>(QStringLiteral("lawWarning"))->isVisibleTo(advice));
    QVERIFY2(!advice->advice()->weighed.contains(u"刻度与记录不符"),
        qPrintable(advice->advice()->weighed));
}

void tst_PlantModel::adviceFieldsRefuseLikeTheStepTest_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("said");
    QTest::newRow("four hundred nines")
        << "stepTo" << QString(400, u'9') << "目标温度不能高于 999.9 ℃";
    QTest::newRow("below freezing") << "stepFrom"
                                    << "-300"
                                    << "起点温度不能低于 0 ℃";
    QTest::newRow("two decimals") << "stepTo"
                                  << "60.25"
                                  << "目标温度须为数字，最多一位小数";
    QTest::newRow("an overshoot of 1e308")
        << "overshootLimit" << QString(309, u'9') << "超调无法读取：";
    QTest::newRow("no overshoot") << "overshootLimit"
                                  << "0"
                                  << "超调无法读取：0";
}

/// The advice's fields refuse what the step test and termiva-tune refuse, in the same words,
/// on a line laid out for it: nothing below moves.
void tst_PlantModel::adviceFieldsRefuseLikeTheStepTest()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, said);
    ControllerSimulator::Options options;
    options.setTenths = 500;
    ConsoleOnController bench(options);
    OfflineConsole &console = bench.console();
    bench.run(400);
    QVERIFY(console.choose(QStringLiteral("perfor_index_2"), QStringLiteral("整定建议…")));
    auto *advice = console.window().findChild<TuningAdviceDialog *>();
    QVERIFY(advice && QTest::qWaitFor([advice] { return !advice->isWorking(); }, 30000));
    advice->show();
    QVERIFY(QTest::qWaitForWindowExposed(advice));
    const auto *table = advice->findChild<QWidget *>(QStringLiteral("candidates"));
    const int tableTop = table->mapTo(advice, QPoint()).y();
    // Laid out from the first paint: the rows clear of the text below them, the dialog narrow
    // enough for a screen of 1024 pixels.
    QVERIFY(table->geometry().bottom()
        < advice->findChild<QWidget *>(QStringLiteral("weighed"))->geometry().top());
    QVERIFY(advice->frameGeometry().width() <= 1024);
    QVERIFY(console.type(field, typed));
    QVERIFY(console.click(QStringLiteral("recalculate")));
    QVERIFY2(console.text(QStringLiteral("notice")).startsWith(said),
        qPrintable(console.text(QStringLiteral("notice"))));
    QCoreApplication::processEvents();
    QCOMPARE(table->mapTo(advice, QPoint()).y(), tableTop);
    QVERIFY(!advice->isWorking());
}

void tst_PlantModel::tuneSaysWhatItCannotRead_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("said");
    QTest::newRow("no record") << QStringList{"missing.csv"} << "找不到记录文件：";
    QTest::newRow("two records") << QStringList{"a.csv", "b.csv"} << "只能给一个";
    QTest::newRow("a time that is none")
        << QStringList{"a.csv", "--run-start", "noon"} << "时间无法读取：noon";
    QTest::newRow("no run at the time") << QStringList{"a.csv", "--run-start",
        "2026-12-08 08:00:00"} << "没有在 2026-12-08 08:00:00 进行的运行";
    QTest::newRow("settings missing")
        << QStringList{"a.csv", "--settings", "none.ini"} << "找不到设置文件：";
    QTest::newRow("English") << QStringList{"missing.csv", "--lang", "en"}
                             << "Record file not found: missing.csv";
    QTest::newRow("an option unknown") << QStringList{"a.csv", "--fast"} << "fast";
    QTest::newRow("advice without a step") << QStringList{"a.csv", "--advise"} << "--step FROM:TO";
    QTest::newRow("a step that is none")
        << QStringList{"a.csv", "--advise", "--step", "60"} << "阶跃无法读取：60";
    QTest::newRow("gains out of range") << QStringList{"a.csv", "--predict", "10,5,1000", "--step",
        "50:60"} << "增益无法读取：10,5,1000";
    QTest::newRow("a start below freezing")
        << QStringList{"a.csv", "--advise", "--step", "-300:60"} << "起点温度不能低于 0 ℃";
    QTest::newRow("a scale of zero") << QStringList{"a.csv", "--settings", "zero.ini"}
                                     << "设置文件 [TUNING] 中的 P_SCALE=0 不能用";
    QTest::newRow("limits that leave no range")
        << QStringList{"a.csv", "--settings", "range.ini"} << "OUTPUT_MIN=255 不小于 OUTPUT_MAX=0";
    QTest::newRow("resting gains that are none") << QStringList{"a.csv", "--advise", "--step",
        "50:60", "--resting", "10,5"} << "阶跃前的增益无法读取：10,5";
    QTest::newRow("no overshoot") << QStringList{"a.csv", "--advise", "--step", "50:60",
        "--overshoot", "0"} << "超调无法读取：0";
}

void tst_PlantModel::tuneSaysWhatItCannotRead()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, said);
    QTemporaryDir directory;
    QFile record(directory.filePath("a.csv"));
    QVERIFY(record.open(QIODevice::WriteOnly));
    record.write("time,run_s,kind,current_c\n2026-12-08T09:30:00.000+08:00,0,line,25.0\n");
    record.close();
    for (const auto &[name, text] : {std::pair{"zero.ini", "[TUNING]\nP_SCALE=0\n"},
             std::pair{"range.ini", "[TUNING]\nOUTPUT_MIN=255\nOUTPUT_MAX=0\n"}}) {
        QFile settings(directory.filePath(QLatin1String(name)));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write(text);
    }
    QProcess process;
    process.setWorkingDirectory(directory.path());
    // As from a root shell or a service, where the toolkit would note the missing folder.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TERMIVA_TUNE_BINARY), arguments);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 2);
    const QString error = QString::fromUtf8(process.readAllStandardError());
    QVERIFY2(error.contains(said), qPrintable(error));
    // Its own words only, one refusal.
    QVERIFY2(error.startsWith(QStringLiteral("termiva-tune: ")) && error.count(u'\n') == 1
            && error.endsWith(u'\n'),
        qPrintable(error));
    QCOMPARE(process.readAllStandardOutput(), QByteArray());
}

void tst_PlantModel::tuneShowsOnlyFiniteFigures_data()
{
    QTest::addColumn<QString>("broken");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");
    QTest::newRow("the clock set back an hour") << "back an hour" << 0 << "倒退或跳变";
    QTest::newRow("times shuffled") << "shuffled" << 3 << "无法拟合";
}

/// Advice from a record whose clock was set, or whose rows are out of order: a model from what
/// is whole in it, or a refusal, and never a figure that is no finite number.
void tst_PlantModel::tuneShowsOnlyFiniteFigures()
{
    QFETCH(QString, broken);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    SimulatedRun::Experiment experiment;
    experiment.startTenths = 500;
    experiment.settleSeconds = 600;
    experiment.leadSeconds = 60;
    experiment.stepAfterMs = 200;
    RecordText record(SimulatedRun::stepTest(experiment), GainSet{10, 5, 2},
        QDateTime::fromString(QStringLiteral("2026-12-08T09:30:00.000+08:00"), Qt::ISODateWithMs));
    if (broken == u"back an hour")
        record.moveTimes(900, record.lines(), -3600 * 1000);
    else
        record.shuffleTimes(1);
    QTemporaryDir directory;
    QFile file(directory.filePath("a.csv"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(record.bytes());
    file.close();
    const Tuned tuned = tune({file.fileName(), "--advise", "--step", "50:60"});
    const QString printed = QString::fromUtf8(tuned.out);
    QCOMPARE(tuned.exitCode, exitCode);
    QVERIFY2(printed.contains(said), qPrintable(printed));
    for (const char *notANumber : {"nan", "inf", "e+", "2147483648"})
        QVERIFY2(!printed.contains(QLatin1String(notANumber)), qPrintable(printed));
}

QTEST_MAIN(tst_PlantModel)
#include "tst_plant_model.moc"
