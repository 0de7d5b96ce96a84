#include "gain_search.h"

#include "tuning/closed_loop.h"
#include "tuning/gain_rules.h"
#include "tuning/loop_prediction.h"
#include "tuning/output_activity.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <set>
#include <tuple>

namespace {
constexpr int kGainSteps = 22;
constexpr double kLeastGainShare = 1.0 / 8;
constexpr double kMostGainShare = 4.0;
constexpr int kIntegralSteps = 18;
constexpr double kShortestIntegralSpans = 0.5; // of the dead time
constexpr double kLongestIntegralSpans = 3.0; // of the time constant
constexpr std::array<double, 4> kDerivativeSpans = {0.0, 0.125, 0.25, 0.5}; // of the dead time
/// A load is recovered when the error stays within a tenth of its largest, or this, if more.
constexpr double kRecoveryBand = 0.1;
constexpr double kRecoveryShare = 0.1;
constexpr int kGridPermille = 850;
constexpr int kMostRefinements = 400;
/// Where nothing met every condition, every this many sets of the grid is looked at for the one
/// that came closest.
constexpr std::size_t kNearMissStride = 4;

std::vector<double> geometric(double first, double last, int count)
{
    std::vector<double> values;
    for (int at = 0; at < count; ++at)
        values.push_back(first * std::pow(last / first, at / double(count - 1)));
    return values;
}

} // namespace

GainSearch::GainSearch(const Request &request)
    : m_request(request)
    , m_plan(LoopPrediction::completed(request.plan, request.model))
    , m_robustModel(robustModelOf(request.model))
    , m_stepLimit(stepLimitOf(request))
{
    const ClosedLoop atTarget(request.model, request.law, {}, m_plan.to);
    const double holding = atTarget.holdingOutput(m_plan.to);
    m_load = kLoadShare * holding;
    m_outcome.loadWeighed = holding + m_load <= request.law.outputMax;
}

PlantModel GainSearch::robustModelOf(const PlantModel &model)
{
    PlantModel robust = model;
    robust.gain *= kGainMargin;
    robust.deadTime *= kDeadTimeMargin;
    return robust;
}

double GainSearch::readingMargin(const PlantModel &model)
{
    return kReadingMargin * (model.lineNoise > 0 ? model.lineNoise : model.rms);
}

double GainSearch::stepLimitOf(const Request &request)
{
    return request.overshootLimit - readingMargin(request.model);
}

GainSearch::Outcome GainSearch::search(const Request &request, const Progress &progress)
{
    GainSearch search(request);
    search.m_bestError = std::numeric_limits<double>::infinity();
    const std::vector<GainSet> grid = search.grid();
    for (std::size_t at = 0; at < grid.size(); ++at) {
        if (progress && !progress(int(kGridPermille * at / grid.size()))) {
            search.m_outcome.cancelled = true;
            return search.m_outcome;
        }
        search.consider(grid[at]);
    }
    search.m_outcome.cancelled =
        search.m_outcome.best ? !search.refine(progress) : !search.findNearest(grid, progress);
    return search.m_outcome;
}

/// The seeds first, then every gain with every integral and derivative time; the same set met
/// twice is tried once.
std::vector<GainSet> GainSearch::grid() const
{
    const PlantModel &model = m_request.model;
    const ControllerLaw &law = m_request.law;
    const double deadTime = std::max(model.deadTime, 2 * ClosedLoop::kLoopSeconds);
    const double reference = model.timeConstant / (model.gain * 2.0 * deadTime);
    std::vector<GainSet> sets;
    for (const GainSet &seed : m_request.seeds)
        sets.push_back({law.gainWithin(seed.p), law.gainWithin(seed.i), law.gainWithin(seed.d)});
    for (const double gain :
        geometric(reference * kLeastGainShare, reference * kMostGainShare, kGainSteps)) {
        for (const double integral : geometric(kShortestIntegralSpans * deadTime,
                 kLongestIntegralSpans * model.timeConstant, kIntegralSteps)) {
            for (const double derivative : kDerivativeSpans)
                sets.push_back(GainRules::fromIdeal(gain, integral, derivative * deadTime, law));
        }
    }
    std::set<std::tuple<int, int, int>> seen;
    std::vector<GainSet> unique;
    for (const GainSet &gains : sets) {
        if (gains.p > 0 && seen.insert({gains.p, gains.i, gains.d}).second)
            unique.push_back(gains);
    }
    return unique;
}

