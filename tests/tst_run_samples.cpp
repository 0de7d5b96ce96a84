#include "record_text.h"
#include "records/recorded_plant.h"
#include "records/run_samples.h"
#include "simulated_run.h"
#include "tuning/fit_window.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QDateTime kBase =
    QDateTime::fromString(QStringLiteral("2026-12-08T10:00:00.000+08:00"), Qt::ISODateWithMs);

QByteArray timeAt(double seconds)
{
    return kBase.addMSecs(qint64(seconds * 1000))
        .toOffsetFromUtc(8 * 3600)
        .toString(Qt::ISODateWithMs)
        .toUtf8();
}

/// A line a second: run A from 0 s with the link lost at 5 s and back at 6 s, run B (the
/// longest) from 10 s, run C from 30 s; the output 39.22 % is level 100. The gains are the
/// cells p, i and d.
QByteArray threeRuns(const QByteArray &gains)
{
    QByteArray text = "time,run_s,kind,set_c,current_c,output_pct,p,i,d,text\r\n";
    const auto line = [&text, &gains](int at, int runSeconds) {
        text += timeAt(at) + ',' + QByteArray::number(runSeconds) + ",line,60.0,"
            + QByteArray::number(25 + at) + ".0,39.22," + gains + ",st=0600\r\n";
    };
    for (int at = 0; at < 5; ++at)
        line(at, at);
    text += timeAt(5) + ",5,lost,,,,,,,COM1 gone\r\n";
    text += timeAt(6) + ",6,reconnected,,,,,,,/dev/pts/3\r\n";
    for (int at = 7; at < 10; ++at)
        line(at, at);
    text += timeAt(9.5) + ",9.5,sent,,,,,,,S0700\r\n";
    for (int at = 10; at < 30; ++at)
        line(at, at - 10);
    for (int at = 30; at < 33; ++at)
        line(at, at - 30);
    return text;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QList<int> sizes(const std::vector<PlantStretch> &stretches)
{
    QList<int> counted;
    for (const PlantStretch &stretch : stretches)
        counted.append(int(stretch.size()));
    return counted;
}

} // namespace

class tst_RunSamples : public QObject
{
    Q_OBJECT

private slots:
    void findsTheRunAndItsLeadIn_data();
    void findsTheRunAndItsLeadIn();
    void recordFromAnotherToolHasNoOutput();
    void stepTestRunIsFitted_data();
    void stepTestRunIsFitted();
};

void tst_RunSamples::findsTheRunAndItsLeadIn_data()
{
    // A moment of -1 reads the record's longest run; "row" reads a runs.csv row from the moment
    // the run time was cleared to its end.
    QTest::addColumn<QString>("source");
    QTest::addColumn<double>("moment");
    QTest::addColumn<int>("startSecond");
    QTest::addColumn<QList<int>>("stretches");
    QTest::addColumn<bool>("leadIn");
    QTest::addColumn<bool>("found");
    QTest::newRow("longest: lines since the link came back lead in")
        << "record" << -1.0 << 10 << QList<int>{23} << true << true;
    QTest::newRow("the run at a moment, split by the lost link")
        << "record" << 1.0 << 0 << QList<int>{5, 3} << false << true;
    QTest::newRow("a run starting within a second of the moment")
        << "record" << 9.5 << 10 << QList<int>{23} << true << true;
    QTest::newRow("the last run: every line since the link came back leads in")
        << "record" << 31.0 << 30 << QList<int>{26} << true << true;
    QTest::newRow("after the record") << "record" << 40.0 << 0 << QList<int>{} << false << false;
    QTest::newRow("before the record") << "record" << -10.0 << 0 << QList<int>{} << false << false;
    QTest::newRow("runs.csv row") << "row" << 9.6 << 10 << QList<int>{23} << true << true;
    // Written while the record kept only the gains a slider took: every line reads, without them.
    QTest::newRow("an older record, its gains empty")
        << "older" << -1.0 << 10 << QList<int>{23} << true << true;
}

