#pragma once

#include "telemetry/reported_gains.h"

#include <QtGlobal>

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

/// What the controller reports, as its lines and mode signals leave it.
struct ControllerState
{
    ModeWord Mode = ModeWord::None;
    StatusLamps Lamps;
    /// 1 while the readout follows the current temperature, 0 in setting mode.
    int FollowCurrentTemp = 1;
    qint16 CurTempTenths = 0;
    qint16 SetTempTenths = 0;
    qint16 MaxTempTenths = 0;
    /// What the highest-temperature box shows: nothing until a line raises the highest
    /// temperature, and nothing again after a caption click cleared it.
    std::optional<qint16> ShownMaxTempTenths;
    /// The last valid output level, 0 to 255.
    std::optional<double> OutputLevel;
    /// The last P, I and D the lines reported, each kept until a line reports it again.
    ReportedGains Gains;
    /// Completed lines since start-up.
    qint64 FrameCount = 0;
};
