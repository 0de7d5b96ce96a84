#include "heater_plant.h"

#include <algorithm>
#include <cmath>

HeaterPlant::HeaterPlant()
    : HeaterPlant(Parameters())
{
}

HeaterPlant::HeaterPlant(const Parameters &parameters)
    : m_parameters(parameters)
    , m_temperature(parameters.ambient)
    , m_approach(1.0 - std::exp(-kStepSeconds / parameters.timeConstant))
    , m_sensed(parameters.ambient)
    , m_sensorApproach(
          parameters.sensorLag > 0 ? 1.0 - std::exp(-kStepSeconds / parameters.sensorLag) : 1.0)
    , m_deadTimeLine(std::size_t(std::lround(parameters.deadTime / kStepSeconds)), 0.0)
{
}

void HeaterPlant::step(double heaterFraction)
{
    m_deadTimeLine.push_back(std::clamp(heaterFraction, 0.0, 1.0));
    const double applied = m_deadTimeLine.front();
    m_deadTimeLine.pop_front();
    const double target = m_parameters.ambient + m_parameters.gain * applied;
    m_temperature += (target - m_temperature) * m_approach;
    m_sensed += (m_temperature - m_sensed) * m_sensorApproach;
}
