#pragma once

#include "tuning/controller_law.h"
#include "tuning/gain_set.h"
#include "tuning/plant_model.h"

/// How much the controller's output swings at rest under a gain set, from one line to the next:
/// the fitted plant held at a temperature under the law, the controller's measurement as noisy
/// as the record's was, the rms of the output's change between lines in output counts. A
/// heater's switch wears with it, and a step's figures, worked out without noise, do not show it.
namespace OutputActivity {
double atRest(const PlantModel &model, const ControllerLaw &law, const GainSet &gains,
    double temperature, int linePeriodMs);
} // namespace OutputActivity