void GainSearch::consider(const GainSet &gains)
{
    ++m_outcome.tried;
    if (const std::optional<double> error = judge(gains, m_bestError)) {
        m_bestError = *error;
        m_outcome.best = gains;
    }
}

/// Steps in P, I and D from the best, each an eighth of its gain at first and halved whenever
/// none improves, down to single counts.
bool GainSearch::refine(const Progress &progress)
{
    const ControllerLaw &law = m_request.law;
    const auto firstStride = [](int gain) { return std::max(1, gain / 8); };
    std::array<int, 3> strides = {firstStride(m_outcome.best->p), firstStride(m_outcome.best->i),
        firstStride(m_outcome.best->d)};
    constexpr std::array<int GainSet::*, 3> kGains = {&GainSet::p, &GainSet::i, &GainSet::d};
    for (int round = 0; round < kMostRefinements; ++round) {
        if (progress
            && !progress(kGridPermille + (1000 - kGridPermille) * round / kMostRefinements))
            return false;
        const GainSet from = *m_outcome.best;
        for (std::size_t gain = 0; gain < kGains.size(); ++gain) {
            for (const int sign : {1, -1}) {
                GainSet next = from;
                next.*kGains[gain] = law.gainWithin(next.*kGains[gain] + sign * strides[gain]);
                if (next != from && next.p > 0)
                    consider(next);
            }
        }
        if (*m_outcome.best != from)
            continue;
        if (strides == std::array<int, 3>{1, 1, 1})
            break;
        for (int &stride : strides)
            stride = std::max(1, stride / 2);
    }
    return true;
}

/// The set that missed its worst condition by the least share of that condition's limit.
bool GainSearch::findNearest(const std::vector<GainSet> &sets, const Progress &progress)
{
    double least = std::numeric_limits<double>::infinity();
    for (std::size_t at = 0; at < sets.size(); at += kNearMissStride) {
        if (progress && !progress(kGridPermille + int((1000 - kGridPermille) * at / sets.size())))
            return false;
        if (const std::optional<NearMiss> miss = missWithin(sets[at], least)) {
            least = miss->value / miss->limit;
            m_outcome.nearest = miss;
        }
    }
    return true;
}

std::optional<double> GainSearch::judge(const GainSet &gains, double bound)
{
    double worst = 0.0;
    for (const GainSet &resting : restsFor(gains)) {
        const std::optional<double> error = stepErrorWithin(gains, resting, bound);
        if (!error)
            return std::nullopt;
        worst = std::max(worst, *error);
    }
    if (activityOf(gains) > m_request.law.outputActivityLimit || !robustWithin(gains)
        || (m_outcome.loadWeighed
            && recoveryOf(gains) > kRecoverySpans * m_request.model.timeConstant))
        return std::nullopt;
    return worst;
}

/// Applied with the step, the loop rests under the gains in use; kept, under the set itself.
std::vector<GainSet> GainSearch::restsFor(const GainSet &gains) const
{
    const GainSet applied = m_plan.restingGains.value_or(gains);
    if (!m_request.alsoKept || applied == gains)
        return {applied};
    return {applied, gains};
}

std::optional<double> GainSearch::stepErrorWithin(
    const GainSet &gains, const GainSet &resting, double bound) const
{
    ClosedLoop loop(m_request.model, m_request.law, resting, m_plan.from);
    loop.setGains(gains);
    loop.setTarget(m_plan.to);
    const double direction = m_plan.change() >= 0 ? 1.0 : -1.0;
    const double period = m_plan.linePeriodMs / 1000.0;
    double error = 0.0;
    double before = std::abs(m_plan.change());
    bool within = true;
    loop.followLines(m_plan.linePeriodMs, m_plan.horizonSeconds, [&](qint64) {
        const double temperature = loop.temperature();
        const double now = std::abs(m_plan.to - temperature);
        error += (before + now) / 2 * period;
        before = now;
        within = direction * (temperature - m_plan.to) <= m_stepLimit && error < bound;
        return within;
    });
    return within ? std::optional<double>(error) : std::nullopt;
}

