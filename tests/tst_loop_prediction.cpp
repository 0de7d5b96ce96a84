#include "simulated_run.h"
#include "tuning/closed_loop.h"
#include "tuning/gain_rules.h"
#include "tuning/gain_search.h"
#include "tuning/loop_prediction.h"
#include "tuning/plant_fit.h"
#include "tuning/plant_model_text.h"
#include "tuning/tuning_advice.h"

#include <QTest>

#include <cmath>

Q_DECLARE_METATYPE(HeaterPlant::Parameters)
Q_DECLARE_METATYPE(GainSet)

/// Whether the advice on a plant finds a set for every fit, for none, or as the fit falls.
enum class Recommends { Always, Never, WherePossible };
Q_DECLARE_METATYPE(Recommends)

namespace {
constexpr GainSet kDefaultGains{10, 5, 2};

constexpr double kFrom = 50.0;
constexpr double kTo = 60.0;

HeaterPlant::Parameters plant(double timeConstant, double deadTime, double sensorLag = 0.0)
{
    HeaterPlant::Parameters parameters;
    parameters.timeConstant = timeConstant;
    parameters.deadTime = deadTime;
    parameters.sensorLag = sensorLag;
    return parameters;
}

/// The model a fit gets from one heat-up with the default gains, heater off at first.
PlantModel fittedModel(const HeaterPlant::Parameters &parameters, unsigned seed)
{
    const PlantFit::Outcome outcome =
        PlantFit::fit({SimulatedRun::record(SimulatedRun::heatUp(parameters, seed))});
    if (!outcome.model)
        qFatal("no model: %s", qPrintable(outcome.refusal));
    return *outcome.model;
}

PlantModel trueModel(const HeaterPlant::Parameters &parameters)
{
    PlantModel model;
    model.gain = parameters.gain / PlantModel::kFullOutput;
    model.timeConstant = parameters.timeConstant;
    model.deadTime = parameters.deadTime;
    model.offset = parameters.ambient;
    return model;
}

StepPlan stepPlan(const PlantModel &model)
{
    StepPlan plan;
    plan.from = kFrom;
    plan.to = kTo;
    plan.restingGains = kDefaultGains;
    return LoopPrediction::completed(plan, model);
}

/// The step as the simulator's controller answers it.
ResponseFigures measuredStep(const HeaterPlant::Parameters &parameters, const GainSet &gains,
    const StepPlan &plan, unsigned seed, bool noise = true)
{
    return ResponseFigures::of(SimulatedRun::stepWithGains(parameters, gains, plan.from, plan.to,
                                   plan.horizonSeconds, seed, noise),
        plan, ControllerLaw());
}

/// What noise adds to a measured integral of absolute error over the whole step.
double noiseFloor(const PlantModel &model, const StepPlan &plan)
{
    return model.rms * std::sqrt(2.0 / M_PI) * plan.horizonSeconds;
}

/// The rms of the output's change from line to line over the last two minutes, at rest.
double outputActivity(const PlantStretch &run)
{
    double squares = 0.0;
    int changes = 0;
    for (std::size_t k = run.size() - 240; k < run.size(); ++k) {
        const double change = *run[k].output - *run[k - 1].output;
        squares += change * change;
        ++changes;
    }
    return std::sqrt(squares / changes);
}

PlantStretch linesOf(const std::vector<double> &temperatures, double output = 100.0)
{
    PlantStretch lines;
    for (std::size_t at = 0; at < temperatures.size(); ++at) {
        PlantSample line;
        line.milliseconds = qint64(at + 1) * 1000;
        line.temperature = temperatures[at];
        line.output = output;
        lines.push_back(line);
    }
    return lines;
}
} // namespace

