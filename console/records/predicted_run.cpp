#include "predicted_run.h"

PredictedRun::PredictedRun(AppliedPrediction prediction)
    : m_prediction(std::move(prediction))
{
    m_prediction.plan = LoopPrediction::completed(m_prediction.plan, m_prediction.model);
}

void PredictedRun::follow(qint64 runTenths, double temperature)
{
    const qint64 milliseconds = runTenths * 100;
    if (milliseconds <= 0 || milliseconds > m_prediction.plan.horizonSeconds * 1000)
        return;
    PlantSample line;
    line.milliseconds = milliseconds;
    line.temperature = temperature;
    line.setPoint = m_prediction.plan.to;
    m_lines.push_back(line);
}

/// Settling and the error's integral are measured only over the prediction's whole span: a run
/// stopped early has not shown them.
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
    if (m_lines.empty())
        return verification;
    const ResponseFigures measured = ResponseFigures::of(m_lines, plan, ControllerLaw());
    verification.measuredOvershoot = measured.overshoot;
    const qint64 spanEnd = qint64(plan.horizonSeconds * 1000) - plan.linePeriodMs;
    if (m_lines.back().milliseconds >= spanEnd) {
        verification.measuredSettling = measured.settlingHalfDegreeSeconds;
        verification.measuredIae = measured.absoluteErrorIntegral;
    }
    return verification;
}
