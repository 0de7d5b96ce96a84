#include "tuning_advice.h"

#include "tuning/gain_rules.h"
#include "tuning/output_activity.h"
#include "tuning/prediction_text.h"

#include <algorithm>

namespace {
struct RuleCandidate
{
    TuningAdvice::Kind kind;
    GainSet gains;
};

std::vector<RuleCandidate> ruleCandidates(const TuningAdvice::Request &request)
{
    const PlantModel &model = request.model;
    const ControllerLaw &law = request.law;
    using Kind = TuningAdvice::Kind;
    std::vector<RuleCandidate> rules;
    if (request.current)
        rules.push_back({Kind::Current, *request.current});
    rules.push_back({Kind::SimcTight, GainRules::simcPi(model, law, 1.0)});
    rules.push_back({Kind::SimcSmooth, GainRules::simcPi(model, law, 2.0)});
    rules.push_back({Kind::AmigoPi, GainRules::amigoPi(model, law)});
    rules.push_back({Kind::AmigoPid, GainRules::amigoPid(model, law)});
    rules.push_back({Kind::RelayZieglerNichols, GainRules::relayZieglerNichols(model, law)});
    return rules;
}
} // namespace

TuningAdvice TuningAdvice::of(const Request &request, const GainSearch::Progress &progress)
{
    TuningAdvice advice;
    // Limits that leave no range make no loop to simulate, nor does a model without numbers.
    if (const std::optional<QString> refusal = request.law.refusal()) {
        advice.weighed = tr("没有建议：%1。").arg(*refusal);
        return advice;
    }
    if (!request.model.isUsable()) {
        advice.weighed = tr("没有建议：模型的数不是有限的正数，不能用来预测。");
        return advice;
    }
    const std::vector<RuleCandidate> rules = ruleCandidates(request);
    for (const RuleCandidate &rule : rules)
        advice.candidates.push_back(predicted(rule.kind, rule.gains, request));
    if (const std::optional<QString> why = unreachable(request)) {
        advice.weighed = tr("没有推荐：%1。").arg(*why);
        return advice;
    }
    if (request.lawDisputed) {
        advice.weighed =
            tr("没有推荐：控制规律的刻度与记录不符，按它算出的增益不可信。请在设置文件的 "
               "[TUNING] 中设好 P_SCALE、I_SCALE，或确认现有的刻度后重新计算。");
        return advice;
    }
    GainSearch::Request searchRequest{
        request.model, request.law, request.plan, request.overshootLimit, request.alsoKept, {}};
    for (const RuleCandidate &rule : rules)
        searchRequest.seeds.push_back(rule.gains);
    const GainSearch::Outcome outcome = GainSearch::search(searchRequest, progress);
    if (outcome.cancelled) {
        advice.candidates.clear();
        advice.cancelled = true;
        return advice;
    }
    if (outcome.best)
        advice.candidates.push_back(predicted(Kind::Recommended, *outcome.best, request));
    advice.weighed = weighedText(request, outcome);
    return advice;
}

TuningAdvice::Candidate TuningAdvice::predicted(
    Kind kind, const GainSet &gains, const Request &request)
{
    Candidate candidate{kind, gains,
        LoopPrediction::of(request.model, request.law, gains, request.plan), std::nullopt,
        OutputActivity::atRest(
            request.model, request.law, gains, request.plan.to, request.plan.linePeriodMs)};
    if (request.alsoKept) {
        StepPlan kept = request.plan;
        kept.restingGains = gains;
        candidate.kept = LoopPrediction::of(request.model, request.law, gains, kept);
    }
    return candidate;
}

double TuningAdvice::Candidate::worseOvershoot() const
{
    const double applied = prediction.figures.overshoot;
    return kept ? std::max(applied, kept->figures.overshoot) : applied;
}

std::optional<QString> TuningAdvice::unreachable(const Request &request)
{
    const PlantModel &model = request.model;
    const ControllerLaw &law = request.law;
    const double highest = model.offset + model.gain * law.outputMax;
    const double lowest = model.offset + model.gain * law.outputMin;
    for (const auto &[end, temperature] :
        {std::pair{tr("目标"), request.plan.to}, std::pair{tr("起点"), request.plan.from}}) {
        if (temperature > highest)
            return tr("%1 %2 ℃ 达不到：输出在上限（%3）时模型只能到 %4 ℃")
                .arg(end, QString::number(temperature, 'f', 1))
                .arg(law.outputMax)
                .arg(highest, 0, 'f', 1);
        if (temperature < lowest)
            return tr("%1 %2 ℃ 达不到：输出在下限（%3）时模型停在 %4 ℃")
                .arg(end, QString::number(temperature, 'f', 1))
                .arg(law.outputMin)
                .arg(lowest, 0, 'f', 1);
    }
    return std::nullopt;
}

const TuningAdvice::Candidate *TuningAdvice::recommended() const
{
    for (const Candidate &candidate : candidates) {
        if (candidate.kind == Kind::Recommended)
            return &candidate;
    }
    return nullptr;
}