class tst_LoopPrediction : public QObject
{
    Q_OBJECT

private slots:
    void figuresOfLines();
    void followsTheSimulatorsLaw_data();
    void followsTheSimulatorsLaw();
    void predictsTheSimulatorFromAFittedModel_data();
    void predictsTheSimulatorFromAFittedModel();
    void recommendedKeepsItsLimit_data();
    void recommendedKeepsItsLimit();
    void outputActivityBindsTheSearch_data();
    void outputActivityBindsTheSearch();
    void noRecommendationSaysWhy_data();
    void noRecommendationSaysWhy();
    void loopKeepsTheLawsRules();
    void rulesAndMarginsAreTheBooks();
    void adviceCanBeCancelled();
    void looseModelIsSaid();
};

void tst_LoopPrediction::figuresOfLines()
{
    StepPlan up{50, 60, 1000, 10, {}};
    const ResponseFigures rising =
        ResponseFigures::of(linesOf({51, 55, 59, 60.6, 60.3, 60.1, 60, 60, 60, 60}), up, {});
    QCOMPARE(rising.overshoot, 0.6);
    QCOMPARE(rising.overshootPercent, 6.0);
    QCOMPARE(*rising.rise10To90Seconds, 2.0); // 51 at 1 s is 10 % of the step; 59 at 3 s, 90 %
    QCOMPARE(*rising.settlingHalfDegreeSeconds, 4 + 0.1 / 0.3);
    QCOMPARE(rising.window.riseTenths, qint64(70));
    QCOMPARE(rising.window.overshootPercent, 1.0);
    QVERIFY(!rising.oscillates);

    StepPlan down{60, 50, 1000, 6, {}};
    const ResponseFigures falling =
        ResponseFigures::of(linesOf({58, 52, 49.5, 50.4, 49.6, 50.6}, 0.0), down, {});
    QCOMPARE(falling.overshoot, 0.5);
    QVERIFY(!falling.settlingHalfDegreeSeconds);
    QCOMPARE(falling.saturatedSeconds, 6.0);
    QCOMPARE(falling.steadyError, -0.6);

    StepPlan swinging{50, 60, 1000, 10, {}};
    const ResponseFigures ringing =
        ResponseFigures::of(linesOf({58, 61, 59, 61, 59, 61, 59.5, 60.3, 60, 60}), swinging, {});
    QVERIFY(ringing.oscillates);
    // Four half-swings past the band are an oscillation, three are not.
    QVERIFY(ResponseFigures::of(linesOf({58, 61, 59, 61, 59, 60, 60}), swinging, {}).oscillates);
    QVERIFY(!ResponseFigures::of(linesOf({58, 61, 59, 61, 60, 60, 60}), swinging, {}).oscillates);
    // Settled within 2 % of the 10 °C step: 0.19 °C off is, 0.22 °C is not.
    StepPlan settling{50, 60, 1000, 4, {}};
    QVERIFY(
        ResponseFigures::of(linesOf({55, 59, 60.19, 60.19}), settling, {}).settling2PercentSeconds);
    QVERIFY(!ResponseFigures::of(linesOf({55, 59, 60.22, 60.22}), settling, {})
                 .settling2PercentSeconds);
}

