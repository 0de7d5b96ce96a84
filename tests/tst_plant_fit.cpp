#include "simulated_run.h"
#include "tuning/fit_window.h"
#include "tuning/law_check.h"
#include "tuning/plant_fit.h"
#include "tuning/plant_model_text.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <random>

Q_DECLARE_METATYPE(SimulatedRun::Experiment)

namespace {
/// What the fits of one experiment over several noise seeds came to against the plant's truth.
struct Spread
{
    double gain = 0.0; // rms of the relative error
    double timeConstant = 0.0; // rms of the relative error
    double deadTime = 0.0; // rms error in seconds
    double deadTimeBias = 0.0; // mean error in seconds
    int gainCovered = 0;
    int timeConstantCovered = 0;
    int deadTimeCovered = 0;
    int fitted = 0;
    QString refusal;
};

/// Each seed's step sent somewhere else between two lines, and fitted as the run history fits a
/// step test's run: the run starts at the step, the lines before it lead in.
Spread fitOverSeeds(SimulatedRun::Experiment experiment, int seeds)
{
    Spread spread;
    const HeaterPlant::Parameters truth = experiment.plant;
    const double trueGain = truth.gain / PlantModel::kFullOutput;
    for (int seed = 1; seed <= seeds; ++seed) {
        experiment.seed = unsigned(seed);
        experiment.stepAfterMs = SimulatedRun::stepAfterMs(experiment.periodMs, unsigned(seed));
        const SimulatedRun::StepTest run = SimulatedRun::stepTest(experiment);
        const PlantFit::Outcome outcome = PlantFit::fitRun({run.lines}, run.stepMilliseconds);
        if (!outcome.model) {
            spread.refusal = outcome.refusal;
            return spread;
        }
        const PlantModel &model = *outcome.model;
        const double gain = model.gain / trueGain - 1;
        const double timeConstant = model.timeConstant / truth.timeConstant - 1;
        const double deadTime = model.deadTime - truth.deadTime;
        spread.gain += gain * gain / seeds;
        spread.timeConstant += timeConstant * timeConstant / seeds;
        spread.deadTime += deadTime * deadTime / seeds;
        spread.deadTimeBias += deadTime / seeds;
        spread.gainCovered += std::abs(model.gain - trueGain) <= model.gainError();
        spread.timeConstantCovered +=
            std::abs(model.timeConstant - truth.timeConstant) <= model.timeConstantError();
        spread.deadTimeCovered += std::abs(deadTime) <= model.deadTimeError();
        ++spread.fitted;
    }
    spread.gain = std::sqrt(spread.gain);
    spread.timeConstant = std::sqrt(spread.timeConstant);
    spread.deadTime = std::sqrt(spread.deadTime);
    return spread;
}

HeaterPlant::Parameters plantOf(double gain, double timeConstant, double deadTime,
    double ambient = HeaterPlant::Parameters().ambient)
{
    HeaterPlant::Parameters plant;
    plant.gain = gain;
    plant.timeConstant = timeConstant;
    plant.deadTime = deadTime;
    plant.ambient = ambient;
    return plant;
}

SimulatedRun::Experiment heatUp(const HeaterPlant::Parameters &plant, int periodMs = 500)
{
    SimulatedRun::Experiment experiment;
    experiment.plant = plant;
    experiment.periodMs = periodMs;
    experiment.stepSeconds = std::max(600.0, 5 * plant.timeConstant);
    // The heater off: at rest at the ambient, the output held at nothing.
    experiment.startTenths = 0;
    return experiment;
}

SimulatedRun::Experiment heatUp(double gain, double timeConstant, double deadTime)
{
    return heatUp(plantOf(gain, timeConstant, deadTime));
}

/// From rest at 50 °C to 60 °C, with the minute before the step that the run history leads in.
SimulatedRun::Experiment stepFromSteadyState(const HeaterPlant::Parameters &plant)
{
    SimulatedRun::Experiment experiment = heatUp(plant);
    experiment.startTenths = 500;
    experiment.settleSeconds = 10 * plant.timeConstant + 300;
    experiment.leadSeconds = 60;
    return experiment;
}

SimulatedRun::Experiment stepFromSteadyState(double gain, double timeConstant, double deadTime)
{
    return stepFromSteadyState(plantOf(gain, timeConstant, deadTime));
}
} // namespace

