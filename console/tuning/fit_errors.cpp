#include "fit_errors.h"

#include "tuning/dense_solve.h"
#include "tuning/nelder_mead.h"
#include "tuning/plant_model.h"
#include "tuning/plant_series.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>

namespace {
using Columns = std::vector<std::vector<double>>;

/// The model's derivatives by each parameter at every line.
Columns jacobianOf(const PlantSeries &series, const std::vector<double> &parameters)
{
    Columns jacobian(parameters.size());
    for (std::size_t p = 0; p < parameters.size(); ++p) {
        const double step = std::max(std::abs(parameters[p]) * 1e-4, 1e-4);
        std::vector<double> up = parameters;
        std::vector<double> down = parameters;
        up[p] += step;
        down[p] -= step;
        // The dead time has no values below zero.
        const bool oneSided = p == 3 && down[p] < 0;
        if (oneSided)
            down[p] = parameters[p];
        const std::vector<double> high = series.modelled(up);
        const std::vector<double> low = series.modelled(down);
        jacobian[p].resize(high.size());
        for (std::size_t k = 0; k < high.size(); ++k)
            jacobian[p][k] = (high[k] - low[k]) / (oneSided ? step : 2 * step);
    }
    return jacobian;
}

DenseSolve::Matrix products(const Columns &one, const Columns &other)
{
    DenseSolve::Matrix result(one.size(), std::vector<double>(other.size(), 0.0));
    for (std::size_t i = 0; i < one.size(); ++i) {
        for (std::size_t j = 0; j < other.size(); ++j)
            result[i][j] =
                std::inner_product(one[i].cbegin(), one[i].cend(), other[j].cbegin(), 0.0);
    }
    return result;
}

/// The output levels' error as one of this variance whose neighbours correlate by correlation.
struct OutputSampling
{
    double variance = 0.0;
    double correlation = 0.0;
};

/// Lines each side of a level whose mean is the loop's own slow course there.
constexpr std::size_t kCourseLines = 5;

/// The error of a level, a moment's output standing for its interval's, is what the lines
/// around it do not follow: each unsaturated level less the mean of the 11 around it (the
/// loop's slow course, which the hold follows). A level's own share of that mean takes 1/11 of
/// a white error's variance and makes neighbours correlate by about -1/11; both are given back.
OutputSampling outputSampling(const std::vector<double> &u)
{
    const std::size_t window = 2 * kCourseLines + 1;
    const auto unsaturated = [](double level) {
        return level > 0 && level < PlantModel::kFullOutput;
    };
    std::vector<std::optional<double>> off(u.size());
    for (std::size_t k = kCourseLines; k + kCourseLines < u.size(); ++k) {
        const auto first = u.cbegin() + std::ptrdiff_t(k - kCourseLines);
        if (std::all_of(first, first + std::ptrdiff_t(window), unsaturated))
            off[k] =
                u[k] - std::accumulate(first, first + std::ptrdiff_t(window), 0.0) / double(window);
    }
    double squares = 0.0;
    double neighbours = 0.0;
    int count = 0;
    int pairs = 0;
    for (std::size_t k = 0; k < off.size(); ++k) {
        if (!off[k])
            continue;
        squares += *off[k] * *off[k];
        ++count;
        if (k + 1 < off.size() && off[k + 1]) {
            neighbours += *off[k] * *off[k + 1];
            ++pairs;
        }
    }
    if (count == 0 || pairs == 0 || squares <= 0)
        return {};
    const double variance = squares / count * double(window) / double(window - 1);
    const double correlation =
        std::clamp(neighbours / pairs / (squares / count) + 1.0 / double(window), 0.0, 0.95);
    return {variance, correlation};
}

/// Each Jacobian column through the transpose of the map from the lines' output levels to the
/// model's response: how an error in each level moves the fit. A line's level acts over the
/// half-intervals around it, as FirstOrderResponse holds it, a dead time late, and decays with
/// the time constant after it.
Columns throughInputMap(
    const std::vector<double> &t, const Columns &jacobian, double timeConstant, double deadTime)
{
    const std::size_t lines = t.size();
    Columns mapped(jacobian.size(), std::vector<double>(lines, 0.0));
    for (std::size_t p = 0; p < jacobian.size(); ++p) {
        // after[k]: the column's values from line k on, each decayed back to line k's time.
        std::vector<double> after(lines + 1, 0.0);
        for (std::size_t k = lines; k-- > 0;) {
            const double decay = k + 1 < lines ? std::exp(-(t[k + 1] - t[k]) / timeConstant) : 0.0;
            after[k] = jacobian[p][k] + decay * after[k + 1];
        }
        std::size_t first = 0;
        for (std::size_t i = 0; i < lines; ++i) {
            const double from = (i == 0 ? t[0] : (t[i - 1] + t[i]) / 2) + deadTime;
            const double to = (i + 1 < lines ? (t[i] + t[i + 1]) / 2 : t[i]) + deadTime;
            while (first < lines && t[first] <= from)
                ++first;
            double sum = 0.0;
            std::size_t k = first;
            for (; k < lines && t[k] < to; ++k)
                sum += (1 - std::exp(-(t[k] - from) / timeConstant)) * jacobian[p][k];
            if (k < lines)
                sum += (1 - std::exp(-(to - from) / timeConstant))
                    * std::exp(-(t[k] - to) / timeConstant) * after[k];
            mapped[p][i] = sum;
        }
    }
    return mapped;
}

/// The standard error of the state the model starts from, in counts, as the lines before the
/// change tell it: the mean of their levels, fewer lines where neighbours correlate, and a drift
/// their temperatures cannot rule out (a plant still settling, its state off the resting output
/// by time constant × drift / gain).
double restingError(const PlantSeries &series, const std::vector<double> &parameters)
{
    const std::size_t count = series.restingLines();
    if (count < 3)
        return 0.0;
    const auto mean = [count](const std::vector<double> &values) {
        return std::accumulate(values.cbegin(), values.cbegin() + std::ptrdiff_t(count), 0.0)
            / double(count);
    };
    const std::vector<double> &u = series.output();
    const double level = mean(u);
    double squares = 0.0;
    double neighbours = 0.0;
    for (std::size_t k = 0; k < count; ++k) {
        squares += (u[k] - level) * (u[k] - level);
        if (k + 1 < count)
            neighbours += (u[k] - level) * (u[k + 1] - level);
    }
    const double correlation = squares > 0 ? std::clamp(neighbours / squares, 0.0, 0.95) : 0.0;
    const double ofLevel =
        squares / double(count - 1) / double(count) * (1 + correlation) / (1 - correlation);
    const std::vector<double> &t = series.seconds();
    const std::vector<double> &y = series.temperature();
    const double time = mean(t);
    const double temperature = mean(y);
    double spread = 0.0;
    double along = 0.0;
    for (std::size_t k = 0; k < count; ++k) {
        spread += (t[k] - time) * (t[k] - time);
        along += (t[k] - time) * (y[k] - temperature);
    }
    if (spread <= 0)
        return std::sqrt(ofLevel);
    const double slope = along / spread;
    double residuals = 0.0;
    for (std::size_t k = 0; k < count; ++k)
        residuals += std::pow(y[k] - temperature - slope * (t[k] - time), 2);
    const double drift = std::sqrt(residuals / double(count - 2) / spread);
    return std::hypot(std::sqrt(ofLevel), parameters[2] * drift / parameters[1]);
}

/// How far each parameter moves, per count, when the state the model starts from moves: it
/// holds until the first line's time and a dead time, and decays with the time constant after.
std::vector<double> restingShift(const PlantSeries &series, const std::vector<double> &parameters,
    const Columns &jacobian, const DenseSolve::Matrix &inverse)
{
    const std::vector<double> &t = series.seconds();
    std::vector<double> moved(t.size());
    for (std::size_t k = 0; k < t.size(); ++k)
        moved[k] = parameters[1]
            * std::min(1.0, std::exp(-(t[k] - t.front() - parameters[3]) / parameters[2]));
    const DenseSolve::Matrix along = products(jacobian, {moved});
    std::vector<double> shift(parameters.size(), 0.0);
    for (std::size_t p = 0; p < shift.size(); ++p) {
        for (std::size_t i = 0; i < shift.size(); ++i)
            shift[p] += inverse[p][i] * along[i][0];
    }
    return shift;
}

/// The columns with each value replaced by the sum over all lines of their errors' correlation
/// with it: correlation to the power of how many lines apart.
Columns correlated(Columns columns, double correlation)
{
    for (std::vector<double> &column : columns) {
        std::vector<double> forward = column;
        for (std::size_t k = 1; k < column.size(); ++k)
            forward[k] += correlation * forward[k - 1];
        std::vector<double> backward = column;
        for (std::size_t k = column.size() - 1; k-- > 0;)
            backward[k] += correlation * backward[k + 1];
        for (std::size_t k = 0; k < column.size(); ++k)
            column[k] = forward[k] + backward[k] - column[k];
    }
    return columns;
}

/// The gain and time constant fitted with the dead time held where it is given.
std::pair<double, double> refittedAt(
    const PlantSeries &series, double deadTime, double timeConstant, bool initialTerm)
{
    const auto squaredError = [&](const std::vector<double> &point) {
        return series.shapeFor(std::exp(point[0]), deadTime, initialTerm).squaredError;
    };
    const NelderMead::Result best =
        NelderMead::minimize(squaredError, {std::log(timeConstant)}, {0.05}, 1e-10, 60);
    const PlantSeries::Shape shape =
        series.shapeFor(std::exp(best.point[0]), deadTime, initialTerm);
    return {shape.coefficients.empty() ? 0.0 : shape.coefficients[1], std::exp(best.point[0])};
}

/// The line's interval spread uniformly over the dead time, and what it moves the gain and the
/// time constant by, added to their errors.
void addLineTiming(const PlantSeries &series, const std::vector<double> &parameters,
    bool initialTerm, std::vector<double> &errors)
{
    const double interval = series.interval();
    const double timing = interval / std::sqrt(12.0);
    const double early = std::max(0.0, parameters[3] - interval / 2);
    const double late = parameters[3] + interval / 2;
    const auto [earlyGain, earlyTimeConstant] =
        refittedAt(series, early, parameters[2], initialTerm);
    const auto [lateGain, lateTimeConstant] = refittedAt(series, late, parameters[2], initialTerm);
    errors[1] = std::hypot(errors[1], (lateGain - earlyGain) / (late - early) * timing);
    errors[2] =
        std::hypot(errors[2], (lateTimeConstant - earlyTimeConstant) / (late - early) * timing);
    errors[3] = std::hypot(errors[3], timing);
}
} // namespace