/// The loop's own rules, stepped by hand: the output reaches the plant exactly a dead time
/// late, the integral never winds below the lower limit, a load needs more output, and the
/// predicted IAE adds the mean of |noise| near the target.
void tst_LoopPrediction::loopKeepsTheLawsRules()
{
    PlantModel model = trueModel(plant(60, 1.0));
    ClosedLoop delayed(model, {}, GainSet{10, 0, 0}, 50);
    ClosedLoop left(model, {}, GainSet{10, 0, 0}, 50);
    delayed.setTarget(60);
    const int deadSteps = int(std::lround(model.deadTime / ClosedLoop::kLoopSeconds));
    for (int step = 0; step < deadSteps; ++step) {
        delayed.step();
        left.step();
    }
    QCOMPARE(delayed.temperature(), left.temperature());
    delayed.step();
    left.step();
    QVERIFY(delayed.temperature() > left.temperature());

    ClosedLoop cooled(model, {}, kDefaultGains, 60);
    cooled.setTarget(20);
    cooled.followLines(500, 600, [](qint64) { return true; });
    QCOMPARE(cooled.output(), 0);
    cooled.setTarget(60);
    cooled.step();
    QVERIFY2(cooled.output() > 0, "the integral wound below the lower limit");

    ClosedLoop loaded(model, {}, kDefaultGains, 60);
    const double holding = loaded.holdingOutput(60);
    loaded.setLoad(20);
    QCOMPARE(loaded.holdingOutput(60), holding + 20);
    loaded.followLines(500, 5, [](qint64) { return true; });
    QVERIFY(loaded.temperature() < 60);

    StepPlan flat{59, 60, 500, 100, {}};
    LoopPrediction atTarget;
    for (qint64 milliseconds = 500; milliseconds <= 100'000; milliseconds += 500)
        atTarget.lines.push_back({milliseconds, 60.0, {}, {}, {}, {}, {}});
    const double noise = 0.06;
    const double meanAbsolute = noise * std::sqrt(2.0 / M_PI);
    QVERIFY(std::abs(atTarget.recordedErrorIntegral(noise, flat)
                - ((1.0 + meanAbsolute) / 2 * 0.5 + meanAbsolute * 99.5))
        < 1e-6);
}

/// Hand-worked gains: AMIGO's PID for τ 60 s and θ 3 s on a plant of 50 °C at full output is
/// Kc 46.9, Ti 16.4 s and Td 1.48 s, through the simulator's law P 47, I 14, D 14. The margins
/// of the robustness check are a 20 % stronger plant and a 30 % longer dead time, both.
void tst_LoopPrediction::rulesAndMarginsAreTheBooks()
{
    const PlantModel model = trueModel(plant(60, 3));
    QCOMPARE(GainRules::amigoPid(model, {}), (GainSet{47, 14, 14}));
    const PlantModel robust = GainSearch::robustModelOf(model);
    QCOMPARE(robust.gain, model.gain * 1.2);
    QCOMPARE(robust.deadTime, model.deadTime * 1.3);
    QCOMPARE(robust.timeConstant, model.timeConstant);
}

void tst_LoopPrediction::followsTheSimulatorsLaw_data()
{
    QTest::addColumn<GainSet>("gains");
    QTest::newRow("default") << kDefaultGains;
    QTest::newRow("aggressive, with derivative") << GainSet{93, 67, 32};
    QTest::newRow("proportional and integral") << GainSet{49, 10, 0};
    QTest::newRow("proportional only") << GainSet{40, 0, 0};
}

/// On the plant's own parameters and without noise, the prediction is the simulator's step.
void tst_LoopPrediction::followsTheSimulatorsLaw()
{
    QFETCH(GainSet, gains);
    const HeaterPlant::Parameters parameters = plant(60, 3);
    const PlantModel model = trueModel(parameters);
    const StepPlan plan = stepPlan(model);
    const ResponseFigures predicted = LoopPrediction::of(model, {}, gains, plan).figures;
    const ResponseFigures measured = measuredStep(parameters, gains, plan, 1, false);
    QVERIFY2(std::abs(predicted.overshoot - measured.overshoot) <= 0.06,
        qPrintable(
            QStringLiteral("%1 against %2").arg(predicted.overshoot).arg(measured.overshoot)));
    QVERIFY(std::abs(predicted.absoluteErrorIntegral - measured.absoluteErrorIntegral)
        <= 0.03 * measured.absoluteErrorIntegral);
    QCOMPARE(predicted.settlingHalfDegreeSeconds.has_value(),
        measured.settlingHalfDegreeSeconds.has_value());
    if (predicted.settlingHalfDegreeSeconds)
        QVERIFY(std::abs(*predicted.settlingHalfDegreeSeconds - *measured.settlingHalfDegreeSeconds)
            <= 1.0);
    QVERIFY(std::abs(predicted.steadyError - measured.steadyError) <= 0.05);
}

void tst_LoopPrediction::predictsTheSimulatorFromAFittedModel_data()
{
    QTest::addColumn<HeaterPlant::Parameters>("parameters");
    QTest::addColumn<double>("overshootGate");
    QTest::addColumn<bool>("checkSettlingAndError");
    QTest::newRow("default plant") << plant(60, 3) << 0.15 << true;
    QTest::newRow("a sensor lagging 10 s") << plant(60, 3, 10) << 0.3 << false;
}

/// Four gain sets on the model fitted from a heat-up, over 20 seeds: the overshoot, the settling
/// to ±0.5 °C and the integral of absolute error (with what noise adds) as measured.
void tst_LoopPrediction::predictsTheSimulatorFromAFittedModel()
{
    QFETCH(HeaterPlant::Parameters, parameters);
    QFETCH(double, overshootGate);
    QFETCH(bool, checkSettlingAndError);
    for (unsigned seed = 1; seed <= 20; ++seed) {
        const PlantModel model = fittedModel(parameters, seed);
        const StepPlan plan = stepPlan(model);
        const ControllerLaw law;
        for (const GainSet &gains : {kDefaultGains, GainRules::relayZieglerNichols(model, law),
                 GainRules::simcPi(model, law, 1.0), GainRules::amigoPid(model, law)}) {
            const ResponseFigures predicted = LoopPrediction::of(model, law, gains, plan).figures;
            const ResponseFigures measured = measuredStep(parameters, gains, plan, seed + 100);
            const QString where = QStringLiteral("seed %1, P%2 I%3 D%4: overshoot %5 against %6")
                                      .arg(seed)
                                      .arg(gains.p)
                                      .arg(gains.i)
                                      .arg(gains.d)
                                      .arg(predicted.overshoot)
                                      .arg(measured.overshoot);
            QVERIFY2(std::abs(predicted.overshoot - measured.overshoot) <= overshootGate,
                qPrintable(where));
            if (!checkSettlingAndError)
                continue;
            QVERIFY2(predicted.settlingHalfDegreeSeconds && measured.settlingHalfDegreeSeconds
                    && std::abs(*predicted.settlingHalfDegreeSeconds
                           - *measured.settlingHalfDegreeSeconds)
                        <= 3.0,
                qPrintable(where
                    + QStringLiteral(", settling %1 against %2")
                          .arg(predicted.settlingHalfDegreeSeconds.value_or(-1))
                          .arg(measured.settlingHalfDegreeSeconds.value_or(-1))));
            const double expected = predicted.absoluteErrorIntegral + noiseFloor(model, plan);
            QVERIFY2(std::abs(measured.absoluteErrorIntegral - expected) <= 0.2 * expected,
                qPrintable(where
                    + QStringLiteral(", IAE %1 against %2")
                          .arg(expected)
                          .arg(measured.absoluteErrorIntegral)));
        }
    }
}

void tst_LoopPrediction::recommendedKeepsItsLimit_data()
{
    QTest::addColumn<HeaterPlant::Parameters>("parameters");
    QTest::addColumn<double>("limit");
    QTest::addColumn<Recommends>("recommends");
    QTest::newRow("default plant, 0.5 °C") << plant(60, 3) << 0.5 << Recommends::Always;
    // Only a weak integral stays within 0.2 °C kept, and it barely recovers from the load in 3τ:
    // whether one does turns on the fit's dead time.
    QTest::newRow("default plant, 0.2 °C") << plant(60, 3) << 0.2 << Recommends::WherePossible;
    // Kept for the next step, any integral the slow heater needs winds up past 0.5 °C.
    QTest::newRow("slow plant, 0.5 °C") << plant(150, 8) << 0.5 << Recommends::Never;
    QTest::newRow("slow plant, 1 °C") << plant(150, 8) << 1.0 << Recommends::Always;
}

/// The recommended gains, chosen on a fitted model, keep the overshoot limit on the simulator,
/// without its sensor noise, in at least 19 seeds of 20, applied with the step and kept for the
/// next one alike, and the output at rest swings no more than the law allows; where no set can,
/// the advice says which condition came nearest.
void tst_LoopPrediction::recommendedKeepsItsLimit()
{
    QFETCH(HeaterPlant::Parameters, parameters);
    QFETCH(double, limit);
    QFETCH(Recommends, recommends);
    int within = 0;
    QStringList misses;
    for (unsigned seed = 1; seed <= 20; ++seed) {
        TuningAdvice::Request request;
        request.model = fittedModel(parameters, seed);
        request.current = kDefaultGains;
        request.plan = stepPlan(request.model);
        request.overshootLimit = limit;
        const TuningAdvice advice = TuningAdvice::of(request);
        const TuningAdvice::Candidate *recommended = advice.recommended();
        if (!recommended) {
            QVERIFY2(recommends != Recommends::Always, qPrintable(advice.weighed));
            QVERIFY2(
                advice.weighed.contains(QStringLiteral("最接近的是")), qPrintable(advice.weighed));
            ++within;
            continue;
        }
        QVERIFY(recommends != Recommends::Never);
        QVERIFY(recommended->worseOvershoot() <= limit);
        const GainSet &gains = recommended->gains;
        const StepPlan &plan = request.plan;
        // The plant's own temperature: noise on the lines would lift a peak of 0.2 °C past it.
        const ResponseFigures applied = measuredStep(parameters, gains, plan, seed + 100, false);
        const ResponseFigures kept =
            ResponseFigures::of(SimulatedRun::stepKeepingGains(parameters, gains, plan.from,
                                    plan.to, plan.horizonSeconds, seed + 200, false),
                plan, ControllerLaw());
        const PlantStretch restingRun =
            SimulatedRun::stepKeepingGains(parameters, gains, plan.to, plan.to, 300, seed + 300);
        if (applied.overshoot <= limit + 1e-9 && kept.overshoot <= limit + 1e-9)
            ++within;
        else
            misses << QStringLiteral("seed %1: %2 and %3 °C")
                          .arg(seed)
                          .arg(applied.overshoot)
                          .arg(kept.overshoot);
        QVERIFY(outputActivity(restingRun) <= ControllerLaw::kDefaultOutputActivity);
    }
    QVERIFY2(within >= 19, qPrintable(misses.join(QStringLiteral(", "))));
}

void tst_LoopPrediction::outputActivityBindsTheSearch_data()
{
    QTest::addColumn<double>("activityLimit");
    QTest::newRow("a swing of 2 counts") << 2.0;
    QTest::newRow("a swing of 3 counts") << 3.0;
}

/// The output's swing at rest is what the search holds the recommended set to, where the set it
/// would choose without the limit swings more, and the simulator's controller, its measurement
/// noisy, swings as predicted.
void tst_LoopPrediction::outputActivityBindsTheSearch()
{
    QFETCH(double, activityLimit);
    const HeaterPlant::Parameters parameters = plant(60, 3);
    TuningAdvice::Request request;
    request.model = fittedModel(parameters, 1);
    request.current = kDefaultGains;
    request.plan = stepPlan(request.model);
    request.overshootLimit = 1.0;
    request.law.outputActivityLimit = 1000;
    const TuningAdvice unbound = TuningAdvice::of(request);
    request.law.outputActivityLimit = activityLimit;
    const TuningAdvice advice = TuningAdvice::of(request);
    const TuningAdvice::Candidate *recommended = advice.recommended();
    QVERIFY2(recommended && unbound.recommended(), qPrintable(advice.weighed));
    QVERIFY(recommended->outputActivity <= activityLimit);
    QVERIFY(unbound.recommended()->outputActivity > activityLimit);
    for (const TuningAdvice::Candidate &candidate : advice.candidates) {
        const double measured = outputActivity(
            SimulatedRun::stepKeepingGains(parameters, candidate.gains, kTo, kTo, 300, 7));
        QVERIFY2(std::abs(measured / candidate.outputActivity - 1) <= 0.15,
            qPrintable(QStringLiteral("P%1 I%2 D%3: %4 against %5")
                           .arg(candidate.gains.p)
                           .arg(candidate.gains.i)
                           .arg(candidate.gains.d)
                           .arg(candidate.outputActivity)
                           .arg(measured)));
    }
}

void tst_LoopPrediction::noRecommendationSaysWhy_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<bool>("lawDisputed");
    QTest::addColumn<QString>("why");
    QTest::addColumn<bool>("usable");
    QTest::newRow("target beyond full output")
        << 50.0 << 80.0 << false
        << QStringLiteral("目标 80.0 ℃ 达不到：输出在上限（255）时模型只能到 75.0 ℃") << true;
    QTest::newRow("start below the ambient")
        << -10.0 << 0.0 << false
        << QStringLiteral("目标 0.0 ℃ 达不到：输出在下限（0）时模型停在 25.0 ℃") << true;
    QTest::newRow("law disputed") << 50.0 << 60.0 << true
                                  << QStringLiteral("控制规律的刻度与记录不符") << true;
    // Nothing is predicted on it at all.
    QTest::newRow("a model whose ± is no number")
        << 50.0 << 60.0 << false << QStringLiteral("模型的数不是有限的正数") << false;
}

