#include "run_verification.h"

#include "telemetry/text_number.h"
#include "tuning/prediction_start.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

/// The figures in columns() order, with the places each is written to.
std::array<std::pair<std::optional<double> RunVerification::*, int>, 12> figures()
{
    return {{{&RunVerification::modelGain, 5}, {&RunVerification::modelTimeConstant, 2},
        {&RunVerification::modelDeadTime, 2}, {&RunVerification::predictedOvershoot, 2},
        {&RunVerification::measuredOvershoot, 2}, {&RunVerification::predictedSettling, 1},
        {&RunVerification::measuredSettling, 1}, {&RunVerification::predictedIae, 1},
        {&RunVerification::measuredIae, 1}, {&RunVerification::predictedFrom, 1},
        {&RunVerification::predictedTo, 1}, {&RunVerification::measuredFrom, 1}}};
}

/// Why a run tested nothing, as runs.csv writes it.
const std::array<std::pair<RunVerification::Untested, const char *>, 5> kUntestedKeys{{
    {RunVerification::Untested::NotConfirmed, "not_confirmed"},
    {RunVerification::Untested::GainsChanged, "gains_changed"},
    {RunVerification::Untested::NoStep, "no_step"},
    {RunVerification::Untested::EndedBeforePeak, "ended_before_peak"},
    {RunVerification::Untested::GapInRise, "gap_in_rise"},
}};

QString untestedText(RunVerification::Untested untested)
{
    switch (untested) {
    case RunVerification::Untested::NotConfirmed:
        return RunVerification::tr("控制器没有确认这次的增益");
    case RunVerification::Untested::GainsChanged:
        return RunVerification::tr("运行中增益被改动过");
    case RunVerification::Untested::NoStep:
        return RunVerification::tr("温度没有朝目标变化，没有阶跃");
    case RunVerification::Untested::EndedBeforePeak:
        return RunVerification::tr("运行在预测的峰值之前就结束了");
    case RunVerification::Untested::GapInRise:
        return RunVerification::tr("上升时连接中断过，中间的温度不知道");
    }
    return {};
}

/// A cell that is no finite number, or an IAE of nothing, is as good as empty: a step always
/// has some error to integrate.
std::optional<double> figureOf(const QString &cell, bool positive)
{
    const std::optional<double> value = TextNumber::toDouble(cell);
    if (!value || !std::isfinite(*value) || (positive && *value <= 0))
        return std::nullopt;
    return value;
}

/// Yes-or-no facts after the figures, written 1 or 0.
std::array<std::optional<bool> RunVerification::*, 2> facts()
{
    return {&RunVerification::lawAgreed, &RunVerification::modelLoose};
}

} // namespace

int RunVerification::comparable() const
{
    const auto both = [](const std::optional<double> &one, const std::optional<double> &other) {
        return int(one.has_value() && other.has_value());
    };
    return both(predictedOvershoot, measuredOvershoot) + both(predictedSettling, measuredSettling)
        + both(predictedIae, measuredIae) + int(neverSettled());
}

QStringList RunVerification::strayed() const
{
    QStringList strayed;
    if (untested)
        return strayed;
    const auto beyond = [](const std::optional<double> &predicted,
                            const std::optional<double> &measured, double gate) {
        return predicted && measured && std::abs(*measured - *predicted) > gate;
    };
    if (beyond(predictedOvershoot, measuredOvershoot, kOvershootGate))
        strayed << tr("超调相差 %1 ℃（容许 %2 ℃）")
                       .arg(std::abs(*measuredOvershoot - *predictedOvershoot), 0, 'f', 2)
                       .arg(kOvershootGate);
    // A run measured over the whole span (its IAE known) that never settled strays too.
    if (predictedSettling && !measuredSettling && measuredIae)
        strayed
            << tr("预测 %1 s 稳定在 ±0.5 ℃ 内，实测没有稳定").arg(*predictedSettling, 0, 'f', 1);
    if (beyond(predictedSettling, measuredSettling, kSettlingGate))
        strayed << tr("调节时间相差 %1 s（容许 %2 s）")
                       .arg(std::abs(*measuredSettling - *predictedSettling), 0, 'f', 1)
                       .arg(kSettlingGate);
    if (predictedIae && *predictedIae > 0
        && beyond(predictedIae, measuredIae, kIaeGate * *predictedIae))
        strayed << tr("IAE 相差 %1 %（容许 %2 %）")
                       .arg(std::abs(*measuredIae / *predictedIae - 1) * 100, 0, 'f', 0)
                       .arg(kIaeGate * 100);
    return strayed;
}

