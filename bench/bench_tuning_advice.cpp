#include "simulated_run.h"
#include "tuning/loop_prediction.h"
#include "tuning/plant_fit.h"
#include "tuning/tuning_advice.h"

#include <QString>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <optional>

namespace {
constexpr GainSet kDefaultGains{10, 5, 2};
constexpr int kSeeds = 20;

HeaterPlant::Parameters plant(double timeConstant, double deadTime)
{
    HeaterPlant::Parameters parameters;
    parameters.timeConstant = timeConstant;
    parameters.deadTime = deadTime;
    return parameters;
}

PlantModel heatUpModel(const HeaterPlant::Parameters &parameters)
{
    const PlantFit::Outcome outcome =
        PlantFit::fit({SimulatedRun::record(SimulatedRun::heatUp(parameters, 1))});
    if (!outcome.model)
        qFatal("no model of the heat-up: %s", qPrintable(outcome.refusal));
    return *outcome.model;
}

TuningAdvice::Request request(const HeaterPlant::Parameters &parameters)
{
    TuningAdvice::Request asked;
    asked.model = heatUpModel(parameters);
    asked.current = kDefaultGains;
    asked.plan.from = 50;
    asked.plan.to = 60;
    asked.plan.restingGains = kDefaultGains;
    asked.plan = LoopPrediction::completed(asked.plan, asked.model);
    return asked;
}

/// The step on the simulator itself, resting at 50 °C under the default gains first.
ResponseFigures measured(const HeaterPlant::Parameters &parameters, const GainSet &gains,
    const StepPlan &plan, unsigned seed)
{
    return ResponseFigures::of(SimulatedRun::stepWithGains(parameters, gains, plan.from, plan.to,
                                   plan.horizonSeconds, seed),
        plan, ControllerLaw());
}

QString seconds(std::optional<double> value)
{
    return value ? QString::number(*value, 'f', 1) : QStringLiteral("—");
}

/// The table for the README: every candidate predicted on the model of one heat-up, and the
/// means of 20 seeds of the simulator's answer.
void printTable(const TuningAdvice::Request &asked, const TuningAdvice &advice,
    const HeaterPlant::Parameters &parameters)
{
    const PlantModel &model = asked.model;
    std::fprintf(stderr,
        "\nModel from one heat-up: K %.4f °C/count, τ %.1f s, θ %.2f s, rms %.3f °C\n\n",
        model.gain, model.timeConstant, model.deadTime, model.rms);
    std::fprintf(stderr,
        "| candidate | P I D | overshoot °C predicted / measured | settling ±0.5 °C s "
        "predicted / measured | IAE °C·s predicted / measured |\n|---|---|---|---|---|\n");
    for (const TuningAdvice::Candidate &candidate : advice.candidates) {
        double overshoot = 0.0;
        double settling = 0.0;
        double errorIntegral = 0.0;
        int settled = 0;
        for (unsigned seed = 1; seed <= kSeeds; ++seed) {
            const ResponseFigures figures =
                measured(parameters, candidate.gains, asked.plan, seed + 100);
            overshoot += figures.overshoot / kSeeds;
            errorIntegral += figures.absoluteErrorIntegral / kSeeds;
            if (figures.settlingHalfDegreeSeconds) {
                settling += *figures.settlingHalfDegreeSeconds;
                ++settled;
            }
        }
        const ResponseFigures &predicted = candidate.prediction.figures;
        std::fprintf(stderr, "| %s | %d %d %d | %.2f / %.2f | %s / %s | %.0f / %.0f |\n",
            qPrintable(TuningAdvice::keyOf(candidate.kind)), candidate.gains.p, candidate.gains.i,
            candidate.gains.d, predicted.overshoot, overshoot,
            qPrintable(seconds(predicted.settlingHalfDegreeSeconds)),
            qPrintable(
                seconds(settled == kSeeds ? std::optional(settling / kSeeds) : std::nullopt)),
            candidate.prediction.recordedErrorIntegral(model.rms, asked.plan), errorIntegral);
    }
}

/// The whole advice for a 50 → 60 °C step, off the window's thread in the console: the rules'
/// predictions and the search for the recommended set: the default plant (0), a slow one (1)
/// and a heater of a thousand seconds (2).
void BM_Advise(benchmark::State &state)
{
    const HeaterPlant::Parameters parameters = state.range(0) == 0 ? plant(60, 3)
        : state.range(0) == 1                                      ? plant(150, 8)
                                                                   : plant(1000, 30);
    const TuningAdvice::Request asked = request(parameters);
    int tried = 0;
    for (auto _ : state) {
        const TuningAdvice advice = TuningAdvice::of(asked);
        benchmark::DoNotOptimize(advice.candidates.data());
        tried = int(advice.candidates.size());
    }
    state.counters["candidates"] = tried;
    state.counters["tau"] = asked.model.timeConstant;
    state.counters["horizon"] = asked.plan.horizonSeconds;
    static bool printed = false;
    if (state.range(0) == 0 && !std::exchange(printed, true))
        printTable(asked, TuningAdvice::of(asked), parameters);
}
BENCHMARK(BM_Advise)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

/// One gain set's predicted step on the default plant: what the table costs per row.
void BM_PredictOneSet(benchmark::State &state)
{
    const TuningAdvice::Request asked = request(plant(60, 3));
    for (auto _ : state) {
        const LoopPrediction prediction =
            LoopPrediction::of(asked.model, asked.law, kDefaultGains, asked.plan);
        benchmark::DoNotOptimize(prediction.lines.data());
    }
}
BENCHMARK(BM_PredictOneSet)->Unit(benchmark::kMicrosecond);
} // namespace