/// A step the heater cannot make, or a law the record disputes, gets no recommendation and
/// says why; the candidates are still predicted.
void tst_LoopPrediction::noRecommendationSaysWhy()
{
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(bool, lawDisputed);
    QFETCH(QString, why);
    QFETCH(bool, usable);
    TuningAdvice::Request request;
    request.model = trueModel(plant(60, 3));
    if (!usable)
        request.model.gainSd = std::nan("");
    request.current = kDefaultGains;
    request.plan.from = from;
    request.plan.to = to;
    request.plan.restingGains = kDefaultGains;
    request.lawDisputed = lawDisputed;
    const TuningAdvice advice = TuningAdvice::of(request);
    QVERIFY(!advice.recommended());
    QCOMPARE(advice.candidates.size(), std::size_t(usable ? 6 : 0));
    QVERIFY2(advice.weighed.startsWith(
                 usable ? QStringLiteral("没有推荐：") : QStringLiteral("没有建议：")),
        qPrintable(advice.weighed));
    QVERIFY2(advice.weighed.contains(why), qPrintable(advice.weighed));
}

void tst_LoopPrediction::adviceCanBeCancelled()
{
    TuningAdvice::Request request;
    request.model = trueModel(plant(60, 3));
    request.plan = stepPlan(request.model);
    int calls = 0;
    const TuningAdvice advice = TuningAdvice::of(request, [&](int) { return ++calls < 5; });
    QVERIFY(advice.cancelled);
    QVERIFY(advice.candidates.empty());
    QCOMPARE(calls, 5);
}

/// A model from a run that told little of the plant says so beside its predictions.
void tst_LoopPrediction::looseModelIsSaid()
{
    PlantModel model = trueModel(plant(60, 3));
    model.gainSd = 0.01 * model.gain;
    model.timeConstantSd = 1.0;
    model.deadTimeSd = 0.3;
    QVERIFY(PlantModelText::looseness(model).isEmpty());
    model.timeConstantSd = 9.0; // ±18 s of 60
    model.deadTimeSd = 3.0; // ±6 s of 3
    QCOMPARE(PlantModelText::looseness(model).section(u'（', 1).section(u'）', 0, 0),
        QStringLiteral("τ ±30 %，θ ±6.0 s"));
    model.gainSd = 1e20 * model.gain; // a share past any int
    QVERIFY2(PlantModelText::looseness(model).contains(QStringLiteral("K ±2e+22 %")),
        qPrintable(PlantModelText::looseness(model)));
}

QTEST_GUILESS_MAIN(tst_LoopPrediction)
#include "tst_loop_prediction.moc"
