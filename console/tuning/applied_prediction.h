#pragma once

#include "tuning/gain_set.h"
#include "tuning/loop_prediction.h"
#include "tuning/plant_model.h"
#include "tuning/step_plan.h"

#include <optional>

/// Gains chosen from the advice to be applied with a step test: what they were predicted to do,
/// on which model, so that the run they start can be held to it.
struct AppliedPrediction
{
    PlantModel model;
    GainSet gains;
    StepPlan plan;
    LoopPrediction prediction;
    /// The law check of the run the model came from: its scales agreed, were disputed, or
    /// could not be told.
    std::optional<bool> lawAgreed;
};
