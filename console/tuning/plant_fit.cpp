#include "plant_fit.h"

#include "tuning/dense_solve.h"
#include "tuning/fit_errors.h"
#include "tuning/fit_window.h"
#include "tuning/nelder_mead.h"
#include "tuning/plant_series.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {
constexpr double kExcitingChange = FitWindow::kExcitingChange;
/// Lines before the change whose trend moves them by more than this are taken as not at rest.
constexpr double kRestingDrift = 0.2;
constexpr int kFewestLines = 20;
/// A line that came this share of the usual interval after the line before it, or later than
/// the lines after it allow, was held back before it was delivered.
constexpr qint64 kHeldShare = 10;
/// The controller sends a line every interval; the console stamps each a little late or early.
constexpr double kShortestInterval = 0.9;
/// A start-up spike: one of the first lines further off the model than this many times the rms
/// of the others, and than the record's resolution several times over.
constexpr std::size_t kSpikeLines = 10;
constexpr double kSpikeRatio = 5.0;
constexpr double kSpikeDegrees = 0.5;
constexpr double kStartDeadTime = 2.0;
/// The time constants looked at before the search starts, from this to three times the span of
/// the lines: a slow heater's error rises from short time constants before it falls to its own.
constexpr double kShortestLook = 2.0;
constexpr double kLongestLookSpans = 3.0;
constexpr int kLooks = 12;
constexpr int kMostEvaluations = 400;
/// A time constant this many times the lines' span is not told by them.
constexpr double kLongestTimeConstantSpans = 10.0;

/// The stretches split wherever a line's time is earlier than the line's before it (a clock
/// set back, or rows out of order: the model would run backwards there), or later by more than
/// any controller leaves between lines without the link being lost: what the output did over the
/// gap is not known, and a clock set forward looks the same.
std::vector<PlantStretch> inTimeOrder(const std::vector<PlantStretch> &stretches)
{
    constexpr qint64 kLongestGapMs = 5 * 60 * 1000;
    std::vector<PlantStretch> whole;
    for (const PlantStretch &stretch : stretches) {
        whole.emplace_back();
        for (const PlantSample &line : stretch) {
            if (!whole.back().empty()) {
                const qint64 gap = line.milliseconds - whole.back().back().milliseconds;
                if (gap < 0 || gap > kLongestGapMs)
                    whole.emplace_back();
            }
            whole.back().push_back(line);
        }
    }
    return whole;
}

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

/// The name of the model's first figure that is not a finite number, if any: rows out of order
/// or beyond any heater's numbers can carry the search to where no figure means anything.
std::optional<QString> notFinite(const PlantModel &model)
{
    const std::pair<QString, double> figures[] = {{QStringLiteral("K"), model.gain},
        {QStringLiteral("τ"), model.timeConstant}, {QStringLiteral("θ"), model.deadTime},
        {PlantFit::tr("无输出时的温度"), model.offset}, {QStringLiteral("K ±"), model.gainSd},
        {QStringLiteral("τ ±"), model.timeConstantSd}, {QStringLiteral("θ ±"), model.deadTimeSd},
        {QStringLiteral("rms"), model.rms}, {PlantFit::tr("行的噪声"), model.lineNoise},
        {PlantFit::tr("起始状态"), model.initialDeviation}};
    for (const auto &[name, value] : figures) {
        if (!std::isfinite(value))
            return name;
    }
    return std::nullopt;
}

PlantStretch withOutput(const PlantStretch &stretch)
{
    PlantStretch kept;
    std::copy_if(stretch.cbegin(), stretch.cend(), std::back_inserter(kept),
        [](const PlantSample &sample) { return sample.output.has_value(); });
    return kept;
}

