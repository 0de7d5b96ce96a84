#include "predicted_run.h"

#include "tuning/plant_model_text.h"

#include <algorithm>
#include <cmath>

namespace {
/// Set points are tenths: closer than half of one they are the same.
constexpr double kSameSetPoint = 0.05;
/// Lines further apart than this, before the predicted settling, leave the rise unseen: the
/// figures would bridge it with a straight line.
constexpr qint64 kLongestGap = 5000;
/// A run that went less than this share of the way to its target made no step.
constexpr double kLeastProgress = 0.5;
constexpr double kPeakShare = 0.01;
} // namespace

PredictedRun::PredictedRun(AppliedPrediction prediction)
    : m_prediction(std::move(prediction))
{
    m_prediction.plan = LoopPrediction::completed(m_prediction.plan, m_prediction.model);
}

void PredictedRun::follow(qint64 runTenths, double temperature, std::optional<double> setPoint,
    const ReportedGains &gains)
{
    const qint64 milliseconds = runTenths * 100;
    if (milliseconds <= 0)
        return;
    if (!m_firstTemperature)
        m_firstTemperature = temperature;
    const StepPlan &plan = m_prediction.plan;
    if (milliseconds <= plan.horizonSeconds * 1000)
        followGains(gains);
    if (milliseconds > plan.horizonSeconds * 1000) {
        // A new set point starts another step: what follows is not this one's settling.
        if (setPoint && std::abs(*setPoint - plan.to) < kSameSetPoint
            && std::abs(temperature - plan.to) > ResponseFigures::kAbsoluteBand)
            m_leftBandAfterSpan = true;
        return;
    }
    const qint64 previous = m_lines.empty() ? 0 : m_lines.back().milliseconds;
    const std::optional<double> settling =
        m_prediction.prediction.figures.settlingHalfDegreeSeconds;
    if (!settling || previous < *settling * 1000)
        m_longestGap = std::max(m_longestGap, milliseconds - previous);
    PlantSample line;
    line.milliseconds = milliseconds;
    line.temperature = temperature;
    line.setPoint = m_prediction.plan.to;
    m_lines.push_back(line);
}

/// The lines show the old gains until the controller takes the command; once they showed the
/// predicted ones, other gains mean someone changed them.
void PredictedRun::followGains(const ReportedGains &gains)
{
    if (!gains.p || !gains.i || !gains.d)
        return;
    const GainSet &predicted = m_prediction.gains;
    const bool same = *gains.p == predicted.p && *gains.i == predicted.i && *gains.d == predicted.d;
    if (same)
        m_gainsTaken = true;
    else if (m_gainsTaken)
        m_gainsChanged = true;
}

void PredictedRun::commandChecked(bool confirmed)
{
    if (!m_confirmed)
        m_confirmed = confirmed;
}

std::optional<RunVerification::Untested> PredictedRun::untested() const
{
    using Untested = RunVerification::Untested;
    if (m_confirmed == false)
        return Untested::NotConfirmed;
    if (m_gainsChanged)
        return Untested::GainsChanged;
    if (m_lines.empty() || m_longestGap > kLongestGap)
        return m_lines.empty() ? Untested::EndedBeforePeak : Untested::GapInRise;
    if (m_lines.back().milliseconds < predictedPeakMilliseconds())
        return Untested::EndedBeforePeak;
    if (progress() < kLeastProgress)
        return Untested::NoStep;
    return std::nullopt;
}

qint64 PredictedRun::predictedPeakMilliseconds() const
{
    const StepPlan &plan = m_prediction.plan;
    const double direction = plan.change() >= 0 ? 1.0 : -1.0;
    double furthest = 0.0;
    for (const PlantSample &line : m_prediction.prediction.lines)
        furthest = std::max(furthest, direction * (line.temperature - plan.from));
    for (const PlantSample &line : m_prediction.prediction.lines) {
        if (direction * (line.temperature - plan.from)
            >= furthest - kPeakShare * std::abs(plan.change()))
            return line.milliseconds;
    }
    return 0;
}

double PredictedRun::progress() const
{
    const StepPlan &plan = m_prediction.plan;
    if (plan.change() == 0)
        return 1.0;
    double furthest = 0.0;
    for (const PlantSample &line : m_lines)
        furthest = std::max(furthest, (line.temperature - plan.from) / plan.change());
    return furthest;
}

/// Settling and the error's integral are measured only over the prediction's whole span: a run
/// stopped early has not shown them. A run that swings, or leaves the band after the span, has
/// not settled, whatever its last entry into the band within the span.
RunVerification PredictedRun::verification() const
{
    const PlantModel &model = m_prediction.model;
    const StepPlan &plan = m_prediction.plan;
    const ResponseFigures &predicted = m_prediction.prediction.figures;
    RunVerification verification;
    verification.modelGain = model.gain;
    verification.modelTimeConstant = model.timeConstant;
    verification.modelDeadTime = model.deadTime;
    verification.predictedOvershoot = predicted.overshoot;
    verification.predictedSettling = predicted.settlingHalfDegreeSeconds;
    verification.predictedIae = m_prediction.prediction.recordedErrorIntegral(model.rms, plan);
    verification.predictedFrom = plan.from;
    verification.predictedTo = plan.to;
    verification.measuredFrom = m_firstTemperature;
    verification.lawAgreed = m_prediction.lawAgreed;
    verification.modelLoose = !PlantModelText::looseness(model).isEmpty();
    verification.untested = untested();
    if (m_lines.empty())
        return verification;
    const ResponseFigures measured = ResponseFigures::of(m_lines, plan, ControllerLaw());
    verification.measuredOvershoot = measured.overshoot;
    const qint64 spanEnd = qint64(plan.horizonSeconds * 1000) - plan.linePeriodMs;
    if (m_lines.back().milliseconds >= spanEnd) {
        if (!measured.oscillates && !m_leftBandAfterSpan)
            verification.measuredSettling = measured.settlingHalfDegreeSeconds;
        verification.measuredIae = measured.absoluteErrorIntegral;
    }
    return verification;
}
