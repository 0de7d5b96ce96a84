#pragma once

#include "tuning/controller_law.h"
#include "tuning/gain_set.h"
#include "tuning/plant_model.h"
#include "tuning/plant_sample.h"
#include "tuning/response_figures.h"
#include "tuning/step_plan.h"

/// What a gain set will do on a step, before it is sent: the fitted plant simulated under the
/// controller's law, its lines at the controller's pace and their figures.
struct LoopPrediction
{
    /// The lines' times count from the step; their temperatures are not rounded.
    PlantStretch lines;
    ResponseFigures figures;

    /// The integral of absolute error a record of the step is expected to show, its lines
    /// carrying noise of this standard deviation: near the target the noise adds to it.
    double recordedErrorIntegral(double noise, const StepPlan &plan) const;

    static LoopPrediction of(const PlantModel &model, const ControllerLaw &law,
        const GainSet &gains, const StepPlan &plan);
    /// Long enough for a loop of this plant to settle: six times its time constant and dead time.
    static double horizonFor(const PlantModel &model);
    /// The plan with its horizon filled in where it was left at zero.
    static StepPlan completed(StepPlan plan, const PlantModel &model);
};
