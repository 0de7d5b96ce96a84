#include "predicted_run.h"

#include "tuning/plant_model_text.h"

#include <cmath>

namespace {
/// Set points are tenths: closer than half of one they are the same.
constexpr double kSameSetPoint = 0.05;
} // namespace

PredictedRun::PredictedRun(AppliedPrediction prediction)
    : m_prediction(std::move(prediction))
{
    m_prediction.plan = LoopPrediction::completed(m_prediction.plan, m_prediction.model);
}

void PredictedRun::follow(qint64 runTenths, double temperature, std::optional<double> setPoint)
{
    const qint64 milliseconds = runTenths * 100;
    if (milliseconds <= 0)
        return;
    if (!m_firstTemperature)
        m_firstTemperature = temperature;
    const StepPlan &plan = m_prediction.plan;
    if (milliseconds > plan.horizonSeconds * 1000) {
        // A new set point starts another step: what follows is not this one's settling.
        if (setPoint && std::abs(*setPoint - plan.to) < kSameSetPoint
            && std::abs(temperature - plan.to) > ResponseFigures::kAbsoluteBand)
            m_leftBandAfterSpan = true;
        return;
    }
    PlantSample line;
    line.milliseconds = milliseconds;
    line.temperature = temperature;
    line.setPoint = m_prediction.plan.to;
    m_lines.push_back(line);
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
