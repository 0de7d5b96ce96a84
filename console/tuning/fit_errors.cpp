#include "fit_errors.h"

#include "tuning/dense_solve.h"
#include "tuning/nelder_mead.h"
#include "tuning/plant_model.h"
#include "tuning/plant_series.h"

#include <algorithm>
#include <cmath>
#include <numeric>

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

/// The output levels' error as one of this variance whose neighbours correlate by correlation,
/// taken from the changes between unsaturated levels; slow changes of the loop count as error
/// too, which errs on the large side.
struct OutputSampling
{
    double variance = 0.0;
    double correlation = 0.0;
};

OutputSampling outputSampling(const std::vector<double> &u)
{
    const auto unsaturated = [&u](std::size_t k) {
        return u[k] > 0 && u[k] < PlantModel::kFullOutput;
    };
    double squares = 0.0;
    double neighbours = 0.0;
    int count = 0;
    for (std::size_t k = 2; k < u.size(); ++k) {
        if (!unsaturated(k - 2) || !unsaturated(k - 1) || !unsaturated(k))
            continue;
        const double change = u[k] - u[k - 1];
        squares += change * change;
        neighbours += change * (u[k - 1] - u[k - 2]);
        ++count;
    }
    if (count == 0 || squares <= 0)
        return {};
    // For errors of variance v whose neighbours correlate by r, a change has variance 2 v (1 - r)
    // and neighbouring changes correlate by -(1 - r) / 2.
    const double correlation = std::clamp(1.0 + 2.0 * neighbours / squares, 0.0, 0.95);
    return {squares / count / (2.0 * (1.0 - correlation)), correlation};
}

/// Each Jacobian column through the transpose of the map from the lines' output levels to the
/// model's response: how an error in each level moves the fit. A line's level acts over its
/// interval, a dead time late, and decays with the time constant after it.
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
        for (std::size_t i = 1; i < lines; ++i) {
            const double from = t[i - 1] + deadTime;
            const double to = t[i] + deadTime;
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
    addLineTiming(series, parameters, initialTerm, errors);
    return errors;
}