QString TuningAdvice::weighedText(const Request &request, const GainSearch::Outcome &outcome)
{
    const QString limit = QString::number(request.overshootLimit, 'f', 1);
    const QString robustLimit = QString::number(2 * request.overshootLimit, 'f', 1);
    const QString recovery =
        QString::number(GainSearch::kRecoverySpans * request.model.timeConstant, 'f', 0);
    const QString margin = QString::number(GainSearch::readingMargin(request.model), 'f', 2);
    QString conditions = request.alsoKept && request.plan.restingGains
        ? tr("预测超调加上读数的噪声（%2 ℃）不超过 %1 "
             "℃（随阶跃应用时和保持到下一次同样的阶跃时都是）")
              .arg(limit, margin)
        : tr("预测超调加上读数的噪声（%2 ℃）不超过 %1 ℃").arg(limit, margin);
    conditions +=
        tr("；静止时输出每行的波动（均方根）不超过 %1").arg(request.law.outputActivityLimit);
    conditions += tr("；K 大 20 %、θ 长 30 % 时超调不超过 %1 ℃").arg(robustLimit);
    if (outcome.loadWeighed)
        conditions += tr("；输出需多 20 % 的负载变化在 3τ（%1 s）内恢复").arg(recovery);
    QString text = outcome.best
        ? tr("推荐的是 IAE 最小的一组，条件是%1（共试了 %2 组）。")
              .arg(conditions)
              .arg(outcome.tried)
        : tr("没有推荐：试过的 %1 组增益都不满足：%2。").arg(outcome.tried).arg(conditions);
    if (!outcome.best && outcome.nearest)
        text += nearMissText(*outcome.nearest);
    if (!outcome.loadWeighed)
        text += tr("保持目标温度已需要输出的 %1 %以上，没有多 20 % 的余地，未考虑负载变化。")
                    .arg(qRound(100.0 / (1.0 + GainSearch::kLoadShare)));
    return text;
}

QString TuningAdvice::nearMissText(const GainSearch::NearMiss &miss)
{
    const QString gains =
        QStringLiteral("P %1 I %2 D %3").arg(miss.gains.p).arg(miss.gains.i).arg(miss.gains.d);
    const auto number = [](double value, int places) {
        return QString::number(value, 'f', places);
    };
    switch (miss.condition) {
    case GainSearch::Condition::Overshoot:
        return tr("最接近的是 %1：预测超调 %2 ℃（限 %3 ℃），可放宽允许的超调。")
            .arg(gains, number(miss.value, 2), number(miss.limit, 2));
    case GainSearch::Condition::OutputActivity:
        return tr("最接近的是 %1：静止时输出波动 %2（限 %3），可在 [TUNING] 中放宽 "
                  "OUTPUT_ACTIVITY_MAX。")
            .arg(gains, number(miss.value, 1), number(miss.limit, 1));
    case GainSearch::Condition::Robustness:
        return tr("最接近的是 %1：K 大 20 %、θ 长 30 % 时超调 %2 ℃（限 %3 ℃），可放宽允许的超调，"
                  "或用更多的阶跃把模型拟合得更准。")
            .arg(gains, number(miss.value, 2), number(miss.limit, 2));
    case GainSearch::Condition::LoadRecovery:
        return tr("最接近的是 %1：负载变化后 %2 s 才恢复（限 %3 s），积分太弱：可放宽允许的超调。")
            .arg(gains, number(miss.value, 0), number(miss.limit, 0));
    }
    return {};
}

QStringList TuningAdvice::headings()
{
    QStringList headings = PredictionText::headings();
    headings.insert(1, tr("保持时超调 ℃"));
    headings.insert(2, tr("输出波动"));
    return QStringList{QStringLiteral("P"), QStringLiteral("I"), QStringLiteral("D")} + headings;
}

std::vector<bool> TuningAdvice::essentialColumns()
{
    // In headings() order: P, I, D, overshoot °C, kept, swing, then the prediction's own
    // overshoot %, rise, settling ±2 %, settling ±0.5 °C, IAE, steady error, at a limit,
    // oscillates, and the window's rise, peak and settling times.
    return {true, true, true, true, true, true, false, true, false, true, true, false, true, true,
        false, false, false};
}

QStringList TuningAdvice::cells(const Candidate &candidate)
{
    QStringList cells = PredictionText::cells(candidate.prediction.figures);
    cells.insert(1,
        QString::number(
            (candidate.kept ? *candidate.kept : candidate.prediction).figures.overshoot, 'f', 2));
    cells.insert(2, QString::number(candidate.outputActivity, 'f', 1));
    return QStringList{QString::number(candidate.gains.p), QString::number(candidate.gains.i),
               QString::number(candidate.gains.d)}
    + cells;
}

QString TuningAdvice::nameOf(Kind kind)
{
    switch (kind) {
    case Kind::Current:
        return tr("现用");
    case Kind::SimcTight:
        return tr("SIMC PI 紧（τc = θ）");
    case Kind::SimcSmooth:
        return tr("SIMC PI 平稳（τc = 2θ）");
    case Kind::AmigoPi:
        return tr("AMIGO PI");
    case Kind::AmigoPid:
        return tr("AMIGO PID");
    case Kind::RelayZieglerNichols:
        return tr("继电器 + Z-N（固件自整定）");
    case Kind::Recommended:
        return tr("推荐");
    case Kind::Given:
        return tr("给定");
    }
    return {};
}

QString TuningAdvice::keyOf(Kind kind)
{
    switch (kind) {
    case Kind::Current:
        return QStringLiteral("current");
    case Kind::SimcTight:
        return QStringLiteral("simc_tight");
    case Kind::SimcSmooth:
        return QStringLiteral("simc_smooth");
    case Kind::AmigoPi:
        return QStringLiteral("amigo_pi");
    case Kind::AmigoPid:
        return QStringLiteral("amigo_pid");
    case Kind::RelayZieglerNichols:
        return QStringLiteral("relay_zn");
    case Kind::Recommended:
        return QStringLiteral("recommended");
    case Kind::Given:
        return QStringLiteral("given");
    }
    return {};
}
