#include "loop_prediction.h"

#include "tuning/closed_loop.h"

#include <cmath>

namespace {
constexpr double kSettlingSpans = 6.0;

/// The mean of |x| for x normally distributed about the error with the noise's deviation.
double expectedAbsolute(double error, double noise)
{
    if (noise <= 0)
        return std::abs(error);
    const double size = std::abs(error);
    return noise * std::sqrt(2.0 / M_PI) * std::exp(-size * size / (2 * noise * noise))
        + size * std::erf(size / (noise * std::sqrt(2.0)));
}
} // namespace

double LoopPrediction::recordedErrorIntegral(double noise, const StepPlan &plan) const
{
    double sum = 0.0;
    double before = expectedAbsolute(plan.to - plan.from, noise);
    qint64 previous = 0;
    for (const PlantSample &line : lines) {
        const double now = expectedAbsolute(plan.to - line.temperature, noise);
        sum += (before + now) / 2 * double(line.milliseconds - previous) / 1000.0;
        before = now;
        previous = line.milliseconds;
    }
    return sum;
}

double LoopPrediction::horizonFor(const PlantModel &model)
{
    return std::ceil(kSettlingSpans * (model.timeConstant + model.deadTime));
}

StepPlan LoopPrediction::completed(StepPlan plan, const PlantModel &model)
{
    if (plan.horizonSeconds <= 0)
        plan.horizonSeconds = horizonFor(model);
    return plan;
}

LoopPrediction LoopPrediction::of(const PlantModel &model, const ControllerLaw &law,
    const GainSet &gains, const StepPlan &stepPlan)
{
    const StepPlan plan = completed(stepPlan, model);
    ClosedLoop loop(model, law, plan.restingGains.value_or(gains), plan.from);
    loop.setGains(gains);
    loop.setTarget(plan.to);
    LoopPrediction prediction;
    loop.followLines(plan.linePeriodMs, plan.horizonSeconds, [&](qint64 milliseconds) {
        PlantSample sample;
        sample.milliseconds = milliseconds;
        sample.temperature = loop.temperature();
        sample.output = loop.output();
        sample.setPoint = plan.to;
        sample.p = gains.p;
        sample.i = gains.i;
        sample.d = gains.d;
        prediction.lines.push_back(sample);
        return true;
    });
    prediction.figures = ResponseFigures::of(prediction.lines, plan, law);
    return prediction;
}
