#include "simulated_run.h"

#include "controller_simulator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
/// Advances the controller a period and takes the line it sends then.
PlantSample nextLine(ControllerSimulator &controller, double &now, double period)
{
    now += period;
    controller.advance(now);
    controller.outbox().clear();
    const TelemetrySample line = controller.currentSample();
    return {qint64(std::llround(now * 1000)), line.currentTenths / 10.0, double(line.output),
        line.setTenths / 10.0, line.p, line.i, line.d};
}
} // namespace

PlantStretch SimulatedRun::record(const Experiment &experiment)
{
    return stepTest(experiment).lines;
}

SimulatedRun::StepTest SimulatedRun::stepTest(const Experiment &experiment)
{
    ControllerSimulator::Options options;
    options.seed = experiment.seed;
    options.periodMs = experiment.periodMs;
    options.setTenths = experiment.startTenths;
    options.plant = experiment.plant;
    options.p = experiment.p;
    options.i = experiment.i;
    options.d = experiment.d;
    options.noise = experiment.noise;
    ControllerSimulator controller(options, [](const std::string &) {});
    const double period = experiment.periodMs / 1000.0;
    double now = 0.0;
    controller.advance(now);
    while (now < experiment.settleSeconds)
        nextLine(controller, now, period);
    StepTest run;
    const double stepAt = now + experiment.leadSeconds;
    while (now < stepAt)
        run.lines.push_back(nextLine(controller, now, period));
    const double sentAt = now + experiment.stepAfterMs.value_or(0) / 1000.0;
    run.stepMilliseconds = qint64(std::llround(sentAt * 1000));
    if (experiment.stepGains || experiment.stepAfterMs) {
        const GainSet gains =
            experiment.stepGains.value_or(GainSet{experiment.p, experiment.i, experiment.d});
        char command[32];
        std::snprintf(command, sizeof command, "S%04d P%03d I%03d D%03d", experiment.stepTenths,
            gains.p, gains.i, gains.d);
        controller.advance(sentAt);
        controller.receive(command, sentAt);
    } else {
        controller.setSetPoint(experiment.stepTenths);
    }
    // The controller looks for the end of a command a millisecond after its quiet time.
    const double takenAt = sentAt + ControllerSimulator::kCommandIdleSeconds + 0.001;
    if (experiment.stepAfterMs) {
        while (now + period <= takenAt)
            run.lines.push_back(nextLine(controller, now, period));
        controller.advance(takenAt);
    }
    const double end = now + experiment.stepSeconds;
    while (now < end)
        run.lines.push_back(nextLine(controller, now, period));
    return run;
}

PlantStretch SimulatedRun::afterStep(const PlantStretch &run, const Experiment &experiment)
{
    const qint64 stepAt = run.front().milliseconds
        + qint64(std::llround(experiment.leadSeconds * 1000)) - experiment.periodMs;
    PlantStretch after;
    for (PlantSample line : run) {
        if (line.milliseconds <= stepAt)
            continue;
        line.milliseconds -= stepAt;
        after.push_back(line);
    }
    return after;
}

int SimulatedRun::stepAfterMs(int periodMs, unsigned seed)
{
    return int(double(periodMs) * (double(seed * 3 % 10) + 0.5) / 10);
}

SimulatedRun::Experiment SimulatedRun::heatUp(const HeaterPlant::Parameters &plant, unsigned seed)
{
    Experiment heatUp;
    heatUp.plant = plant;
    heatUp.seed = seed;
    heatUp.startTenths = 0;
    heatUp.stepSeconds = std::max(600.0, 5 * plant.timeConstant);
    heatUp.stepAfterMs = stepAfterMs(heatUp.periodMs, seed);
    return heatUp;
}

PlantStretch SimulatedRun::stepKeepingGains(const HeaterPlant::Parameters &plant,
    const GainSet &gains, double from, double to, double seconds, unsigned seed, bool noise)
{
    Experiment step;
    step.plant = plant;
    step.seed = seed;
    step.noise = noise;
    step.startTenths = int(std::lround(from * 10));
    step.settleSeconds = 15 * plant.timeConstant;
    step.stepTenths = int(std::lround(to * 10));
    step.stepSeconds = seconds;
    step.p = gains.p;
    step.i = gains.i;
    step.d = gains.d;
    return afterStep(record(step), step);
}

PlantStretch SimulatedRun::stepWithGains(const HeaterPlant::Parameters &plant, const GainSet &gains,
    double from, double to, double seconds, unsigned seed, bool noise)
{
    Experiment step;
    step.plant = plant;
    step.seed = seed;
    step.noise = noise;
    step.startTenths = int(std::lround(from * 10));
    // Long enough at the start temperature for the default gains to rest there.
    step.settleSeconds = 15 * plant.timeConstant;
    step.stepTenths = int(std::lround(to * 10));
    step.stepSeconds = seconds;
    step.stepGains = gains;
    return afterStep(record(step), step);
}
