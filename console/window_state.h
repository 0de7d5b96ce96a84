#pragma once

#include <QString>

/// The window's state that several of its handlers share. The load sequence gives the flags
/// their start values.
struct WindowState
{
    QString IniFile;
    QString StoredSetTemp;
    int FollowCurrentTemp = 0;
    bool TrendRunning = false;
    bool ReachPending = false;
    bool RunClockArmed = false;
};