double GainSearch::overshootOf(
    const PlantModel &model, const GainSet &gains, const GainSet &resting, double stopAbove) const
{
    ClosedLoop loop(model, m_request.law, resting, m_plan.from);
    loop.setGains(gains);
    loop.setTarget(m_plan.to);
    const double direction = m_plan.change() >= 0 ? 1.0 : -1.0;
    double overshoot = 0.0;
    loop.followLines(m_plan.linePeriodMs, m_plan.horizonSeconds, [&](qint64) {
        overshoot = std::max(overshoot, direction * (loop.temperature() - m_plan.to));
        return overshoot <= stopAbove;
    });
    return overshoot;
}

double GainSearch::activityOf(const GainSet &gains) const
{
    return OutputActivity::atRest(
        m_request.model, m_request.law, gains, m_plan.to, m_plan.linePeriodMs);
}

bool GainSearch::robustWithin(const GainSet &gains) const
{
    const double allowed = 2.0 * m_request.overshootLimit;
    for (const GainSet &resting : restsFor(gains)) {
        if (overshootOf(m_robustModel, gains, resting, allowed) > allowed)
            return false;
    }
    return true;
}

double GainSearch::recoveryOf(const GainSet &gains) const
{
    const double recovery = kRecoverySpans * m_request.model.timeConstant;
    ClosedLoop loop(m_request.model, m_request.law, gains, m_plan.to);
    loop.setLoad(m_load);
    double largest = 0.0;
    double lastOutside = 0.0;
    std::vector<std::pair<double, double>> errors;
    loop.followLines(m_plan.linePeriodMs,
        recovery + m_request.model.timeConstant + m_request.model.deadTime,
        [&](qint64 milliseconds) {
            errors.emplace_back(milliseconds / 1000.0, std::abs(loop.temperature() - m_plan.to));
            largest = std::max(largest, errors.back().second);
            return true;
        });
    const double band = std::max(kRecoveryBand, kRecoveryShare * largest);
    for (const auto &[seconds, error] : errors) {
        if (error > band)
            lastOutside = seconds;
    }
    return lastOutside;
}

/// Every condition as a share of its limit, the largest being the miss; none as soon as one
/// passes the share to beat, which spares working the rest out.
std::optional<GainSearch::NearMiss> GainSearch::missWithin(const GainSet &gains, double share) const
{
    NearMiss worst{
        gains, Condition::OutputActivity, activityOf(gains), m_request.law.outputActivityLimit};
    const auto beyond = [&share](double value, double limit) {
        return limit <= 0 || value >= share * limit;
    };
    const auto take = [&worst](Condition condition, double value, double limit) {
        if (value / limit > worst.value / worst.limit)
            worst = {worst.gains, condition, value, limit};
    };
    if (beyond(worst.value, worst.limit))
        return std::nullopt;
    const double limit = m_request.overshootLimit;
    for (const auto &[model, condition, allowed] :
        {std::tuple{&m_request.model, Condition::Overshoot, m_stepLimit},
            std::tuple{&m_robustModel, Condition::Robustness, 2 * limit}}) {
        for (const GainSet &resting : restsFor(gains)) {
            const double overshoot = overshootOf(*model, gains, resting, share * allowed);
            if (beyond(overshoot, allowed))
                return std::nullopt;
            take(condition, overshoot, allowed);
        }
    }
    if (m_outcome.loadWeighed) {
        const double recovery = kRecoverySpans * m_request.model.timeConstant;
        const double recovered = recoveryOf(gains);
        if (beyond(recovered, recovery))
            return std::nullopt;
        take(Condition::LoadRecovery, recovered, recovery);
    }
    return worst;
}
