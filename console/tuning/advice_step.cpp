#include "advice_step.h"

#include "telemetry/text_number.h"
#include "tuning/step_command.h"

#include <cmath>
#include <optional>

namespace {
/// What was typed, named back without a screenful of it.
QString shortened(const QString &typed)
{
    constexpr qsizetype kLongest = 12;
    return typed.size() > kLongest ? typed.left(kLongest) + QStringLiteral("…") : typed;
}
} // namespace

AdviceStep AdviceStep::fromText(const QString &from, const QString &to, const QString &limit)
{
    AdviceStep step;
    const std::optional<qint16> start =
        StepCommand::temperatureTenths(from, tr("起点温度"), step.m_problem);
    if (!start)
        return step;
    const std::optional<qint16> target =
        StepCommand::temperatureTenths(to, tr("目标温度"), step.m_problem);
    if (!target)
        return step;
    if (*start == *target) {
        step.m_problem = tr("阶跃的两端须是不同的温度，例如从 50.0 ℃ 到 60.0 ℃");
        return step;
    }
    const std::optional<double> overshoot = TextNumber::toDouble(limit);
    if (!overshoot || !std::isfinite(*overshoot) || *overshoot <= 0
        || *overshoot > kMostOvershoot) {
        step.m_problem = tr("超调无法读取：%1（大于 0、不超过 %2 的 ℃ 数，例如 0.5）")
                             .arg(shortened(limit.trimmed()))
                             .arg(kMostOvershoot);
        return step;
    }
    step.m_from = *start / 10.0;
    step.m_to = *target / 10.0;
    step.m_limit = *overshoot;
    return step;
}
