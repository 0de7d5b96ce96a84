#pragma once

#include "tuning/gain_set.h"

#include <cmath>
#include <optional>

/// What tuning advice is first asked for: the step from a temperature to a target, and the gains
/// in use, which the loop rests under before the step.
struct AdviceStart
{
    /// A step smaller than this is no step to advise on: one down to the target from this much
    /// below is offered instead.
    static constexpr double kLeastStep = 1.0;
    static constexpr double kOfferedStep = 10.0;

    double from = 0.0;
    double to = 0.0;
    std::optional<GainSet> current;
    /// No live loop to start from: the step is the run's own, from its first temperature to
    /// its set point.
    bool fromRun = false;

    /// A step too small to advise on becomes one down to the target from a little below.
    static AdviceStart between(double from, double to)
    {
        AdviceStart start;
        start.from = from;
        start.to = to;
        if (std::abs(to - from) < kLeastStep)
            start.from = to - kOfferedStep;
        return start;
    }
};
