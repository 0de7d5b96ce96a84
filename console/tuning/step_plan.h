#pragma once

#include "tuning/gain_set.h"

#include <optional>

/// A step to predict: the loop rests at the start temperature with its set point there, under
/// the gains in use before the step if they are known, and at time 0 the set point becomes the
/// target and the step's gains take over. Lines come every line period, as the controller sends
/// them, until the horizon.
struct StepPlan
{
    static constexpr int kLinePeriodMs = 500;

    double from = 0.0;
    double to = 0.0;
    int linePeriodMs = kLinePeriodMs;
    double horizonSeconds = 0.0;
    std::optional<GainSet> restingGains;

    double change() const { return to - from; }
};