/// The plant model fitted to runs of the simulator's controller, whose plant is known.
class tst_PlantFit : public QObject
{
    Q_OBJECT

private slots:
    void fitsThePlant_data();
    void fitsThePlant();
    void approximatesALaggingSensor();
    void refusesWhatCannotTellThePlant_data();
    void refusesWhatCannotTellThePlant();
    void fitsTheLongestStretchOfABrokenRun_data();
    void fitsTheLongestStretchOfABrokenRun();
    void leavesOutLinesHeldAtAConnect_data();
    void leavesOutLinesHeldAtAConnect();
    void restingOutputIsTheMeanBeforeTheStep();
    void lawCheckIntegratesAsTheControllerDoes();
    void lawCheckFindsScalesOff_data();
    void lawCheckFindsScalesOff();
    void lawCheckNeverAsksForAWrongScale_data();
    void lawCheckNeverAsksForAWrongScale();
};

void tst_PlantFit::fitsThePlant_data()
{
    QTest::addColumn<SimulatedRun::Experiment>("experiment");
    QTest::addColumn<int>("seeds");
    QTest::addColumn<double>("relativeGate"); // K and τ, rms over the seeds
    QTest::addColumn<double>("deadTimeGate"); // seconds, rms over the seeds
    QTest::addColumn<double>("deadTimeBiasGate"); // seconds, the mean error over the seeds
    const HeaterPlant::Parameters cooler = plantOf(35, 120, 6, 18);
    QTest::newRow("heat-up, default plant") << heatUp(50, 60, 3) << 30 << 0.02 << 0.3 << 0.05;
    QTest::newRow("10 °C step, default plant")
        << stepFromSteadyState(50, 60, 3) << 10 << 0.05 << 0.4 << 0.05;
    QTest::newRow("heat-up, slow plant") << heatUp(50, 150, 8) << 10 << 0.02 << 0.3 << 0.1;
    QTest::newRow("10 °C step, slow plant")
        << stepFromSteadyState(50, 150, 8) << 10 << 0.05 << 0.4 << 0.2;
    QTest::newRow("heat-up, fast plant") << heatUp(60, 20, 1) << 10 << 0.02 << 0.3 << 0.1;
    QTest::newRow("10 °C step, fast plant")
        << stepFromSteadyState(60, 20, 1) << 10 << 0.05 << 0.4 << 0.1;
    // A big heater: a short time constant fits its slow rise worse than a moderate one does.
    QTest::newRow("heat-up, heater of 1000 s") << heatUp(50, 1000, 30) << 10 << 0.02 << 0.5 << 0.2;
    QTest::newRow("heat-up, 35 °C at full output from 18 °C")
        << heatUp(cooler) << 10 << 0.02 << 0.3 << 0.05;
    // It tops out at 53 °C: the step is 3 °C with the output at full from the start.
    QTest::newRow("50 to 60 °C, 35 °C at full output from 18 °C")
        << stepFromSteadyState(cooler) << 10 << 0.03 << 0.8 << 0.5;
    QTest::newRow("heat-up, default plant, a line every 100 ms")
        << heatUp(plantOf(50, 60, 3), 100) << 10 << 0.02 << 0.1 << 0.02;
    QTest::newRow("heat-up, default plant, a line every 1000 ms")
        << heatUp(plantOf(50, 60, 3), 1000) << 10 << 0.02 << 0.4 << 0.1;
}

/// K, τ and θ against the truth over the seeds, θ not read long or short, and each ± holding the
/// truth in 9 fits of 10.
void tst_PlantFit::fitsThePlant()
{
    QFETCH(SimulatedRun::Experiment, experiment);
    QFETCH(int, seeds);
    QFETCH(double, relativeGate);
    QFETCH(double, deadTimeGate);
    QFETCH(double, deadTimeBiasGate);
    const Spread spread = fitOverSeeds(experiment, seeds);
    QVERIFY2(spread.fitted == seeds, qPrintable(spread.refusal));
    QVERIFY2(spread.gain <= relativeGate, qPrintable(QString::number(spread.gain)));
    QVERIFY2(spread.timeConstant <= relativeGate, qPrintable(QString::number(spread.timeConstant)));
    QVERIFY2(spread.deadTime <= deadTimeGate, qPrintable(QString::number(spread.deadTime)));
    QVERIFY2(std::abs(spread.deadTimeBias) <= deadTimeBiasGate,
        qPrintable(QString::number(spread.deadTimeBias)));
    const int covering = (9 * seeds + 9) / 10;
    QVERIFY2(spread.gainCovered >= covering, qPrintable(QString::number(spread.gainCovered)));
    QVERIFY2(spread.timeConstantCovered >= covering,
        qPrintable(QString::number(spread.timeConstantCovered)));
    QVERIFY2(
        spread.deadTimeCovered >= covering, qPrintable(QString::number(spread.deadTimeCovered)));
}

