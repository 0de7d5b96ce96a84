#include "plant_fit.h"

#include "tuning/dense_solve.h"
#include "tuning/fit_errors.h"
#include "tuning/nelder_mead.h"
#include "tuning/plant_series.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {
/// An output change this large, about 5 % of the range, excites the plant.
constexpr double kExcitingChange = 13.0;
/// Lines before the change whose trend moves them by more than this are taken as not at rest.
constexpr double kRestingDrift = 0.2;
constexpr int kFewestLines = 20;
/// Lines closer together than this share of the usual interval came in a burst.
constexpr qint64 kBurstShare = 10;
constexpr double kStartDeadTime = 2.0;
/// The time constants looked at before the search starts, from this to three times the span of
/// the lines: a slow heater's error rises from short time constants before it falls to its own.
constexpr double kShortestLook = 2.0;
constexpr double kLongestLookSpans = 3.0;
constexpr int kLooks = 12;
constexpr int kMostEvaluations = 400;

const PlantStretch &longestOf(const std::vector<PlantStretch> &stretches)
{
    static const PlantStretch none;
    const auto span = [](const PlantStretch &stretch) {
        return stretch.empty() ? 0 : stretch.back().milliseconds - stretch.front().milliseconds;
    };
    const auto longest = std::max_element(stretches.cbegin(), stretches.cend(),
        [&span](const PlantStretch &one, const PlantStretch &other) {
            return span(one) < span(other);
        });
    return longest == stretches.cend() ? none : *longest;
}

PlantStretch withOutput(const PlantStretch &stretch)
{
    PlantStretch kept;
    std::copy_if(stretch.cbegin(), stretch.cend(), std::back_inserter(kept),
        [](const PlantSample &sample) { return sample.output.has_value(); });
    return kept;
}

/// Lines that came in a burst (a backlog delivered at once, as when the port opens) carry the
/// time they arrived, not the time they were measured: of each burst only the last, measured
/// nearest its time, is kept.
PlantStretch withoutBacklog(const PlantStretch &stretch)
{
    if (stretch.size() < 3)
        return stretch;
    std::vector<qint64> gaps;
    for (std::size_t k = 1; k < stretch.size(); ++k)
        gaps.push_back(stretch[k].milliseconds - stretch[k - 1].milliseconds);
    const auto middle = gaps.begin() + std::ptrdiff_t(gaps.size() / 2);
    std::nth_element(gaps.begin(), middle, gaps.end());
    const qint64 tooClose = *middle / kBurstShare;
    PlantStretch kept;
    for (std::size_t k = 0; k < stretch.size(); ++k) {
        if (k + 1 == stretch.size()
            || stretch[k + 1].milliseconds - stretch[k].milliseconds > tooClose)
            kept.push_back(stretch[k]);
    }
    return kept;
}

/// The first line whose output differs from the first one's by enough to excite the plant.
std::optional<std::size_t> firstChange(const PlantStretch &stretch)
{
    for (std::size_t k = 1; k < stretch.size(); ++k) {
        if (std::abs(*stretch[k].output - *stretch.front().output) >= kExcitingChange)
            return k;
    }
    return std::nullopt;
}

/// The temperature's straight-line trend over the lines before the change moves it by less
/// than the resting drift; the noise alone spreads the lines more than that.
bool restsBefore(const PlantSeries &series, std::size_t change)
{
    const std::vector<double> times(
        series.seconds().cbegin(), series.seconds().cbegin() + std::ptrdiff_t(change));
    const std::vector<double> temperatures(
        series.temperature().cbegin(), series.temperature().cbegin() + std::ptrdiff_t(change));
    const std::optional<std::vector<double>> line =
        DenseSolve::leastSquares({std::vector<double>(times.size(), 1.0), times}, temperatures);
    return line && std::abs((*line)[1] * (times.back() - times.front())) <= kRestingDrift;
}

/// The output a line reports is a moment's, sensor noise and all; its mean over the lines
/// before the change is what the plant rested at.
double restingOutput(const PlantStretch &stretch, std::size_t change)
{
    return std::accumulate(stretch.cbegin(), stretch.cbegin() + std::ptrdiff_t(change), 0.0,
               [](double sum, const PlantSample &sample) { return sum + *sample.output; })
        / double(change);
}

