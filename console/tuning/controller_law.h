#pragma once

#include <QString>

/// What P, I and D mean to this controller, as the [TUNING] section of the settings file says:
/// output counts per °C of error for one unit of P, per °C·s of its integral for one unit of I,
/// and per °C/s of the measurement's rate (smoothed over D_FILTER_S) for one unit of D; the
/// output kept within OUTPUT_MIN to OUTPUT_MAX, the integral term within the same range. The
/// defaults are the simulator's at its own pace.
struct ControllerLaw
{
    double pScale = 1.0;
    double iScale = 0.2;
    double dScale = 5.0;
    double dFilterSeconds = 1.0;
    double outputMin = 0.0;
    double outputMax = 255.0;

    /// A key missing, or no number, keeps its default.
    static ControllerLaw read(const QString &settingsFile);
};
