#include "plant_series.h"

#include "tuning/dense_solve.h"
#include "tuning/first_order_response.h"

#include <algorithm>
#include <cmath>

PlantSeries::PlantSeries(
    const PlantStretch &stretch, double restingOutput, std::size_t restingLines)
    : m_restingOutput(restingOutput)
    , m_restingLines(std::min(restingLines, stretch.size()))
{
    for (const PlantSample &sample : stretch) {
        m_milliseconds.push_back(sample.milliseconds - stretch.front().milliseconds);
        m_seconds.push_back(double(m_milliseconds.back()) / 1e3);
        m_temperature.push_back(sample.temperature);
        m_output.push_back(sample.output.value_or(0.0));
    }
}

double PlantSeries::interval() const
{
    return size() > 1 ? (m_seconds.back() - m_seconds.front()) / double(size() - 1) : 0.0;
}

PlantSeries::Shape PlantSeries::shapeFor(
    double timeConstant, double deadTime, bool initialTerm) const
{
    std::vector<std::vector<double>> columns{std::vector<double>(size(), 1.0),
        FirstOrderResponse::atSamples(
            m_milliseconds, m_output, timeConstant, deadTime, m_restingOutput)};
    if (initialTerm)
        columns.push_back(FirstOrderResponse::decayFromFirst(m_milliseconds, timeConstant));
    Shape shape;
    const std::optional<std::vector<double>> solved =
        DenseSolve::leastSquares(columns, m_temperature);
    if (!solved) {
        shape.squaredError = HUGE_VAL;
        return shape;
    }
    shape.coefficients = *solved;
    for (std::size_t k = 0; k < size(); ++k) {
        double modelled = 0.0;
        for (std::size_t c = 0; c < columns.size(); ++c)
            modelled += shape.coefficients[c] * columns[c][k];
        const double residual = m_temperature[k] - modelled;
        shape.squaredError += residual * residual;
    }
    return shape;
}

std::vector<double> PlantSeries::modelled(const std::vector<double> &parameters) const
{
    const std::vector<double> response = FirstOrderResponse::atSamples(
        m_milliseconds, m_output, parameters[2], std::max(0.0, parameters[3]), m_restingOutput);
    std::vector<double> values(response.size());
    for (std::size_t k = 0; k < values.size(); ++k) {
        values[k] = parameters[0] + parameters[1] * response[k];
        if (parameters.size() > 4)
            values[k] += parameters[4] * std::exp(-m_seconds[k] / parameters[2]);
    }
    return values;
}