/// Where the search starts: the best of a coarse look over time constants.
template <typename Error>
std::vector<double> startingPoint(const Error &squaredError, double spanSeconds)
{
    const double longest = std::max(kShortestLook * 2, kLongestLookSpans * spanSeconds);
    std::vector<double> best{std::log(kShortestLook), kStartDeadTime};
    double least = squaredError(best);
    for (int look = 1; look < kLooks; ++look) {
        const std::vector<double> point{
            std::log(kShortestLook) + std::log(longest / kShortestLook) * look / (kLooks - 1),
            kStartDeadTime};
        if (const double error = squaredError(point); error < least) {
            least = error;
            best = point;
        }
    }
    return best;
}

/// The deviation of the lines' temperatures about their own smooth course: for noise alone the
/// second difference has six times its variance, and a steady trend adds nothing.
double lineNoiseOf(const PlantStretch &stretch)
{
    double squares = 0.0;
    std::size_t count = 0;
    for (std::size_t k = 2; k < stretch.size(); ++k) {
        const double second =
            stretch[k].temperature - 2 * stretch[k - 1].temperature + stretch[k - 2].temperature;
        squares += second * second;
        ++count;
    }
    return count > 0 ? std::sqrt(squares / double(count) / 6) : 0.0;
}

double timeConstantOf(const std::vector<double> &point)
{
    return std::exp(point[0]);
}

double deadTimeOf(const std::vector<double> &point)
{
    return std::max(0.0, point[1]);
}
} // namespace

PlantFit::Outcome PlantFit::fit(
    const std::vector<PlantStretch> &stretches, const Progress &progress)
{
    Outcome outcome;
    const PlantStretch &longest = longestOf(stretches);
    if (stretches.size() > 1)
        outcome.notes.append(tr("这次运行中连接中断过 %1 次，只按最长的一段（%2 行）拟合")
                                 .arg(stretches.size() - 1)
                                 .arg(longest.size()));
    if (longest.empty()) {
        outcome.refusal = tr("这次运行没有温度记录，无法拟合");
        return outcome;
    }
    const PlantStretch measured = withOutput(longest);
    outcome.fitted = withoutBacklog(measured);
    if (const std::size_t burst = measured.size() - outcome.fitted.size(); burst > 0)
        outcome.notes.append(
            tr("有 %1 行与下一行同时到达（积压后一起送到），不知何时测得，未用于拟合").arg(burst));
    if (const std::optional<QString> refusal = refusalOf(outcome.fitted)) {
        outcome.refusal = *refusal;
        return outcome;
    }
    const std::size_t change = *firstChange(outcome.fitted);
    const PlantSeries series(outcome.fitted, restingOutput(outcome.fitted, change));
    const bool initialTerm = !restsBefore(series, change);
    const auto squaredError = [&](const std::vector<double> &point) {
        const double belowZero = point[1] < 0 ? point[1] * point[1] : 0.0;
        return series.shapeFor(timeConstantOf(point), deadTimeOf(point), initialTerm).squaredError
            + belowZero;
    };
    const auto searching = [&](int evaluations) {
        return !progress || progress(evaluations * 1000 / kMostEvaluations);
    };
    const double span = series.seconds().back() - series.seconds().front();
    NelderMead::Result best = NelderMead::minimize(squaredError, startingPoint(squaredError, span),
        {0.7, 3.0}, 1e-9, kMostEvaluations / 2, searching);
    // Once more from where it stopped, with a fresh simplex, so that it did not stall.
    best = NelderMead::minimize(squaredError, best.point, {0.2, 1.0}, 1e-10, kMostEvaluations / 2,
        [&](int evaluations) { return searching(kMostEvaluations / 2 + evaluations); });
    if (progress && !progress(1000))
        return outcome;
    outcome.model = modelOf(series, best.point, initialTerm, outcome.refusal);
    if (outcome.model) {
        outcome.model->fromMilliseconds = outcome.fitted.front().milliseconds;
        outcome.model->toMilliseconds = outcome.fitted.back().milliseconds;
        outcome.model->lineNoise = lineNoiseOf(outcome.fitted);
    }
    return outcome;
}