/// A sensor with a lag of its own is no first-order plant, but the model's curve stays near
/// the record's.
void tst_PlantFit::approximatesALaggingSensor()
{
    SimulatedRun::Experiment experiment = heatUp(50, 60, 3);
    experiment.plant.sensorLag = 10;
    const PlantFit::Outcome outcome = PlantFit::fit({SimulatedRun::record(experiment)});
    QVERIFY2(outcome.model, qPrintable(outcome.refusal));
    QVERIFY2(outcome.model->rms <= 0.3, qPrintable(QString::number(outcome.model->rms)));
    const std::vector<double> curve = outcome.model->predicted(outcome.fitted);
    double squared = 0.0;
    for (std::size_t k = 0; k < curve.size(); ++k)
        squared += std::pow(curve[k] - outcome.fitted[k].temperature, 2);
    QCOMPARE(std::sqrt(squared / double(curve.size())), outcome.model->rms);
}

void tst_PlantFit::refusesWhatCannotTellThePlant_data()
{
    QTest::addColumn<SimulatedRun::Experiment>("experiment");
    QTest::addColumn<QString>("reason");
    SimulatedRun::Experiment small = stepFromSteadyState(50, 60, 3);
    small.stepTenths = 520;
    QTest::newRow("a 2 °C step") << small << "不到 3 ℃";
    SimulatedRun::Experiment early = heatUp(50, 60, 3);
    early.leadSeconds = 5;
    QTest::newRow("5 s before the step") << early << "不足 10 s";
    SimulatedRun::Experiment pinned = heatUp(50, 60, 3);
    pinned.stepTenths = 900;
    pinned.stepSeconds = 120;
    QTest::newRow("the output at full all the time") << pinned << "极限";
    SimulatedRun::Experiment none = heatUp(50, 60, 3);
    none.stepSeconds = 0;
    none.leadSeconds = 60;
    QTest::newRow("never stepped") << none << "一直";
}

void tst_PlantFit::refusesWhatCannotTellThePlant()
{
    QFETCH(SimulatedRun::Experiment, experiment);
    QFETCH(QString, reason);
    PlantStretch run = SimulatedRun::record(experiment);
    if (QTest::currentDataTag() == QLatin1String("the output at full all the time"))
        run.erase(run.begin(), run.begin() + std::ptrdiff_t(experiment.leadSeconds * 2 + 1));
    const PlantFit::Outcome outcome = PlantFit::fit({run});
    QVERIFY(!outcome.model);
    QVERIFY2(outcome.refusal.contains(reason), qPrintable(outcome.refusal));
}

void tst_PlantFit::fitsTheLongestStretchOfABrokenRun_data()
{
    QTest::addColumn<QString>("broken");
    QTest::addColumn<double>("stepSeconds");
    QTest::addColumn<int>("stretches"); // 0: refused
    QTest::addColumn<int>("lines"); // of the model, -1 where refused, 0 for the response alone
    QTest::addColumn<QString>("noted");
    const QString parts = QStringLiteral("这次运行分成了 %1 段");
    QTest::newRow("a lost link") << "lost" << 600.0 << 2 << 1130 << parts.arg(2);
    // An NTP correction: the record's clock set back an hour after the response settled.
    QTest::newRow("the clock set back an hour")
        << "back an hour" << 600.0 << 2 << 1100 << parts.arg(2);
    QTest::newRow("one row six months early")
        << "six months early" << 600.0 << 3 << 1100 << parts.arg(3);
    QTest::newRow("ten minutes without a line")
        << "ten minutes" << 600.0 << 2 << 1100 << parts.arg(2);
    QTest::newRow("times shuffled") << "shuffled" << 600.0 << 0 << -1 << QString();
    // Six hours held after the heat-up: the fit holds the window around its change, then fits
    // the response alone.
    QTest::newRow("six hours held at the set point")
        << "" << 6 * 3600.0 << 1 << 0
        << QStringLiteral("其余 %1 行未用").arg(40 + 6 * 7200 - int(FitWindow::kMostLines));
}

