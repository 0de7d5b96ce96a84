#include "run_verification.h"

#include "telemetry/text_number.h"

#include <array>
#include <cmath>

namespace {

/// The figures in columns() order, with the places each is written to.
std::array<std::pair<std::optional<double> RunVerification::*, int>, 9> figures()
{
    return {{{&RunVerification::modelGain, 5}, {&RunVerification::modelTimeConstant, 2},
        {&RunVerification::modelDeadTime, 2}, {&RunVerification::predictedOvershoot, 2},
        {&RunVerification::measuredOvershoot, 2}, {&RunVerification::predictedSettling, 1},
        {&RunVerification::measuredSettling, 1}, {&RunVerification::predictedIae, 1},
        {&RunVerification::measuredIae, 1}}};
}
} // namespace

QStringList RunVerification::strayed() const
{
    QStringList strayed;
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

const QStringList &RunVerification::columns()
{
    static const QStringList columns{QStringLiteral("model_k"), QStringLiteral("model_tau_s"),
        QStringLiteral("model_theta_s"), QStringLiteral("predicted_overshoot_c"),
        QStringLiteral("measured_overshoot_c"), QStringLiteral("predicted_settling_s"),
        QStringLiteral("measured_settling_s"), QStringLiteral("predicted_iae"),
        QStringLiteral("measured_iae")};
    return columns;
}

QStringList RunVerification::cells() const
{
    QStringList cells;
    for (const auto &[figure, places] : figures()) {
        const std::optional<double> &value = this->*figure;
        cells << (value ? QString::number(*value, 'f', places) : QString());
    }
    return cells;
}

std::optional<RunVerification> RunVerification::fromRow(
    const QStringList &heading, const QStringList &row)
{
    RunVerification verification;
    bool any = false;
    for (qsizetype at = 0; at < columns().size(); ++at) {
        const QString cell = row.value(heading.indexOf(columns()[at]));
        std::optional<double> &value = verification.*(figures()[std::size_t(at)].first);
        value = TextNumber::toDouble(cell);
        any = any || value.has_value();
    }
    return any ? std::optional<RunVerification>(verification) : std::nullopt;
}
