#pragma once

/// The controller's settings as the console commands them: set point in tenths of a degree,
/// P, I and D gains, and the temperature compensation T, a bias added to the output level.
struct ControllerSettings
{
    int setTenths = 600;
    int p = 10;
    int i = 5;
    int d = 2;
    int compensation = 0;
};

/// PID loop from temperature in degrees to an output level 0 to 255. The integral is clamped to
/// the output range, so a long rise winds it up only as far as full power and the response
/// overshoots a little, as a real heater loop does.
class PidLoop
{
public:
    static constexpr int kMaxOutput = 255;

    int update(const ControllerSettings &settings, double measured, double seconds);

private:
    double m_integral = 0.0;
    double m_filteredRate = 0.0;
    double m_previous = 0.0;
    bool m_started = false;
};