void tst_RunSamples::findsTheRunAndItsLeadIn()
{
    QFETCH(QString, source);
    QFETCH(double, moment);
    QFETCH(int, startSecond);
    QFETCH(QList<int>, stretches);
    QFETCH(bool, leadIn);
    QFETCH(bool, found);
    QTemporaryDir directory;
    const QString record = directory.filePath(QStringLiteral("a.csv"));
    const bool older = source == QLatin1String("older");
    QVERIFY(writeFile(record, threeRuns(older ? ",," : "12,5,2")));
    const std::optional<qint64> at = moment == -1.0
        ? std::nullopt
        : std::optional<qint64>(kBase.toMSecsSinceEpoch() + qint64(moment * 1000));
    const RunSamples samples = source == QLatin1String("row")
        ? RunSamples::ofRun(directory.path(),
            {QStringLiteral("start"), QStringLiteral("end"), QStringLiteral("record")},
            {QString::fromUtf8(timeAt(moment)), QString::fromUtf8(timeAt(29.9)),
                QStringLiteral("a.csv")})
        : RunSamples::ofRecord(record, at);
    QCOMPARE(samples.isValid(), found);
    if (!found) {
        QVERIFY(samples.problem().contains(record));
        return;
    }
    QCOMPARE(sizes(samples.stretches()), stretches);
    QCOMPARE(samples.runStart(), kBase.toMSecsSinceEpoch() + startSecond * 1000);
    QCOMPARE(samples.notes().size(), leadIn ? 1 : 0);
    const PlantSample &first = samples.stretches().front().front();
    QCOMPARE(first.output, std::optional<double>(100.0));
    QCOMPARE(first.setPoint, std::optional<double>(60.0));
    QCOMPARE(first.p, older ? std::nullopt : std::optional<int>(12));
    QCOMPARE(first.d, older ? std::nullopt : std::optional<int>(2));
    QCOMPARE(
        first.temperature, 25.0 + double(first.milliseconds - kBase.toMSecsSinceEpoch()) / 1000);
}

/// Lines without an output level reach the fit, which says it needs one.
void tst_RunSamples::recordFromAnotherToolHasNoOutput()
{
    QTemporaryDir directory;
    const QString record = directory.filePath(QStringLiteral("other.csv"));
    QVERIFY(writeFile(record,
        "time,run_s,kind,current_c\n" + timeAt(0) + ",0,line,25.0\n" + timeAt(1)
            + ",1,line,25.5\n"));
    const RunSamples samples = RunSamples::ofRecord(record, std::nullopt);
    QVERIFY(samples.isValid());
    QCOMPARE(sizes(samples.stretches()), QList<int>{2});
    QVERIFY(!samples.stretches().front().back().output);
}

void tst_RunSamples::stepTestRunIsFitted_data()
{
    QTest::addColumn<QString>("broken");
    QTest::addColumn<QString>("noted");
    QTest::newRow("as recorded") << QString() << "运行开始（阶跃）前的 120 行";
    // The run's lines from 180 to 1380, the step at 180, settled by 900.
    QTest::newRow("one row six months early") << "six months early"
                                              << "记录的时间有 2 处倒退或跳变";
    QTest::newRow("the clock set back an hour") << "back an hour"
                                                << "记录的时间有 1 处倒退或跳变";
    // Two minutes, less than any silence a fit splits a run at: only the run time tells.
    QTest::newRow("the computer asleep for two minutes") << "asleep"
                                                         << "记录的时间有 1 处倒退或跳变";
    QTest::newRow("60 rows whose time cannot be read") << "untimed"
                                                       << "记录文件中有 60 行的时间无法读取";
    QTest::newRow("60 rows whose temperature is no number") << "no temperature"
                                                            << "有 60 行的温度（current_c）不是数";
    QTest::newRow("60 rows cut short") << "cut short"
                                       << "记录文件中有 60 行的列不全";
    // The run's 43,200 lines after the step and the 121 of the minute before it, as read.
    QTest::newRow("held six hours after the step")
        << "six hours"
        << QStringLiteral("其余 %1 行未用").arg(121 + 43200 - int(FitWindow::kMostLines));
}

