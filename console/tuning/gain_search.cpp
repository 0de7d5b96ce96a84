#include "gain_search.h"

#include "tuning/closed_loop.h"
#include "tuning/gain_rules.h"
#include "tuning/loop_prediction.h"

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
    , m_robustModel(request.model)
{
    m_robustModel.gain *= kGainMargin;
    m_robustModel.deadTime *= kDeadTimeMargin;
    const ClosedLoop atTarget(request.model, request.law, {}, m_plan.to);
    const double holding = atTarget.holdingOutput(m_plan.to);
    m_load = kLoadShare * holding;
    m_outcome.loadWeighed = holding + m_load <= request.law.outputMax;
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
    search.m_outcome.cancelled = !search.refine(progress);
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
    std::vector<GainSet> sets = m_request.seeds;
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
    if (!m_outcome.best)
        return true;
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
                next.*kGains[gain] =
                    std::clamp(next.*kGains[gain] + sign * strides[gain], 0, GainSet::kLargest);
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

std::optional<double> GainSearch::judge(const GainSet &gains, double bound)
{
    const std::optional<double> error = stepErrorWithin(gains, bound);
    if (!error || !robustWithin(gains) || (m_outcome.loadWeighed && !recoversFromLoad(gains)))
        return std::nullopt;
    return error;
}

std::optional<double> GainSearch::stepErrorWithin(const GainSet &gains, double bound) const
{
    ClosedLoop loop(
        m_request.model, m_request.law, m_plan.restingGains.value_or(gains), m_plan.from);
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
        within = direction * (temperature - m_plan.to) <= m_request.overshootLimit && error < bound;
        return within;
    });
    return within ? std::optional<double>(error) : std::nullopt;
}

bool GainSearch::robustWithin(const GainSet &gains) const
{
    ClosedLoop loop(m_robustModel, m_request.law, m_plan.restingGains.value_or(gains), m_plan.from);
    loop.setGains(gains);
    loop.setTarget(m_plan.to);
    const double direction = m_plan.change() >= 0 ? 1.0 : -1.0;
    bool within = true;
    loop.followLines(m_plan.linePeriodMs, m_plan.horizonSeconds, [&](qint64) {
        within = direction * (loop.temperature() - m_plan.to) <= 2.0 * m_request.overshootLimit;
        return within;
    });
    return within;
}

bool GainSearch::recoversFromLoad(const GainSet &gains) const
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
    return lastOutside <= recovery;
}