/// A run is split where a lost link broke it, where its times run backwards or jump ahead by
/// more than a controller is ever silent; the model comes from its longest stretch, and says so.
/// Times out of order never make a model with figures that are not finite numbers.
void tst_PlantFit::fitsTheLongestStretchOfABrokenRun()
{
    QFETCH(QString, broken);
    QFETCH(double, stepSeconds);
    QFETCH(int, stretches);
    QFETCH(int, lines);
    QFETCH(QString, noted);
    SimulatedRun::Experiment experiment = heatUp(50, 60, 3);
    experiment.stepSeconds = stepSeconds;
    PlantStretch run = SimulatedRun::record(experiment);
    QCOMPARE(run.size(), std::size_t(40 + stepSeconds * 2));
    std::vector<PlantStretch> given{run};
    constexpr qint64 kHour = 3600 * 1000;
    if (broken == u"lost") {
        given = {
            PlantStretch(run.begin(), run.end() - 110), PlantStretch(run.end() - 100, run.end())};
    } else if (broken == u"back an hour" || broken == u"ten minutes") {
        for (std::size_t k = 1100; k < run.size(); ++k)
            given[0][k].milliseconds += broken == u"ten minutes" ? 10 * 60 * 1000 : -kHour;
    } else if (broken == u"six months early") {
        given[0][1100].milliseconds -= 182 * 24 * kHour;
    } else if (broken == u"shuffled") {
        std::vector<qint64> times;
        for (const PlantSample &line : run)
            times.push_back(line.milliseconds);
        std::mt19937 random(1);
        std::shuffle(times.begin(), times.end(), random);
        for (std::size_t k = 0; k < run.size(); ++k)
            given[0][k].milliseconds = times[k];
    }
    const PlantFit::Outcome outcome = PlantFit::fit(given);
    QCOMPARE(bool(outcome.model), stretches > 0);
    const QString notes = outcome.notes.join(u'|');
    if (!outcome.model) {
        QVERIFY(!outcome.refusal.isEmpty());
        return;
    }
    const PlantModel &model = *outcome.model;
    if (lines > 0)
        QCOMPARE(model.lines, lines);
    else
        QVERIFY2(model.lines < int(FitWindow::kMostLines) && notes.contains(u"只按最后一次变化"),
            qPrintable(notes));
    QVERIFY2(noted.isEmpty() ? outcome.notes.isEmpty() : notes.contains(noted), qPrintable(notes));
    QVERIFY2(stretches == 1 || notes.contains(QStringLiteral("最长的一段（%1 行）").arg(lines)),
        qPrintable(notes));
    QVERIFY(model.isUsable());
    const QString figures = PlantModelText::oneLine(model);
    QVERIFY2(std::abs(model.fullOutputGain() - 50) <= model.gainError() * PlantModel::kFullOutput,
        qPrintable(figures));
    QVERIFY2(std::abs(model.timeConstant - 60) <= model.timeConstantError(), qPrintable(figures));
    QVERIFY2(std::abs(model.deadTime - 3) <= model.deadTimeError(), qPrintable(figures));
}

void tst_PlantFit::leavesOutLinesHeldAtAConnect_data()
{
    QTest::addColumn<int>("connectMs"); // after the line before it
    QTest::addColumn<int>("held");
    QTest::addColumn<int>("heldSecondsBefore"); // the last held line measured this long before
    QTest::addColumn<int>("paceMs"); // between lines delivered one after another
    QTest::addColumn<int>("leftOut");
    QTest::addColumn<bool>("spike");
    QTest::newRow("the last lines, at once") << 250 << 9 << 0 << 0 << 9 << false;
    // 9600 baud: a line of 45 characters takes 47 ms, and the next regular line waits for them.
    QTest::newRow("the last lines, at the line's pace") << 250 << 9 << 0 << 47 << 10 << false;
    QTest::newRow("the first lines, from long before") << 250 << 9 << 30 << 0 << 9 << false;
    // Alone and nearly an interval before the next line: nothing tells it was held.
    QTest::newRow("one line from long before") << 25 << 1 << 30 << 0 << 0 << true;
}

