#pragma once

#include <deque>

/// A heater with first-order lag and dead time: the temperature moves towards ambient plus
/// gain times the heater fraction applied a dead time ago, with the given time constant. Its
/// sensor may lag behind it by a first-order lag of its own.
class HeaterPlant
{
public:
    static constexpr double kStepSeconds = 0.05;

    struct Parameters
    {
        double ambient = 25.0;
        double gain = 50.0; // degrees above ambient at full heater power
        double timeConstant = 60.0;
        double deadTime = 3.0;
        /// The sensor's own time constant; 0 for a sensor that follows at once.
        double sensorLag = 0.0;
    };

    HeaterPlant();
    explicit HeaterPlant(const Parameters &parameters);

    /// One step of kStepSeconds with the heater at the given fraction (0 to 1) of full power.
    void step(double heaterFraction);
    double temperature() const { return m_temperature; }
    /// What the sensor reads, before its noise.
    double sensed() const { return m_sensed; }
    double ambient() const { return m_parameters.ambient; }

private:
    Parameters m_parameters;
    double m_temperature;
    double m_approach;
    double m_sensed;
    double m_sensorApproach;
    std::deque<double> m_deadTimeLine;
};
