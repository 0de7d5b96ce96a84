#include "closed_loop.h"

#include <algorithm>
#include <cmath>

namespace {
/// As std::lround, which a library call makes the dearest part of every step.
int roundedAwayFromZero(double value)
{
    return value >= 0 ? int(value + 0.5) : -int(0.5 - value);
}
} // namespace

ClosedLoop::ClosedLoop(
    const PlantModel &model, const ControllerLaw &law, const GainSet &gains, double restingSetPoint)
    : m_model(model)
    , m_law(law)
    , m_approach(1.0 - std::exp(-kLoopSeconds / model.timeConstant))
    , m_rateShare(law.dFilterSeconds > 0 ? std::min(1.0, kLoopSeconds / law.dFilterSeconds) : 1.0)
    , m_delaySteps(std::size_t(model.deadTime / kLoopSeconds))
    , m_delayShare(model.deadTime / kLoopSeconds - double(m_delaySteps))
    , m_outputs(m_delaySteps + 2, 0)
    , m_target(restingSetPoint)
{
    setGains(gains);
    rest(restingSetPoint);
}

void ClosedLoop::setGains(const GainSet &gains)
{
    m_proportional = gains.p * m_law.pScale;
    m_integralScale = gains.i * m_law.iScale;
    m_derivative = gains.d * m_law.dScale;
}

double ClosedLoop::holdingOutput(double temperature) const
{
    const double output = (temperature - m_model.offset) / m_model.gain + m_load;
    return std::clamp(output, m_law.outputMin, m_law.outputMax);
}

/// With integral action the loop rests at its set point, the integral holding the output; a loop
/// without it rests where the proportional term's output holds the plant, short of the set point.
void ClosedLoop::rest(double setPoint)
{
    double output = holdingOutput(setPoint);
    m_temperature = setPoint;
    if (m_integralScale > 0) {
        m_integral = output / m_integralScale;
    } else {
        const double loopGain = m_model.gain * m_proportional;
        m_temperature = (m_model.offset + loopGain * setPoint) / (1.0 + loopGain);
        output = holdingOutput(m_temperature);
    }
    m_output = int(std::lround(output));
    std::fill(m_outputs.begin(), m_outputs.end(), m_output);
    m_previous = m_temperature;
}

double ClosedLoop::delayedOutput() const
{
    const std::size_t size = m_outputs.size();
    const int nearer = m_outputs[(m_newest + size - m_delaySteps) % size];
    const int farther = m_outputs[(m_newest + size - m_delaySteps - 1) % size];
    return (1.0 - m_delayShare) * nearer + m_delayShare * farther;
}

void ClosedLoop::setMeasurementNoise(double deviation, std::uint32_t seed)
{
    m_noise.seed(seed);
    m_noiseHalfWidth = std::sqrt(3.0) * std::max(0.0, deviation);
}

/// The generator's own words are the same on every platform, so the noise is too.
double ClosedLoop::measured()
{
    if (m_noiseHalfWidth <= 0)
        return m_temperature;
    const double unit = (double(m_noise()) + 0.5) / 4294967296.0;
    return m_temperature + (2 * unit - 1) * m_noiseHalfWidth;
}

void ClosedLoop::step()
{
    const double measurement = measured();
    const double error = m_target - measurement;
    const double rate = (measurement - m_previous) / kLoopSeconds;
    m_previous = measurement;
    m_filteredRate += (rate - m_filteredRate) * m_rateShare;
    m_integral = m_integralScale > 0 ? std::clamp(m_integral + error * kLoopSeconds,
                     m_law.outputMin / m_integralScale, m_law.outputMax / m_integralScale)
                                     : 0.0;
    const double output =
        m_proportional * error + m_integralScale * m_integral - m_derivative * m_filteredRate;
    m_output = roundedAwayFromZero(std::clamp(output, m_law.outputMin, m_law.outputMax));

    m_newest = (m_newest + 1) % m_outputs.size();
    m_outputs[m_newest] = m_output;
    const double settlesAt = m_model.offset + m_model.gain * (delayedOutput() - m_load);
    m_temperature += (settlesAt - m_temperature) * m_approach;
    ++m_steps;
}