/// A heat-up joined 40 s after its step: lines held while nobody read the port arrive at the
/// connect, stamped then, not when they were measured. They are left out, or the fit says it
/// saw the spike they make at its start; its ± hold the truth either way.
void tst_PlantFit::leavesOutLinesHeldAtAConnect()
{
    QFETCH(int, connectMs);
    QFETCH(int, held);
    QFETCH(int, heldSecondsBefore);
    QFETCH(int, paceMs);
    QFETCH(int, leftOut);
    QFETCH(bool, spike);
    const SimulatedRun::Experiment experiment = heatUp(50, 60, 3);
    const PlantStretch run = SimulatedRun::record(experiment);
    const qint64 connect =
        run.front().milliseconds + qint64(experiment.leadSeconds + 40) * 1000 + connectMs;
    const qint64 lastHeld = connect - heldSecondsBefore * 1000;
    PlantStretch delivered;
    for (PlantSample line : run) {
        const bool isHeld = line.milliseconds <= lastHeld
            && line.milliseconds > lastHeld - held * experiment.periodMs;
        if (!isHeld && line.milliseconds < connect)
            continue;
        line.milliseconds = std::max(std::max(line.milliseconds, connect),
            delivered.empty() ? connect : delivered.back().milliseconds + paceMs);
        delivered.push_back(line);
    }
    const PlantFit::Outcome outcome = PlantFit::fit({delivered});
    QVERIFY2(outcome.model, qPrintable(outcome.refusal));
    const PlantModel &model = *outcome.model;
    // A spike's lines are left out too.
    QCOMPARE(model.lines == int(delivered.size()) - leftOut, !spike);
    QCOMPARE(outcome.notes.join(u'|').contains(QStringLiteral("有 %1 行是积压后").arg(leftOut)),
        leftOut > 0);
    QCOMPARE(outcome.notes.join(u'|').contains(u"离模型很远"), spike);
    const QString figures = QStringLiteral("K %1 ± %2, τ %3 ± %4, θ %5 ± %6")
                                .arg(model.fullOutputGain())
                                .arg(model.gainError() * PlantModel::kFullOutput)
                                .arg(model.timeConstant)
                                .arg(model.timeConstantError())
                                .arg(model.deadTime)
                                .arg(model.deadTimeError());
    QVERIFY2(std::abs(model.fullOutputGain() - 50) <= model.gainError() * PlantModel::kFullOutput,
        qPrintable(figures));
    QVERIFY2(std::abs(model.timeConstant - 60) <= model.timeConstantError(), qPrintable(figures));
    QVERIFY2(std::abs(model.deadTime - 3) <= model.deadTimeError(), qPrintable(figures));
}

/// The output a line reports is a moment's: with D, it swings at rest, and the plant rested at
/// their mean before the step, not at the last line's.
void tst_PlantFit::restingOutputIsTheMeanBeforeTheStep()
{
    SimulatedRun::Experiment experiment = stepFromSteadyState(50, 60, 3);
    experiment.d = 20;
    const SimulatedRun::StepTest run = SimulatedRun::stepTest(experiment);
    const PlantFit::Outcome outcome = PlantFit::fitRun({run.lines}, run.stepMilliseconds);
    QVERIFY2(outcome.model, qPrintable(outcome.refusal));
    double sum = 0.0;
    int before = 0;
    for (const PlantSample &line : run.lines) {
        if (line.milliseconds < run.stepMilliseconds) {
            sum += *line.output;
            ++before;
        }
    }
    const auto last = std::find_if(run.lines.crbegin(), run.lines.crend(),
        [&run](const PlantSample &line) { return line.milliseconds < run.stepMilliseconds; });
    QVERIFY(*last->output != sum / before);
    QCOMPARE(outcome.model->restingOutput, sum / before);
}

/// The controller's integral holds each measurement for one of its steps: the newest line counts
/// a step, the interval before it is held at the line before. Outputs made by that rule, with no
/// noise and no D, give back the scales they were made with.
void tst_PlantFit::lawCheckIntegratesAsTheControllerDoes()
{
    const ControllerLaw law;
    const GainSet gains{20, 7, 0};
    PlantStretch lines;
    double trapezoid = 0.0;
    double previous = 0.0;
    for (int k = 0; k < 200; ++k) {
        PlantSample line;
        line.milliseconds = 500 * k;
        // A slow swing with a line-to-line one on it: the integral's rule shows in the sum.
        line.temperature = 60 + 3 * std::sin(k / 15.0) + (k % 2 ? 2.0 : -2.0);
        line.setPoint = 60.0;
        line.p = gains.p;
        line.i = gains.i;
        line.d = gains.d;
        const double error = 60 - line.temperature;
        const double integral = k == 0 ? 0.0 : trapezoid + (0.5 - 0.05) * previous + 0.05 * error;
        if (k > 0)
            trapezoid += (previous + error) / 2 * 0.5;
        previous = error;
        line.output = 120 + gains.p * law.pScale * error + gains.i * law.iScale * integral;
        lines.push_back(line);
    }
    const LawCheck check = LawCheck::of(lines, law);
    QVERIFY2(check.p.fitted && check.i.fitted, qPrintable(check.summary(law)));
    QVERIFY2(std::abs(*check.p.fitted / law.pScale - 1) < 0.002, qPrintable(check.summary(law)));
    QVERIFY2(std::abs(*check.i.fitted / law.iScale - 1) < 0.002, qPrintable(check.summary(law)));
}