std::optional<std::vector<double>> FitErrors::standardErrors(
    const PlantSeries &series, const std::vector<double> &parameters, bool initialTerm)
{
    const std::size_t count = parameters.size();
    const std::vector<double> modelled = series.modelled(parameters);
    double squared = 0.0;
    for (std::size_t k = 0; k < series.size(); ++k)
        squared +=
            (series.temperature()[k] - modelled[k]) * (series.temperature()[k] - modelled[k]);
    const double residualVariance =
        squared / double(std::max<std::size_t>(series.size() - count, 1));

    const Columns jacobian = jacobianOf(series, parameters);
    const std::optional<DenseSolve::Matrix> inverse =
        DenseSolve::inverse(products(jacobian, jacobian));
    if (!inverse)
        return std::nullopt;
    const Columns mapped =
        throughInputMap(series.seconds(), jacobian, parameters[2], parameters[3]);
    const OutputSampling sampling = outputSampling(series.output());
    const DenseSolve::Matrix inputSpread =
        products(mapped, correlated(mapped, sampling.correlation));
    const double inputVariance = parameters[1] * parameters[1] * sampling.variance;
    std::vector<double> errors(count);
    for (std::size_t p = 0; p < count; ++p) {
        double fromInput = 0.0;
        for (std::size_t i = 0; i < count; ++i) {
            for (std::size_t j = 0; j < count; ++j)
                fromInput += (*inverse)[p][i] * inputSpread[i][j] * (*inverse)[j][p];
        }
        errors[p] = std::sqrt(residualVariance * (*inverse)[p][p] + inputVariance * fromInput);
    }
    const double resting = restingError(series, parameters);
    const std::vector<double> shift = restingShift(series, parameters, jacobian, *inverse);
    for (std::size_t p = 0; p < count; ++p)
        errors[p] = std::hypot(errors[p], shift[p] * resting);
    addLineTiming(series, parameters, initialTerm, errors);
    return errors;
}
