#include "tuning_advice.h"

#include "tuning/gain_rules.h"

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
    GainSearch::Request searchRequest{
        request.model, request.law, request.plan, request.overshootLimit, {}};
    const std::vector<RuleCandidate> rules = ruleCandidates(request);
    for (const RuleCandidate &rule : rules)
        searchRequest.seeds.push_back(rule.gains);
    const GainSearch::Outcome outcome = GainSearch::search(searchRequest, progress);
    if (outcome.cancelled) {
        advice.cancelled = true;
        return advice;
    }
    const auto predict = [&](Kind kind, const GainSet &gains) {
        advice.candidates.push_back(
            {kind, gains, LoopPrediction::of(request.model, request.law, gains, request.plan)});
    };
    for (const RuleCandidate &rule : rules)
        predict(rule.kind, rule.gains);
    if (outcome.best)
        predict(Kind::Recommended, *outcome.best);
    advice.weighed = weighedText(request, outcome);
    return advice;
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
    QString conditions =
        tr("预测超调不超过 %1 ℃；K 大 20 %、θ 长 30 % 时超调不超过 %2 ℃").arg(limit, robustLimit);
    if (outcome.loadWeighed)
        conditions += tr("；输出需多 20 % 的负载变化在 3τ（%1 s）内恢复").arg(recovery);
    QString text = outcome.best
        ? tr("推荐的是 IAE 最小的一组，条件是%1（共试了 %2 组）。")
              .arg(conditions)
              .arg(outcome.tried)
        : tr("没有推荐：试过的 %1 组增益都不满足：%2。").arg(outcome.tried).arg(conditions);
    if (!outcome.loadWeighed)
        text += tr("保持目标温度已需要输出的 %1 %以上，没有多 20 % 的余地，未考虑负载变化。")
                    .arg(qRound(100.0 / (1.0 + GainSearch::kLoadShare)));
    return text;
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
