#include "pid_loop.h"

#include <algorithm>
#include <cmath>

namespace {
// Output units per degree, per degree-second and per degree-per-second for one unit of P, I, D.
constexpr double kProportionalScale = 1.0;
constexpr double kIntegralScale = 0.2;
constexpr double kDerivativeScale = 5.0;
// Smoothing of the measured rate, so sensor noise does not drive the derivative term.
constexpr double kRateFilterSeconds = 1.0;
} // namespace

int PidLoop::update(const ControllerSettings &settings, double measured, double seconds)
{
    const double error = settings.setTenths / 10.0 - measured;
    if (!m_started) {
        m_previous = measured;
        m_started = true;
    }
    const double rate = (measured - m_previous) / seconds;
    m_previous = measured;
    m_filteredRate += (rate - m_filteredRate) * std::min(1.0, seconds / kRateFilterSeconds);

    const double ki = settings.i * kIntegralScale;
    m_integral = ki > 0 ? std::clamp(m_integral + error * seconds, 0.0, kMaxOutput / ki) : 0.0;
    const double output = settings.p * kProportionalScale * error + ki * m_integral
        - settings.d * kDerivativeScale * m_filteredRate + settings.compensation;
    return int(std::lround(std::clamp(output, 0.0, double(kMaxOutput))));
}
