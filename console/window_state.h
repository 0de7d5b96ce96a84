#pragma once

#include "line_collector.h"

#include <QString>

/// The window's state that its handlers share. The load sequence gives the flags their start
/// values; everything else starts at zero or empty.
struct WindowState
{
    QString IniFile;
    QString StoredSetTemp;
    int FollowCurrentTemp = 0;
    bool TrendRunning = false;
    bool ReachPending = false;
    bool RunClockArmed = false;

    qint16 CurTempTenths = 0;
    qint16 SetTempTenths = 0;
    qint16 MaxTempTenths = 0;
    QString RxChunk;
    LineCollector RxLine;
    qint64 FrameCount = 0;
    qint64 RunSeconds = 0;
    int RunTenths = 0;
};