/// A step test from rest at 50 °C under gains whose derivative makes the output at rest jump by
/// tens of counts: its run starts at the step, and the minute of rest before it in the record is
/// what the step started from, not a change of its own. A record whose clock was set, or whose
/// rows cannot all be read, is fitted on what is whole in it and says what it left.
void tst_RunSamples::stepTestRunIsFitted()
{
    QFETCH(QString, broken);
    QFETCH(QString, noted);
    const GainSet gains{45, 13, 14};
    SimulatedRun::Experiment experiment;
    experiment.seed = 3;
    experiment.p = gains.p;
    experiment.i = gains.i;
    experiment.d = gains.d;
    experiment.startTenths = 500;
    experiment.settleSeconds = 600;
    experiment.leadSeconds = 90;
    experiment.stepAfterMs = 200;
    if (broken == u"six hours")
        experiment.stepSeconds = 6 * 3600;
    const SimulatedRun::StepTest run = SimulatedRun::stepTest(experiment);
    RecordText record(run, gains, kBase);
    QCOMPARE(record.lines(), std::size_t(180 + 2 * experiment.stepSeconds));
    constexpr qint64 kHour = 3600 * 1000;
    if (broken == u"six months early")
        record.moveTimes(1100, 1101, -182 * 24 * kHour);
    else if (broken == u"back an hour")
        record.moveTimes(1100, record.lines(), -kHour);
    else if (broken == u"asleep")
        record.moveTimes(1100, record.lines(), 2 * 60 * 1000);
    else if (broken == u"untimed")
        record.setField(900, 960, RecordText::kTime, "2026-13-45T99:00:00.000+08:00");
    else if (broken == u"no temperature")
        record.setField(900, 960, RecordText::kCurrent, "nan");
    else if (broken == u"cut short")
        record.cutShort(900, 960);
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("a.csv"));
    QVERIFY(writeFile(path, record.bytes()));
    const double step = double(run.stepMilliseconds - run.lines.front().milliseconds) / 1e3;
    const double end = double(run.lines.back().milliseconds - run.lines.front().milliseconds) / 1e3;
    // As the run history reads a runs.csv row; a record whose clock was set, as termiva-tune.
    const RecordedPlant plant = broken.isEmpty()
        ? RecordedPlant::ofRun(directory.path(),
            {QStringLiteral("start"), QStringLiteral("end"), QStringLiteral("record")},
            {QString::fromUtf8(timeAt(step)), QString::fromUtf8(timeAt(end)),
                QStringLiteral("a.csv")},
            ControllerLaw())
        : RecordedPlant::ofRecord(path, std::nullopt, ControllerLaw());
    QVERIFY2(plant.model, qPrintable(plant.refusal));
    const PlantModel &model = *plant.model;
    QVERIFY2(plant.notes.join(u'|').contains(noted), qPrintable(plant.notes.join(u'|')));
    const QString figures = QStringLiteral("K %1 ± %2, τ %3 ± %4, θ %5 ± %6")
                                .arg(model.fullOutputGain())
                                .arg(model.gainError() * PlantModel::kFullOutput)
                                .arg(model.timeConstant)
                                .arg(model.timeConstantError())
                                .arg(model.deadTime)
                                .arg(model.deadTimeError());
    QVERIFY2(model.isUsable(), qPrintable(figures));
    QVERIFY(plant.fitted.size() <= FitWindow::kMostLines);
    QVERIFY2(std::abs(model.fullOutputGain() - 50) <= model.gainError() * PlantModel::kFullOutput,
        qPrintable(figures));
    QVERIFY2(std::abs(model.timeConstant - 60) <= model.timeConstantError(), qPrintable(figures));
    QVERIFY2(std::abs(model.deadTime - 3) <= model.deadTimeError(), qPrintable(figures));
}

QTEST_GUILESS_MAIN(tst_RunSamples)
#include "tst_run_samples.moc"