/// Lines held back and then delivered together (a backlog at a connect, and the lines queued
/// behind it) carry the time they arrived, not the time they were measured. The controller sends
/// a line every interval: counting back from the last line, each was measured at least nearly an
/// interval before the next; one that arrived later than that, or together with the line before
/// it, was held, and is left out.
PlantStretch withoutBacklog(const PlantStretch &stretch)
{
    if (stretch.size() < 3)
        return stretch;
    std::vector<qint64> gaps;
    for (std::size_t k = 1; k < stretch.size(); ++k)
        gaps.push_back(stretch[k].milliseconds - stretch[k - 1].milliseconds);
    const auto middle = gaps.begin() + std::ptrdiff_t(gaps.size() / 2);
    std::nth_element(gaps.begin(), middle, gaps.end());
    const qint64 interval = *middle;
    const qint64 held = interval / kHeldShare;
    std::vector<bool> kept(stretch.size());
    double latest = double(stretch.back().milliseconds);
    for (std::size_t k = stretch.size(); k-- > 0;) {
        const qint64 at = stretch[k].milliseconds;
        latest = std::min(latest, double(at));
        const bool withTheOneBefore = k > 0 && at - stretch[k - 1].milliseconds < held;
        kept[k] = !withTheOneBefore && double(at) - latest <= double(held);
        latest -= kShortestInterval * double(interval);
    }
    PlantStretch lines;
    for (std::size_t k = 0; k < stretch.size(); ++k) {
        if (kept[k])
            lines.push_back(stretch[k]);
    }
    return lines;
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

/// How many lines came before the run's start.
std::size_t linesBefore(const PlantStretch &stretch, qint64 runStart)
{
    return std::size_t(
        std::find_if(stretch.cbegin(), stretch.cend(),
            [runStart](const PlantSample &sample) { return sample.milliseconds >= runStart; })
        - stretch.cbegin());
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

/// Where the lines before the change end. A run led in by lines from before its start changes
/// there: a step test's run starts at its step, and the output's noise at rest before it is no
/// change. Other runs change at the first line whose output differs from the first one's by
/// enough to excite the plant. Nothing where the output never moves that far from the rest.
std::optional<std::size_t> changeOf(const PlantStretch &stretch, qint64 runStart)
{
    const std::size_t before = linesBefore(stretch, runStart);
    if (before == 0 || before == stretch.size())
        return firstChange(stretch);
    const double rest = restingOutput(stretch, before);
    const bool excited = std::any_of(stretch.cbegin() + std::ptrdiff_t(before), stretch.cend(),
        [rest](const PlantSample &sample) {
            return std::abs(*sample.output - rest) >= kExcitingChange;
        });
    return excited ? std::optional<std::size_t>(before) : std::nullopt;
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

/// The time constant and dead time with the least squared error, or nothing once stopped.
std::optional<std::vector<double>> searched(
    const PlantSeries &series, bool initialTerm, const PlantFit::Progress &progress)
{
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
        return std::nullopt;
    return best.point;
}
} // namespace

PlantFit::Outcome PlantFit::fit(
    const std::vector<PlantStretch> &stretches, const Progress &progress)
{
    return fitRun(stretches, std::numeric_limits<qint64>::min(), progress);
}

PlantFit::Outcome PlantFit::fitRun(
    const std::vector<PlantStretch> &given, qint64 runStart, const Progress &progress)
{
    Outcome outcome;
    const std::vector<PlantStretch> stretches = inTimeOrder(given);
    const PlantStretch &longest = longestOf(stretches);
    if (stretches.size() > 1)
        outcome.notes.append(tr("这次运行分成了 %1 段（连接中断、记录的时间倒退或跳变，或 5 "
                                "分钟以上没有行），只按最长的一段（%2 "
                                "行）拟合")
                                 .arg(stretches.size())
                                 .arg(longest.size()));
    if (longest.empty()) {
        outcome.refusal = tr("这次运行没有温度记录，无法拟合");
        return outcome;
    }
    std::size_t leftOut = 0;
    const PlantStretch measured = FitWindow::of(withOutput(longest), runStart, leftOut);
    if (const std::size_t without = longest.size() - measured.size() - leftOut;
        without > 0 && !measured.empty())
        outcome.notes.append(tr("有 %1 行没有输出值（output_pct），未用于拟合").arg(without));
    if (leftOut > 0)
        outcome.notes.append(FitWindow::note(leftOut));
    outcome.fitted = withoutBacklog(measured);
    if (const std::size_t held = measured.size() - outcome.fitted.size(); held > 0)
        outcome.notes.append(
            tr("有 %1 行是积压后一起送到的，到得比测得晚，不知何时测得，未用于拟合").arg(held));
    StretchFit fitted = fitStretch(outcome.fitted, runStart, progress);
    if (fitted.model) {
        if (const std::optional<QString> cut = keepResponse(outcome, fitted, runStart, progress))
            outcome.notes.append(*cut);
        if (const std::optional<Spike> spike = startSpike(outcome.fitted, *fitted.model))
            outcome.notes.append(leaveOut(*spike, outcome, fitted, runStart, progress));
    }
    outcome.notes += fitted.notes;
    outcome.refusal = fitted.refusal;
    outcome.model = fitted.model;
    if (!outcome.model)
        return outcome;
    outcome.model->fromMilliseconds = outcome.fitted.front().milliseconds;
    outcome.model->toMilliseconds = outcome.fitted.back().milliseconds;
    outcome.model->lineNoise = lineNoiseOf(outcome.fitted);
    if (const std::optional<QString> figure = notFinite(*outcome.model)) {
        outcome.model.reset();
        outcome.refusal =
            tr("拟合出的 %1 不是有限的数：记录的时间或数值不对，无法给出模型").arg(*figure);
    }
    return outcome;
}

PlantFit::StretchFit PlantFit::fitStretch(
    const PlantStretch &stretch, qint64 runStart, const Progress &progress)
{
    StretchFit fitted;
    if (const std::optional<QString> refusal = refusalOf(stretch, runStart)) {
        fitted.refusal = *refusal;
        return fitted;
    }
    const std::size_t change = *changeOf(stretch, runStart);
    const PlantSeries series(stretch, restingOutput(stretch, change), change);
    const bool initialTerm = !restsBefore(series, change);
    const std::size_t before = linesBefore(stretch, runStart);
    fitted.notes = restNotes(series, change, before > 0 && before < stretch.size(), initialTerm);
    if (const std::optional<std::vector<double>> point = searched(series, initialTerm, progress))
        fitted.model = modelOf(series, *point, initialTerm, fitted.refusal);
    return fitted;
}

QStringList PlantFit::restNotes(
    const PlantSeries &series, std::size_t change, bool ledIn, bool initialTerm)
{
    const QString seconds = QString::number(series.seconds()[change], 'f', 1);
    if (initialTerm)
        return {tr("变化前的 %1 s 温度不平稳：起始状态按一个随时间常数衰减的项拟合").arg(seconds)};
    if (ledIn)
        return {tr("运行开始（阶跃）前的 %1 行（%2 s）温度平稳，作为变化前的状态（输出平均 %3）")
                    .arg(change)
                    .arg(seconds)
                    .arg(series.restingOutput(), 0, 'f', 1)};
    return {};
}

std::optional<QString> PlantFit::refusalOf(const PlantStretch &stretch, qint64 runStart)
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
    const std::optional<std::size_t> change = changeOf(stretch, runStart);
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
    // Far past the lines' span the curve is a straight line whatever the time constant.
    const double span = series.seconds().back() - series.seconds().front();
    if (!(timeConstant <= kLongestTimeConstantSpans * span)) {
        refusal = tr("拟合的时间常数 τ（%1 s）远长于记录的 %2 s：这次运行看不出过程的时间常数")
                      .arg(timeConstant, 0, 'g', 3)
                      .arg(span, 0, 'f', 0);
        return std::nullopt;
    }
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

bool PlantModel::isUsable() const
{
    return !notFinite(*this) && gain > 0 && timeConstant > 0 && deadTime >= 0;
}

double PlantModel::measurementNoise() const
{
    constexpr double kRounding = 0.1 * 0.1 / 12;
    const double noise = lineNoise > 0 ? lineNoise : rms;
    return std::sqrt(std::max(0.0, noise * noise - kRounding));
}

/// Past the response, lines held at a set point tell only the gain again, while each line's
/// output, a moment's reading rather than its interval's mean, pulls the time constant long (on
/// the simulator with D 14, five hours held read τ 3.5 % long). The stretch is fitted again up
/// to kResponseSpans of τ + θ after its change or its set point's last step, and never less
/// than kLeastResponse after it.
std::optional<QString> PlantFit::keepResponse(
    Outcome &outcome, StretchFit &fitted, qint64 runStart, const Progress &progress)
{
    const PlantModel &model = *fitted.model;
    const PlantStretch &lines = outcome.fitted;
    const std::optional<std::size_t> change = changeOf(lines, runStart);
    if (!change)
        return std::nullopt;
    // A later step of the set point excites the plant again: the response is the last one's.
    std::size_t last = *change;
    for (std::size_t k = lines.size(); k-- > *change + 1;) {
        if (lines[k].setPoint && lines[k - 1].setPoint
            && *lines[k].setPoint != *lines[k - 1].setPoint) {
            last = k;
            break;
        }
    }
    const double seconds =
        std::max(kResponseSpans * (model.timeConstant + model.deadTime), kLeastResponse);
    const double until = double(lines[last].milliseconds) + seconds * 1e3;
    const auto end = std::find_if(lines.cbegin(), lines.cend(),
        [until](const PlantSample &line) { return double(line.milliseconds) > until; });
    if (end == lines.cend())
        return std::nullopt;
    PlantStretch response(lines.cbegin(), end);
    StretchFit again =
        fitStretch(response, runStart, [&progress](int) { return !progress || progress(1000); });
    if (!again.model)
        return std::nullopt;
    const std::size_t left = outcome.fitted.size() - response.size();
    outcome.fitted = std::move(response);
    fitted = std::move(again);
    return tr(
        "只按最后一次变化（输出变化或设定值阶跃）后 %1 s（τ + θ 的 %2 倍）内的行拟合，其后 %3 "
        "行未用：久稳的行只再说一遍 K，输出读数的噪声却会把 τ 拉长")
        .arg(seconds, 0, 'f', 0)
        .arg(kResponseSpans)
        .arg(left);
}

/// A start-up spike: of the first kSpikeLines lines, those further off the model than
/// kSpikeRatio times the rms of the lines after them (and than kSpikeDegrees).
std::optional<PlantFit::Spike> PlantFit::startSpike(
    const PlantStretch &fitted, const PlantModel &model)
{
    if (fitted.size() < 4 * kSpikeLines)
        return std::nullopt;
    const std::vector<double> curve = model.predicted(fitted);
    Spike spike;
    double squares = 0.0;
    for (std::size_t k = kSpikeLines; k < fitted.size(); ++k)
        squares += std::pow(fitted[k].temperature - curve[k], 2);
    spike.rms = std::sqrt(squares / double(fitted.size() - kSpikeLines));
    const double limit = std::max(kSpikeRatio * spike.rms, kSpikeDegrees);
    for (std::size_t k = 0; k < kSpikeLines; ++k) {
        const double off = std::abs(fitted[k].temperature - curve[k]);
        spike.furthest = std::max(spike.furthest, off);
        if (off > limit)
            spike.lines = k + 1;
    }
    return spike.lines > 0 ? std::optional<Spike>(spike) : std::nullopt;
}

/// Lines not measured when they say (held ones the backlog rule could not tell), or a start the
/// model cannot follow, pull the whole fit. The stretch is fitted again from the line after the
/// spike, and each standard error becomes the root of the sum of its square and the square of
/// how far its figure moved: the ± hold the fit with the spike too.
QString PlantFit::leaveOut(const Spike &spike, Outcome &outcome, StretchFit &fitted,
    qint64 runStart, const Progress &progress)
{
    const QString seen =
        tr("拟合的开头 %1 行离模型很远（最远 %2 ℃，其后各行的 rms 为 %3 ℃），可能不是当时测得的")
            .arg(spike.lines)
            .arg(spike.furthest, 0, 'f', 1)
            .arg(spike.rms, 0, 'f', 2);
    const PlantStretch rest(
        outcome.fitted.cbegin() + std::ptrdiff_t(spike.lines), outcome.fitted.cend());
    StretchFit without =
        fitStretch(rest, runStart, [&progress](int) { return !progress || progress(1000); });
    if (!without.model && without.refusal.isEmpty())
        return seen;
    if (!without.model)
        return tr("%1；不用这几行无法拟合（%2），仍用了它们").arg(seen, without.refusal);
    const PlantModel with = *fitted.model;
    PlantModel &model = *without.model;
    model.gainSd = std::hypot(model.gainSd, model.gain - with.gain);
    model.timeConstantSd = std::hypot(model.timeConstantSd, model.timeConstant - with.timeConstant);
    model.deadTimeSd = std::hypot(model.deadTimeSd, model.deadTime - with.deadTime);
    outcome.fitted = rest;
    fitted = std::move(without);
    return tr("%1，未用于拟合；± 已放宽到也含用了它们的拟合（满输出 %2 ℃，τ %3 s，θ %4 s）")
        .arg(seen)
        .arg(with.fullOutputGain(), 0, 'f', 1)
        .arg(with.timeConstant, 0, 'f', 1)
        .arg(with.deadTime, 0, 'f', 2);
}

std::vector<double> PlantModel::predicted(const PlantStretch &fitted) const
{
    return PlantSeries(fitted, restingOutput)
        .modelled({offset, gain, timeConstant, deadTime, initialDeviation});
}
