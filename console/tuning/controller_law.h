#pragma once

#include "tuning/gain_set.h"

#include <QCoreApplication>
#include <QString>

#include <optional>

/// What P, I and D mean to this controller, as the [TUNING] section of the settings file says:
/// output counts per °C of error for one unit of P, per °C·s of its integral for one unit of I,
/// and per °C/s of the measurement's rate (smoothed over D_FILTER_S) for one unit of D; the
/// output kept within OUTPUT_MIN to OUTPUT_MAX, the integral term within the same range. The
/// defaults are the simulator's at its own pace. The same section bounds the advice: the gains
/// the controller takes, and how much its output may swing at rest from line to line (rms, in
/// output counts) before the heater's switch wears.
struct ControllerLaw
{
    Q_DECLARE_TR_FUNCTIONS(ControllerLaw)

public:
    /// No controller's scale or output limit comes near this; beyond it a value is a slip.
    static constexpr double kLargestValue = 1e6;
    /// A swing of 10 counts, 4 % of full output, is what a heater run by a relay or an SSR
    /// switching a few times a second takes without wear standing out; the simulator's default
    /// gains swing about 2.
    static constexpr double kDefaultOutputActivity = 10.0;

    double pScale = 1.0;
    double iScale = 0.2;
    double dScale = 5.0;
    double dFilterSeconds = 1.0;
    double outputMin = 0.0;
    double outputMax = 255.0;
    int gainMin = 0;
    int gainMax = GainSet::kLargest;
    double outputActivityLimit = kDefaultOutputActivity;

    /// A gain within what the controller takes.
    int gainWithin(int gain) const;

    /// Why these values cannot be a controller's, naming the key, or nothing: a scale of zero
    /// or less, limits that leave no range, a value no controller has.
    std::optional<QString> refusal() const;

    /// A key missing, or no number, keeps its default.
    static ControllerLaw read(const QString &settingsFile);
};
