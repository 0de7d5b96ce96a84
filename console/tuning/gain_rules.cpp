#include "gain_rules.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
/// A dead time under this is taken as this, so that rules dividing by it stay finite.
constexpr double kShortestDeadTime = 0.1;

int asGain(double value, const ControllerLaw &law)
{
    if (!std::isfinite(value))
        return law.gainWithin(value > 0 ? GainSet::kLargest : 0);
    return law.gainWithin(int(std::lround(std::clamp(value, 0.0, double(GainSet::kLargest)))));
}

double deadTimeOf(const PlantModel &model)
{
    return std::max(model.deadTime, kShortestDeadTime);
}

/// The frequency at which the loop's phase reaches -180°: atan(ωτ) + ωθ = π.
double ultimateFrequency(double timeConstant, double deadTime)
{
    double low = 0.0;
    double high = kPi / deadTime;
    for (int halving = 0; halving < 60; ++halving) {
        const double middle = (low + high) / 2;
        if (std::atan(middle * timeConstant) + middle * deadTime < kPi)
            low = middle;
        else
            high = middle;
    }
    return (low + high) / 2;
}
} // namespace

GainSet GainRules::fromIdeal(double controllerGain, double integralSeconds,
    double derivativeSeconds, const ControllerLaw &law)
{
    GainSet gains;
    gains.p = asGain(controllerGain / law.pScale, law);
    gains.i =
        asGain(integralSeconds > 0 ? controllerGain / (integralSeconds * law.iScale) : 0.0, law);
    gains.d = asGain(controllerGain * derivativeSeconds / law.dScale, law);
    return gains;
}

GainSet GainRules::simcPi(const PlantModel &model, const ControllerLaw &law, double closedLoopSpans)
{
    const double deadTime = deadTimeOf(model);
    const double closedLoop = closedLoopSpans * deadTime;
    const double gain = model.timeConstant / (model.gain * (closedLoop + deadTime));
    const double integral = std::min(model.timeConstant, 4.0 * (closedLoop + deadTime));
    return fromIdeal(gain, integral, 0.0, law);
}

GainSet GainRules::amigoPi(const PlantModel &model, const ControllerLaw &law)
{
    const double tau = model.timeConstant;
    const double theta = deadTimeOf(model);
    const double gain = 0.15 / model.gain
        + (0.35 - theta * tau / ((theta + tau) * (theta + tau))) * tau / (model.gain * theta);
    const double integral = 0.35 * theta
        + 13.0 * theta * tau * tau / (tau * tau + 12.0 * theta * tau + 7.0 * theta * theta);
    return fromIdeal(gain, integral, 0.0, law);
}

GainSet GainRules::amigoPid(const PlantModel &model, const ControllerLaw &law)
{
    const double tau = model.timeConstant;
    const double theta = deadTimeOf(model);
    const double gain = (0.2 + 0.45 * tau / theta) / model.gain;
    const double integral = theta * (0.4 * theta + 0.8 * tau) / (theta + 0.1 * tau);
    const double derivative = 0.5 * theta * tau / (0.3 * theta + tau);
    return fromIdeal(gain, integral, derivative, law);
}

GainSet GainRules::relayZieglerNichols(const PlantModel &model, const ControllerLaw &law)
{
    const double tau = model.timeConstant;
    const double frequency = ultimateFrequency(tau, deadTimeOf(model));
    const double ultimateGain = std::hypot(1.0, frequency * tau) / model.gain;
    const double ultimatePeriod = 2.0 * kPi / frequency;
    return fromIdeal(0.6 * ultimateGain, ultimatePeriod / 2.0, ultimatePeriod / 8.0, law);
}
