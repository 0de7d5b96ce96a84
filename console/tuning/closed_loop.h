#pragma once

#include "tuning/controller_law.h"
#include "tuning/gain_set.h"
#include "tuning/plant_model.h"

#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

/// The fitted plant under the controller's own law, stepped as the controller steps it: the
/// output clamped to its limits and rounded to a whole count, the integral kept so that its term
/// stays within the same limits, the derivative on the smoothed rate of the measurement. It
/// starts at rest with its set point at the resting temperature, as a loop left alone would be.
/// The controller keeps the integral of the error, not its term: new gains scale what it holds.
class ClosedLoop
{
public:
    static constexpr int kLoopMilliseconds = 50;
    static constexpr double kLoopSeconds = kLoopMilliseconds / 1000.0;

    ClosedLoop(const PlantModel &model, const ControllerLaw &law, const GainSet &gains,
        double restingSetPoint);

    void setTarget(double temperature) { m_target = temperature; }
    void setGains(const GainSet &gains);
    /// Heat taken away, in output counts: the output must rise by as much to hold the target.
    void setLoad(double outputCounts) { m_load = outputCounts; }
    /// The controller's measurement carries noise of this deviation at each of its steps,
    /// spread evenly as an ADC's is; the same seed gives the same noise.
    void setMeasurementNoise(double deviation, std::uint32_t seed);
    void step();
    /// Steps on to each line, every period until the horizon, telling visit the line's time in
    /// milliseconds from now; stops where visit returns false.
    template <typename Visit> void followLines(int periodMs, double horizonSeconds, Visit visit)
    {
        const long long start = m_steps;
        const qint64 last = qint64(horizonSeconds * 1000);
        for (qint64 line = periodMs; line <= last; line += periodMs) {
            const long long due = start + (line + kLoopMilliseconds - 1) / kLoopMilliseconds;
            while (m_steps < due)
                step();
            if (!visit(line))
                return;
        }
    }

    double seconds() const { return m_steps * kLoopSeconds; }
    double temperature() const { return m_temperature; }
    int output() const { return m_output; }
    /// The output that holds the plant at a temperature, within the limits.
    double holdingOutput(double temperature) const;

private:
    void rest(double setPoint);
    double delayedOutput() const;
    double measured();

    PlantModel m_model;
    ControllerLaw m_law;
    double m_proportional = 0.0;
    double m_integralScale = 0.0;
    double m_derivative = 0.0;
    double m_approach;
    double m_rateShare;
    std::size_t m_delaySteps;
    double m_delayShare;
    std::vector<int> m_outputs;
    std::size_t m_newest = 0;
    long long m_steps = 0;
    double m_target;
    double m_load = 0.0;
    double m_temperature = 0.0;
    double m_previous = 0.0;
    double m_integral = 0.0;
    double m_filteredRate = 0.0;
    int m_output = 0;
    std::mt19937 m_noise;
    double m_noiseHalfWidth = 0.0;
};
