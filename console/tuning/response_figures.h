#pragma once

#include "telemetry/step_figures.h"
#include "tuning/controller_law.h"
#include "tuning/plant_sample.h"
#include "tuning/step_plan.h"

#include <optional>

/// The figures of a step's response, predicted or measured alike from its lines: the window's
/// four, worked out as the window works them out from the lines' tenths, and the ones that are
/// relative to the step rather than to the set point: overshoot in °C and in % of the change,
/// rise from 10 to 90 % of it, settling within 2 % of it and within ±0.5 °C, the integral of
/// the absolute error, the error left at the end, the time the output spent at a limit, and
/// whether the temperature keeps swinging about the target. A time never reached is empty.
struct ResponseFigures
{
    /// Half-swings past this band on alternating sides that make a response oscillating.
    static constexpr int kOscillatingSwings = 4;
    static constexpr double kAbsoluteBand = 0.5;

    StepFigures window;
    double overshoot = 0.0;
    double overshootPercent = 0.0;
    std::optional<double> rise10To90Seconds;
    std::optional<double> settling2PercentSeconds;
    std::optional<double> settlingHalfDegreeSeconds;
    double absoluteErrorIntegral = 0.0;
    double steadyError = 0.0;
    double saturatedSeconds = 0.0;
    bool oscillates = false;

    /// The lines' times count from the step; a line's output is the one applied over the
    /// interval before it.
    static ResponseFigures of(
        const PlantStretch &lines, const StepPlan &plan, const ControllerLaw &law);
};