QString RunVerification::verdict() const
{
    if (untested)
        return tr("这次运行不按预测核对：%1。").arg(untestedText(*untested));
    if (comparable() == 0)
        return tr("没有两边都有的数字可以比较。");
    const QStringList stray = strayed();
    if (stray.isEmpty())
        return tr("实测与预测相符。");
    QString text = tr("实测与预测不符：%1。").arg(stray.join(tr("；")));
    if (predictedFrom && predictedTo && measuredFrom
        && !PredictionStart(StepPlan{*predictedFrom, *predictedTo}, measuredFrom).holds()) {
        return text
            + tr("阶跃没有按预测进行：开始时是 %1 ℃，预测是从 %2 ℃ 开始的。")
                  .arg(*measuredFrom, 0, 'f', 1)
                  .arg(*predictedFrom, 0, 'f', 1);
    }
    if (lawAgreed == false)
        return text
            + tr("拟合模型的那次运行与 [TUNING] "
                 "的刻度不符，预测是按这些刻度算的：先设好刻度再预测。");
    if (modelLoose == true)
        return text + tr("模型本来就知道得不准，预测只能粗略：可以从这次运行重新拟合。");
    return text + tr("模型可能已不合这次运行，可以从这次运行重新拟合。");
}

const QStringList &RunVerification::columns()
{
    static const QStringList columns{QStringLiteral("model_k"), QStringLiteral("model_tau_s"),
        QStringLiteral("model_theta_s"), QStringLiteral("predicted_overshoot_c"),
        QStringLiteral("measured_overshoot_c"), QStringLiteral("predicted_settling_s"),
        QStringLiteral("measured_settling_s"), QStringLiteral("predicted_iae"),
        QStringLiteral("measured_iae"), QStringLiteral("predicted_from_c"),
        QStringLiteral("predicted_to_c"), QStringLiteral("measured_from_c"),
        QStringLiteral("law_agreed"), QStringLiteral("model_loose"), QStringLiteral("untested")};
    return columns;
}

QStringList RunVerification::cells() const
{
    QStringList cells;
    for (const auto &[figure, places] : figures()) {
        const std::optional<double> &value = this->*figure;
        cells << (value ? QString::number(*value, 'f', places) : QString());
    }
    for (const auto fact : facts()) {
        const std::optional<bool> &value = this->*fact;
        cells << (value ? QString::number(int(*value)) : QString());
    }
    QString key;
    for (const auto &[reason, name] : kUntestedKeys) {
        if (untested == reason)
            key = QLatin1String(name);
    }
    return cells << key;
}

std::optional<RunVerification> RunVerification::fromRow(
    const QStringList &heading, const QStringList &row)
{
    RunVerification verification;
    bool any = false;
    const auto cell = [&](qsizetype at) { return row.value(heading.indexOf(columns()[at])); };
    const qsizetype figureCount = qsizetype(figures().size());
    for (qsizetype at = 0; at < figureCount; ++at) {
        const auto member = figures()[std::size_t(at)].first;
        std::optional<double> &value = verification.*member;
        value = figureOf(cell(at),
            member == &RunVerification::predictedIae || member == &RunVerification::measuredIae);
        any = any || value.has_value();
    }
    for (std::size_t at = 0; at < facts().size(); ++at) {
        const QString text = cell(figureCount + qsizetype(at)).trimmed();
        if (text == QLatin1String("1") || text == QLatin1String("0"))
            verification.*(facts()[at]) = text == QLatin1String("1");
    }
    const QString key = cell(figureCount + qsizetype(facts().size())).trimmed();
    for (const auto &[reason, name] : kUntestedKeys) {
        if (key == QLatin1String(name))
            verification.untested = reason;
    }
    return any ? std::optional<RunVerification>(verification) : std::nullopt;
}
