#include "prediction_start.h"

#include "tuning/prediction_text.h"

#include <algorithm>
#include <cmath>

namespace {
QString degrees(double value)
{
    return QString::number(value, 'f', 1);
}
} // namespace

PredictionStart::PredictionStart(const StepPlan &plan, std::optional<double> now)
    : m_from(plan.from)
    , m_to(plan.to)
    , m_now(now)
{
}

double PredictionStart::distance() const
{
    return std::max(kLeastDistance, kStepShare * std::abs(m_to - m_from));
}

/// The lines give tenths: the difference is compared as they show it.
bool PredictionStart::holds() const
{
    return m_now && std::round(std::abs(*m_now - m_from) * 10) / 10 <= distance();
}

QString PredictionStart::note() const
{
    if (holds())
        return QString();
    if (!m_now)
        return tr("还没有收到温度，预测是从 %1 ℃ 开始的：这次运行不按预测核对。")
            .arg(degrees(m_from));
    return tr("现在 %1 ℃，预测是从 %2 ℃ 开始的：这次运行不按预测核对。")
        .arg(degrees(*m_now), degrees(m_from));
}

AppliedPrediction PredictionStart::from(
    const AppliedPrediction &applied, double now, const ControllerLaw &law)
{
    AppliedPrediction again = applied;
    again.plan.from = now;
    again.prediction = LoopPrediction::of(again.model, law, again.gains, again.plan);
    return again;
}

QString PredictionStart::predictedAgain(const AppliedPrediction &applied)
{
    return tr("从 %1 ℃ 重新预测：%2")
        .arg(degrees(applied.plan.from), PredictionText::summary(applied.prediction.figures));
}
