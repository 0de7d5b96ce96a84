#pragma once

#include "tuning/plant_sample.h"

#include <vector>

/// A stretch of a run as the plant model is fitted to it: seconds from its first line, the
/// temperature and the output level of each line, and the output the plant rested at before.
/// The model's parameters are, in order: offset, gain, time constant, dead time and, when the
/// stretch did not start at rest, the size of a decaying term for its first state.
class PlantSeries
{
public:
    /// The least squares of the linear parameters for one time constant and dead time.
    struct Shape
    {
        /// Offset, gain and the initial term when asked for; empty where they cannot be told.
        std::vector<double> coefficients;
        double squaredError = 0.0;
    };

    /// Every sample must have an output level. The resting output is the mean of the first
    /// restingLines lines' levels, where it was taken from them.
    PlantSeries(const PlantStretch &stretch, double restingOutput, std::size_t restingLines = 0);

    const std::vector<double> &seconds() const { return m_seconds; }
    const std::vector<double> &temperature() const { return m_temperature; }
    const std::vector<double> &output() const { return m_output; }
    double restingOutput() const { return m_restingOutput; }
    std::size_t restingLines() const { return m_restingLines; }
    std::size_t size() const { return m_seconds.size(); }
    /// The mean time between lines.
    double interval() const;

    Shape shapeFor(double timeConstant, double deadTime, bool initialTerm) const;
    /// The model's temperature at each line for the parameters.
    std::vector<double> modelled(const std::vector<double> &parameters) const;

private:
    std::vector<qint64> m_milliseconds;
    std::vector<double> m_seconds;
    std::vector<double> m_temperature;
    std::vector<double> m_output;
    double m_restingOutput = 0.0;
    std::size_t m_restingLines = 0;
};
