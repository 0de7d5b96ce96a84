#include "simulated_run.h"

#include "controller_simulator.h"

#include <cmath>

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
    ControllerSimulator::Options options;
    options.seed = experiment.seed;
    options.periodMs = experiment.periodMs;
    options.setTenths = experiment.startTenths;
    options.plant = experiment.plant;
    options.p = experiment.p;
    options.i = experiment.i;
    options.d = experiment.d;
    ControllerSimulator controller(options, [](const std::string &) {});
    const double period = experiment.periodMs / 1000.0;
    double now = 0.0;
    controller.advance(now);
    while (now < experiment.settleSeconds)
        nextLine(controller, now, period);
    PlantStretch run;
    const double stepAt = now + experiment.leadSeconds;
    while (now < stepAt)
        run.push_back(nextLine(controller, now, period));
    controller.setSetPoint(experiment.stepTenths);
    const double end = now + experiment.stepSeconds;
    while (now < end)
        run.push_back(nextLine(controller, now, period));
    return run;
}