void tst_PlantFit::lawCheckFindsScalesOff_data()
{
    QTest::addColumn<double>("pScale");
    QTest::addColumn<double>("iScale");
    QTest::addColumn<bool>("pAgrees");
    QTest::addColumn<bool>("iAgrees");
    QTest::newRow("the simulator's own law") << 1.0 << 0.2 << true << true;
    QTest::newRow("P 30 % off") << 0.7 << 0.2 << false << true;
    QTest::newRow("I 30 % off") << 1.0 << 0.26 << true << false;
    QTest::newRow("both 30 % off") << 1.3 << 0.14 << false << false;
    QTest::newRow("I five times too small") << 1.0 << 0.04 << true << false;
    QTest::newRow("P 12 % low") << 0.88 << 0.2 << false << true;
}

/// The scales the lines give are the simulator's within 10 %, whatever the settings say, and
/// settings off by more than 10 % are told apart.
void tst_PlantFit::lawCheckFindsScalesOff()
{
    QFETCH(double, pScale);
    QFETCH(double, iScale);
    QFETCH(bool, pAgrees);
    QFETCH(bool, iAgrees);
    ControllerLaw law;
    law.pScale = pScale;
    law.iScale = iScale;
    const LawCheck check = LawCheck::of(SimulatedRun::record(stepFromSteadyState(50, 60, 3)), law);
    QVERIFY2(check.unchecked.isEmpty(), qPrintable(check.unchecked));
    QVERIFY2(check.p.fitted && check.i.fitted, qPrintable(check.summary(law)));
    QVERIFY2(std::abs(*check.p.fitted / 1.0 - 1) <= 0.1, qPrintable(check.summary(law)));
    QVERIFY2(std::abs(*check.i.fitted / 0.2 - 1) <= 0.1, qPrintable(check.summary(law)));
    QCOMPARE(check.p.verdict == LawCheck::Verdict::Agrees, pAgrees);
    QCOMPARE(check.i.verdict == LawCheck::Verdict::Agrees, iAgrees);
    QCOMPARE(check.disagrees(), !pAgrees || !iAgrees);
    QCOMPARE(
        check.summary(law).contains(QStringLiteral("请在 [TUNING] 中设")), !pAgrees || !iAgrees);
}

void tst_PlantFit::lawCheckNeverAsksForAWrongScale_data()
{
    QTest::addColumn<int>("d");
    QTest::addColumn<int>("periodMs");
    for (const int periodMs : {100, 500}) {
        for (const int d : {0, 10, 30, 100, 300})
            QTest::addRow("D %d, a line every %d ms", d, periodMs) << d << periodMs;
    }
}

/// Under the simulator's own law a scale is told within 10 % or said to be untold, with D from
/// none to far more than the sensor's noise allows: a large D term hides the others, and a line
/// rate slower than the D filter hides how the controller saw the rate.
void tst_PlantFit::lawCheckNeverAsksForAWrongScale()
{
    QFETCH(int, d);
    QFETCH(int, periodMs);
    const ControllerLaw law;
    for (SimulatedRun::Experiment experiment :
        {heatUp(50, 60, 3), stepFromSteadyState(50, 60, 3)}) {
        experiment.d = d;
        experiment.periodMs = periodMs;
        for (unsigned seed = 1; seed <= 3; ++seed) {
            experiment.seed = seed;
            const LawCheck check = LawCheck::of(SimulatedRun::record(experiment), law);
            QVERIFY2(!check.disagrees(), qPrintable(check.summary(law)));
            for (const auto &[scale, truth] : {std::pair{&check.p, 1.0}, {&check.i, 0.2}}) {
                if (scale->fitted)
                    QVERIFY2(std::abs(*scale->fitted / truth - 1) <= LawCheck::kAgreement,
                        qPrintable(check.summary(law)));
                else
                    QVERIFY2(!scale->untold.isEmpty() || !check.unchecked.isEmpty(),
                        qPrintable(check.summary(law)));
            }
        }
    }
}

QTEST_GUILESS_MAIN(tst_PlantFit)
#include "tst_plant_fit.moc"
