#include "telemetry_receiver.h"

#include "telemetry/parameter_ranges.h"
#include "telemetry/window_state.h"

#include <cmath>

namespace {
constexpr int kAlarmExcessTenths = 150;

bool takeModeSignal(WindowState &state, QStringView chunk)
{
    if (chunk == u"O") {
        state.Mode = ModeWord::Ok;
        state.Lamps.normal = true;
        state.FollowCurrentTemp = 1;
        return true;
    }
    if (chunk == u"N") {
        state.FollowCurrentTemp = 0;
        state.Mode = ModeWord::Exit;
        state.Lamps.normal = false;
        return true;
    }
    return false;
}

void raiseHighestTemperature(WindowState &state)
{
    if (state.CurTempTenths <= state.MaxTempTenths)
        return;
    state.MaxTempTenths = state.CurTempTenths;
    state.ShownMaxTempTenths = state.MaxTempTenths;
}

StepResponseUpdate updateStepResponse(WindowState &state)
{
    StepFigures &shown = state.Figures;
    const StepResponseUpdate figures = StepResponse::update(state.CurTempTenths,
        state.SetTempTenths, state.ReachPending, state.RunTimeText, shown.overshoot);
    if (figures.riseTime)
        shown.riseTime = *figures.riseTime;
    if (figures.overshoot) {
        shown.setShownOvershoot(*figures.overshoot);
        shown.peakTime = *figures.peakTime;
    }
    if (figures.settlingTime)
        shown.settlingTime = *figures.settlingTime;
    if (figures.reached)
        state.ReachPending = false;
    return figures;
}

StepResponseUpdate updateRunResponse(WindowState &state)
{
    RunResponse &run = state.ThisRun;
    const StepResponseUpdate figures = StepResponse::update(state.CurTempTenths,
        state.SetTempTenths, run.reachPending, state.RunTimeText, run.overshoot);
    if (figures.overshoot)
        run.overshoot = StepResponse::shownPercentage(*figures.overshoot);
    if (figures.reached)
        run.reachPending = false;
    return figures;
}

void setLamps(WindowState &state)
{
    const bool alarm = state.CurTempTenths - state.SetTempTenths > kAlarmExcessTenths;
    state.Lamps.alarm = alarm;
    state.Lamps.normal = !alarm;
    // In setting mode the controller is being set, not alarming.
    if (state.Mode == ModeWord::Ok)
        state.Lamps = {true, false, false};
}

AcceptedParameters acceptedParameters(const WindowState &state, const TelemetryLine &values)
{
    using namespace ParameterRanges;
    return {kTarget.accepted(qint16(std::nearbyint(state.SetTempTenths / 10.0))),
        kP.accepted(values.p), kI.accepted(values.i), kD.accepted(values.d)};
}

CompletedLine processCompletedLine(WindowState &state)
{
    CompletedLine line{state.RxLine.text(), TelemetryLine::parse(state.RxLine.text()), {}, {}};
    ++state.FrameCount;
    state.CurTempTenths = line.values.currentTenths.value_or(state.CurTempTenths);
    state.SetTempTenths = line.values.setTenths.value_or(state.SetTempTenths);
    if (line.values.outputLevel)
        state.OutputLevel = line.values.outputLevel;
    raiseHighestTemperature(state);
    line.accepted = acceptedParameters(state, line.values);
    if (state.StepPendingTenths == state.SetTempTenths)
        state.StepPendingTenths.reset();
    if (!state.StepPendingTenths) {
        line.figures = updateStepResponse(state);
        line.runFigures = updateRunResponse(state);
    }
    setLamps(state);
    state.RxLine.clear();
    return line;
}
} // namespace

ReceiverChanges TelemetryReceiver::receive(WindowState &state, const QString &chunk)
{
    ReceiverChanges changes;
    state.RxChunk = chunk;
    changes.modeSignal = takeModeSignal(state, chunk);
    switch (state.RxLine.append(chunk)) {
    case LineCollector::Outcome::Completed:
        changes.line = processCompletedLine(state);
        break;
    case LineCollector::Outcome::Dropped:
        changes.droppedLength = state.RxLine.droppedLength();
        break;
    case LineCollector::Outcome::Collecting:
        break;
    }
    return changes;
}
