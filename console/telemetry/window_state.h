#pragma once

#include "telemetry/line_collector.h"

#include <QString>

#include <optional>

/// The controller's mode word: none before the first connect, then "EXIT" until a mode signal.
enum class ModeWord { None, Ok, Exit };

/// The three status lamps: normal ("正常"), setting ("设置") and alarm ("报警").
struct StatusLamps
{
    bool normal = false;
    bool setting = false;
    bool alarm = false;
};

/// The step-response figures as their boxes show them once stamped.
struct StepFigures
{
    QString riseTime;
    /// The number in front of the overshoot box's "%": stamped to two decimals, or as the
    /// operator typed it; none while the box holds no percentage.
    std::optional<double> overshoot;
    QString peakTime;
    QString settlingTime;

    /// The overshoot box now shows this text, stamped or typed into it by the operator.
    void setShownOvershoot(const QString &text);
};

/// How far the run in progress has come by its own lines alone. The record keeps these figures:
/// after a reconnect the boxes may still show an earlier run's, which must not hold it back.
struct RunResponse
{
    bool reachPending = true;
    /// The largest overshoot the run's lines stamped, to two decimals.
    std::optional<double> overshoot;
};

/// The window's state that its handlers share and its controls show. The load sequence gives
/// the flags their start values; everything else starts at zero or empty.
struct WindowState
{
    QString IniFile;
    int FollowCurrentTemp = 0;
    bool TrendRunning = false;
    bool ReachPending = false;
    bool RunClockArmed = false;

    ModeWord Mode = ModeWord::None;
    StatusLamps Lamps;
    qint16 CurTempTenths = 0;
    qint16 SetTempTenths = 0;
    qint16 MaxTempTenths = 0;
    /// What the highest-temperature box shows: nothing until a line raises the highest
    /// temperature, and nothing again after a caption click cleared it.
    std::optional<qint16> ShownMaxTempTenths;
    /// The last valid output level, 0 to 255.
    std::optional<double> OutputLevel;
    QString RxChunk;
    LineCollector RxLine;
    qint64 FrameCount = 0;
    qint64 RunSeconds = 0;
    int RunTenths = 0;
    qint64 runTimeTenths() const { return RunSeconds * 10 + RunTenths; }
    /// The run time as its box shows it, which is what the figures are stamped with.
    QString RunTimeText = QStringLiteral("0");
    StepFigures Figures;
    RunResponse ThisRun;
    /// A step test's set temperature until a line shows it: the lines before the controller
    /// took the step still show the old set point, belong to no step and stamp no figures.
    std::optional<qint16> StepPendingTenths;
};