std::optional<QString> PlantFit::refusalOf(const PlantStretch &stretch)
{
    if (stretch.empty())
        return tr("记录中没有输出值（output_pct），无法拟合：记录不是本控制台写的？");
    if (stretch.size() < std::size_t(kFewestLines))
        return tr("只有 %1 行有输出值，太少，无法拟合").arg(stretch.size());
    const auto [coolest, hottest] = std::minmax_element(
        stretch.cbegin(), stretch.cend(), [](const PlantSample &one, const PlantSample &other) {
            return one.temperature < other.temperature;
        });
    const auto [lowest, highest] = std::minmax_element(
        stretch.cbegin(), stretch.cend(), [](const PlantSample &one, const PlantSample &other) {
            return *one.output < *other.output;
        });
    const double level = *lowest->output;
    if (level == *highest->output)
        return level <= 0 || level >= PlantModel::kFullOutput
            ? tr("输出一直在 %1（极限），看不出过程的响应").arg(level)
            : tr("输出一直是 %1，没有变化，看不出过程的响应").arg(level);
    const double response = hottest->temperature - coolest->temperature;
    if (response < kSmallestResponse)
        return tr("温度只变化了 %1 ℃，不到 %2 ℃，不足以拟合")
            .arg(response, 0, 'f', 1)
            .arg(kSmallestResponse);
    const std::optional<std::size_t> change = firstChange(stretch);
    if (!change)
        return tr("输出几乎没有变化，看不出过程的响应");
    const double lead = double(stretch[*change].milliseconds - stretch.front().milliseconds) / 1e3;
    if (lead < kLeadSeconds)
        return tr("输出变化前只有 %1 s 的记录，不足 %2 s：看不出过程原来的状态")
            .arg(lead, 0, 'f', 1)
            .arg(kLeadSeconds);
    return std::nullopt;
}

std::optional<PlantModel> PlantFit::modelOf(
    const PlantSeries &series, const std::vector<double> &point, bool initialTerm, QString &refusal)
{
    const double timeConstant = timeConstantOf(point);
    const double deadTime = deadTimeOf(point);
    const PlantSeries::Shape shape = series.shapeFor(timeConstant, deadTime, initialTerm);
    if (shape.coefficients.empty() || shape.coefficients[1] <= 0) {
        refusal = tr("温度没有随输出升高，拟合不出正的增益");
        return std::nullopt;
    }
    std::vector<double> parameters{
        shape.coefficients[0], shape.coefficients[1], timeConstant, deadTime};
    if (initialTerm)
        parameters.push_back(shape.coefficients[2]);
    const std::optional<std::vector<double>> errors =
        FitErrors::standardErrors(series, parameters, initialTerm);
    if (!errors) {
        refusal = tr("这次运行看不出过程的时间常数和纯滞后");
        return std::nullopt;
    }
    PlantModel model;
    model.offset = parameters[0];
    model.gain = parameters[1];
    model.timeConstant = timeConstant;
    model.deadTime = deadTime;
    model.restingOutput = series.restingOutput();
    model.initialDeviation = initialTerm ? parameters[4] : 0.0;
    model.gainSd = (*errors)[1];
    model.timeConstantSd = (*errors)[2];
    model.deadTimeSd = (*errors)[3];
    model.rms = std::sqrt(shape.squaredError / double(series.size()));
    model.lines = int(series.size());
    return model;
}

double PlantModel::measurementNoise() const
{
    constexpr double kRounding = 0.1 * 0.1 / 12;
    const double noise = lineNoise > 0 ? lineNoise : rms;
    return std::sqrt(std::max(0.0, noise * noise - kRounding));
}

std::vector<double> PlantModel::predicted(const PlantStretch &fitted) const
{
    return PlantSeries(fitted, restingOutput)
        .modelled({offset, gain, timeConstant, deadTime, initialDeviation});
}
