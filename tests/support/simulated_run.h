#pragma once

#include "heater_plant.h"
#include "tuning/gain_set.h"
#include "tuning/plant_sample.h"

#include <optional>

/// A run of the simulator's controller as the console would record it, without the console:
/// a line every period, its output level, temperature, set point and gains, in-process and
/// faster than real time.
namespace SimulatedRun {
struct Experiment
{
    HeaterPlant::Parameters plant;
    unsigned seed = 1;
    int periodMs = 500;
    /// Held at the start set point this long before the record begins.
    double settleSeconds = 0.0;
    int startTenths = 250;
    /// Recorded at the start set point before the step.
    double leadSeconds = 20.0;
    int stepTenths = 600;
    /// Recorded after the step.
    double stepSeconds = 600.0;
    int p = 10;
    int i = 5;
    int d = 2;
    /// Gains sent with the step as one command, as the step test sends them; the controller
    /// takes it after its quiet time.
    std::optional<GainSet> stepGains;
    /// The step as the console's step test sends it: its command this long after the last line
    /// before it, taken once the line has been quiet for the controller's quiet time; without
    /// it, the set point changes at that line.
    std::optional<int> stepAfterMs;
    bool noise = true;
};

/// A run's lines and the moment its step's command went out, where the run time restarts.
struct StepTest
{
    PlantStretch lines;
    qint64 stepMilliseconds = 0;
};

PlantStretch record(const Experiment &experiment);
StepTest stepTest(const Experiment &experiment);
/// The lines after the step, their times counted from it.
PlantStretch afterStep(const PlantStretch &run, const Experiment &experiment);
/// Where between two lines a step's command goes out, spread by the seed: an operator's click
/// falls anywhere, and seeds 1 to 10 take each tenth of the interval once.
int stepAfterMs(int periodMs, unsigned seed);
/// A heat-up with the default gains, the heater off at first, long enough for the plant, its
/// step sent as the step test sends it.
Experiment heatUp(const HeaterPlant::Parameters &plant, unsigned seed);
/// The lines after a step that starts with the gains given, from the loop at rest at the start
/// temperature under the default gains; the step lasts the seconds given.
PlantStretch stepWithGains(const HeaterPlant::Parameters &plant, const GainSet &gains, double from,
    double to, double seconds, unsigned seed, bool noise = true);
/// The same step with gains kept from before: the loop rests under them at the start
/// temperature, and only the set point moves.
PlantStretch stepKeepingGains(const HeaterPlant::Parameters &plant, const GainSet &gains,
    double from, double to, double seconds, unsigned seed, bool noise = true);
} // namespace SimulatedRun
