#include "telemetry_receiver.h"

#include "telemetry/controller_state.h"
#include "telemetry/parameter_ranges.h"
#include "telemetry/run_state.h"
#include "telemetry/step_response.h"

#include <cmath>

namespace {
constexpr int kAlarmExcessTenths = 150;

bool takeModeSignal(ControllerState &controller, QStringView chunk)
{
    if (chunk == u"O") {
        controller.Mode = ModeWord::Ok;
        controller.Lamps.normal = true;
        controller.FollowCurrentTemp = 1;
        return true;
    }
    if (chunk == u"N") {
        controller.FollowCurrentTemp = 0;
        controller.Mode = ModeWord::Exit;
        controller.Lamps.normal = false;
        return true;
    }
    return false;
}

void raiseHighestTemperature(ControllerState &controller)
{
    if (controller.CurTempTenths <= controller.MaxTempTenths)
        return;
    controller.MaxTempTenths = controller.CurTempTenths;
    controller.ShownMaxTempTenths = controller.MaxTempTenths;
}

/// The figures a line stamps into those kept, held back by what they hold (for the boxes, an
/// overshoot the operator typed included).
StepFigures stampFigures(
    const ControllerState &controller, qint64 runTenths, bool &reachPending, StepFigures &kept)
{
    const StepResponseUpdate update = StepResponse::update(controller.CurTempTenths,
        controller.SetTempTenths, reachPending, runTenths, kept.overshootPercent);
    kept.take(update.stamped);
    if (update.reached)
        reachPending = false;
    return update.stamped;
}

void setLamps(ControllerState &controller)
{
    const bool alarm = controller.CurTempTenths - controller.SetTempTenths > kAlarmExcessTenths;
    controller.Lamps.alarm = alarm;
    controller.Lamps.normal = !alarm;
    // In setting mode the controller is being set, not alarming.
    if (controller.Mode == ModeWord::Ok)
        controller.Lamps = {true, false, false};
}

AcceptedParameters acceptedParameters(
    const ControllerState &controller, const TelemetryLine &values)
{
    using namespace ParameterRanges;
    return {kTarget.accepted(qint16(std::nearbyint(controller.SetTempTenths / 10.0))),
        kP.accepted(values.p), kI.accepted(values.i), kD.accepted(values.d)};
}
} // namespace

ReceiverChanges TelemetryReceiver::receive(
    const QString &chunk, ControllerState &controller, RunState &run)
{
    ReceiverChanges changes;
    changes.modeSignal = takeModeSignal(controller, chunk);
    switch (RxLine.append(chunk)) {
    case LineCollector::Outcome::Completed:
        changes.line = processCompletedLine(controller, run);
        break;
    case LineCollector::Outcome::Dropped:
        changes.droppedLength = RxLine.droppedLength();
        break;
    case LineCollector::Outcome::Collecting:
        break;
    }
    return changes;
}

CompletedLine TelemetryReceiver::processCompletedLine(ControllerState &controller, RunState &run)
{
    CompletedLine line;
    line.text = RxLine.text();
    line.values = TelemetryLine::parse(line.text);
    line.runTenths = run.runTimeTenths();
    ++controller.FrameCount;
    controller.CurTempTenths = line.values.currentTenths.value_or(controller.CurTempTenths);
    controller.SetTempTenths = line.values.setTenths.value_or(controller.SetTempTenths);
    if (line.values.outputLevel)
        controller.OutputLevel = line.values.outputLevel;
    raiseHighestTemperature(controller);
    line.accepted = acceptedParameters(controller, line.values);
    line.gains = ReportedGains::of(line.values);
    controller.Gains.take(line.gains);
    if (run.StepPendingTenths == controller.SetTempTenths)
        run.StepPendingTenths.reset();
    if (!run.StepPendingTenths) {
        line.figures = stampFigures(controller, line.runTenths, run.ReachPending, run.Figures);
        // The run's own: an earlier run's figures, still shown after a reconnect, do not hold
        // it back.
        line.runFigures =
            stampFigures(controller, line.runTenths, run.ThisRun.reachPending, run.ThisRun.figures);
    }
    setLamps(controller);
    RxLine.clear();
    return line;
}
