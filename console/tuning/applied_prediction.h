#pragma once

#include "tuning/gain_set.h"
#include "tuning/loop_prediction.h"
#include "tuning/plant_model.h"
#include "tuning/step_plan.h"

/// Gains chosen from the advice to be applied with a step test: what they were predicted to do,
/// on which model, so that the run they start can be held to it.
struct AppliedPrediction
{
    PlantModel model;
    GainSet gains;
    StepPlan plan;
    LoopPrediction prediction;
};
