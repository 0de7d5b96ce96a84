#pragma once

#include "telemetry/step_figures.h"

#include <optional>

/// How far a run's own lines have taken its figures.
struct RunResponse
{
    bool reachPending = true;
    StepFigures figures;
};

/// The run in progress: its clock, the figures its boxes show and the ones its own lines gave,
/// and a step test the controller has not yet taken. A restart starts all of it afresh.
struct RunState
{
    /// The run clock starts with the first line.
    bool RunClockArmed = true;
    qint64 RunSeconds = 0;
    int RunTenths = 0;
    qint64 runTimeTenths() const { return RunSeconds * 10 + RunTenths; }
    /// The rise time is still to be stamped in the boxes.
    bool ReachPending = true;
    /// The figures as the boxes show them: stamped, or the overshoot as the operator typed it.
    StepFigures Figures;
    /// The figures the run's own lines gave, which its record keeps: after a reconnect the
    /// boxes may still show an earlier run's.
    RunResponse ThisRun;
    /// A step test's set temperature until a line shows it: the lines before the controller
    /// took the step still show the old set point, belong to no step and stamp no figures.
    std::optional<qint16> StepPendingTenths;
};
