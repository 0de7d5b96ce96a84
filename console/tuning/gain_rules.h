#pragma once

#include "tuning/controller_law.h"
#include "tuning/gain_set.h"
#include "tuning/plant_model.h"

/// The textbook tuning rules for a first-order plant with dead time, their controller gain
/// (output counts per °C), integral time and derivative time turned into this controller's P, I
/// and D through its law, rounded and kept within what it takes.
namespace GainRules {
/// Skogestad's SIMC PI with the closed loop's time constant a multiple of the dead time: 1 is
/// tight, 2 smooth.
GainSet simcPi(const PlantModel &model, const ControllerLaw &law, double closedLoopSpans);
GainSet amigoPi(const PlantModel &model, const ControllerLaw &law);
GainSet amigoPid(const PlantModel &model, const ControllerLaw &law);
/// What a firmware autotuner applies: Ziegler–Nichols' PID from the loop's ultimate gain and
/// period, as a relay test would find them on this plant.
GainSet relayZieglerNichols(const PlantModel &model, const ControllerLaw &law);
/// An ideal PID (gain in output counts per °C, times in seconds; an integral time of zero for
/// none) as this controller's gains.
GainSet fromIdeal(double controllerGain, double integralSeconds, double derivativeSeconds,
    const ControllerLaw &law);
} // namespace GainRules
