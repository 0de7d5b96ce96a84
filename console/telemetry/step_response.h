#pragma once

#include "telemetry/step_figures.h"

#include <QString>

#include <optional>

/// What one completed line stamped: the figures it changes, and whether it reached the set
/// temperature for the first time in the run.
struct StepResponseUpdate
{
    StepFigures stamped;
    bool reached = false;
};

/// Rise time, overshoot, peak time and settling time (a band of ±5 %), derived line by line
/// from the current and set temperature in tenths and stamped with the run time.
namespace StepResponse {
/// shownOvershoot is the overshoot a new one must exceed, as its box shows it, if any.
StepResponseUpdate update(int currentTenths, int setTenths, bool reachPending, qint64 runTenths,
    std::optional<double> shownOvershoot);
/// The number a box shows in front of its "%", or nothing when it holds no percentage.
std::optional<double> shownPercentage(const QString &text);
} // namespace StepResponse
